#include "files/encrypt_piece.h"

#include "files/compressed_block.h"
#include "files/container_format.h"
#include "files/entry_name.h"
#include "files/message_ids.h"

namespace sealwise {

using namespace container;

bool EncryptPieceReader::Next(EncryptPiece& piece) {
    if (item_ >= items_.size()) return false;
    piece.item = item_;
    piece.error.reset();
    piece.failure = nullptr;
    piece.name.clear();
    piece.data.clear();
    try {
        if (!input_) Start(piece);
        if (input_) ReadChunk(piece);
    } catch (const SealError& error) {
        piece.error = error;
        Close();
    } catch (...) {
        piece.failure = std::current_exception();
        Close();
    }
    return true;
}

void EncryptPieceReader::Abandon(std::size_t item) {
    if (item == item_ && input_) Close();
}

// Everything that can refuse a file before any of it is read.
void EncryptPieceReader::Start(EncryptPiece& piece) {
    piece.chunk = 0;
    piece.chunks = 0;
    const EncryptItem& item = items_[item_];
    name_ = EntryNameBytes(item.path, item.relativeName);
    auto input = opener_(item.path);
    fileSize_ = input->Size();
    const auto nameBytes = static_cast<int64_t>(name_.size());
    const int64_t logicalSize = LogicalSize(nameBytes, fileSize_);
    if (logicalSize > kMaxSize) throw SealError(msg::kFileTooLarge, item.path, "file too large");
    chunks_ = ChunkCount(logicalSize);
    chunk_ = 0;
    input_ = std::move(input);
}

void EncryptPieceReader::ReadChunk(EncryptPiece& piece) {
    piece.chunk = chunk_;
    piece.chunks = chunks_;
    piece.fileSize = fileSize_;
    if (chunk_ == 0) piece.name = name_;
    const auto nameBytes = static_cast<int64_t>(name_.size());
    piece.data.resize(static_cast<std::size_t>(PieceLength(chunk_, nameBytes, fileSize_)));
    if (input_->Read(piece.data) != piece.data.size()) {
        throw SealError(msg::kFileChanged, items_[item_].path, "file shrank while reading");
    }
    if (++chunk_ == chunks_) Close();
}

void BuildChunkPlaintext(EncryptPiece& piece, ZlibCodec& codec) {
    Bytes& plain = piece.plain;
    plain.clear();
    if (piece.error || piece.failure) return;
    if (piece.chunk == 0) {
        plain.resize(kHeaderSize);  // the filler stays zero here
        plain[kNameLengthOffset] = static_cast<uint8_t>(piece.name.size());
        plain.insert(plain.end(), piece.name.begin(), piece.name.end());
        if (piece.fileSize == 0) {
            plain[kMarkerOffset] = kEmptyFileMarker;
        } else {
            AppendCompressedBlock(piece.data, codec, plain);
            plain[kMarkerOffset] =
                static_cast<uint8_t>((plain.size() - kHeaderSize - piece.name.size()) % 32);
        }
    } else {
        AppendCompressedBlock(piece.data, codec, plain);
    }
}

}  // namespace sealwise
