#include "files/format/encrypt_piece.h"

#include "files/format/compressed_block.h"
#include "files/format/container_format.h"
#include "files/jobs/message_ids.h"

namespace sealwise {

using namespace container;

bool EncryptPieceReader::Next(EncryptPiece& piece) {
    if (item_ >= items_.size()) return false;
    piece.item = item_;
    piece.error.reset();
    piece.failure = nullptr;
    piece.leftOut = false;
    piece.name.clear();
    piece.data.clear();
    try {
        if (!input_) Start(piece);
        if (piece.leftOut) {
            Close();
        } else if (toEnd_) {
            ReadToEnd(piece);
        } else {
            ReadChunk(piece);
        }
    } catch (const SealError& error) {
        piece.error = error;
        Close();
    } catch (...) {
        piece.failure = std::current_exception();
        Close();
    }
    return true;
}

namespace {

// A large piece may come last in any batch; its buffers move to the front, where one large
// buffer of each kind is kept for the next large piece, and the smaller ones are given back.
void GatherLargeBuffers(EncryptBatch& batch) {
    for (std::size_t i = 1; i < batch.pieces.size(); ++i) {
        for (Bytes EncryptPiece::*member : {&EncryptPiece::data, &EncryptPiece::plain}) {
            Bytes& buffer = batch.pieces[i].*member;
            if (buffer.capacity() <= EncryptBatch::kKeptBytes) continue;
            Bytes& front = batch.pieces[0].*member;
            if (buffer.capacity() > front.capacity()) std::swap(buffer, front);
            if (buffer.capacity() > EncryptBatch::kKeptBytes) buffer = Bytes();
        }
    }
}

}  // namespace

bool EncryptPieceReader::NextBatch(EncryptBatch& batch) {
    if (!batch.pieces.empty()) GatherLargeBuffers(batch);
    batch.count = 0;
    std::size_t bytes = 0;
    while (batch.count < EncryptBatch::kMaxPieces && bytes < EncryptBatch::kMaxDataBytes) {
        if (batch.count == batch.pieces.size()) batch.pieces.emplace_back();
        EncryptPiece& piece = batch.pieces[batch.count];
        if (!Next(piece)) break;
        ++batch.count;
        bytes += piece.data.size();
    }
    return batch.count > 0;
}

void EncryptPieceReader::Abandon(std::size_t item) {
    if (item == item_ && input_) Close();
}

// Everything that can refuse a file before any of it is read.
void EncryptPieceReader::Start(EncryptPiece& piece) {
    piece.chunk = 0;
    piece.chunks = 0;
    const EncryptItem& item = items_[item_];
    if (const auto* error = std::get_if<SealError>(&names_[item_])) throw *error;
    name_ = &std::get<Bytes>(names_[item_]);
    auto input = opener_(item.path);
    if (const std::optional<FileIdentity> identity = input->Identity()) {
        for (const FileIdentity& own : leaveOut_) {
            if (own == *identity) {
                piece.leftOut = true;
                return;
            }
        }
    }
    fileSize_ = input->Size();
    toEnd_ = fileSize_ == 0;
    carry_.reset();
    const auto nameBytes = static_cast<int64_t>(name_->size());
    const int64_t logicalSize = LogicalSize(nameBytes, fileSize_);
    if (logicalSize > kMaxSize) throw SealError(msg::kFileTooLarge, item.path, "file too large");
    chunks_ = ChunkCount(logicalSize);
    chunk_ = 0;
    input_ = std::move(input);
}

// A file that reports no size: each piece is filled to its full length while the file lasts,
// and one byte read ahead tells whether another piece follows. The chunks come out exactly as
// for a file whose size was known.
void EncryptPieceReader::ReadToEnd(EncryptPiece& piece) {
    const auto nameBytes = static_cast<int64_t>(name_->size());
    const int64_t room = chunk_ == 0 ? kChunkSize - kHeaderSize - nameBytes : kChunkSize;
    piece.data.resize(static_cast<std::size_t>(room));
    std::size_t got = 0;
    if (carry_) piece.data[got++] = *carry_;
    got += input_->Read(std::span(piece.data).subspan(got));
    piece.data.resize(got);
    carry_.reset();
    if (got == static_cast<std::size_t>(room)) {
        uint8_t next = 0;
        if (input_->Read(std::span(&next, 1)) == 1) carry_ = next;
    }
    fileSize_ += static_cast<int64_t>(got);
    if (LogicalSize(nameBytes, fileSize_ + (carry_ ? 1 : 0)) > kMaxSize) {
        throw SealError(msg::kFileTooLarge, items_[item_].path, "file too large");
    }
    piece.chunk = chunk_;
    piece.chunks = chunk_ + (carry_ ? 2 : 1);
    piece.fileSize = fileSize_;
    if (chunk_ == 0) piece.name = *name_;
    ++chunk_;
    if (!carry_) Close();
}

void EncryptPieceReader::ReadChunk(EncryptPiece& piece) {
    piece.chunk = chunk_;
    piece.chunks = chunks_;
    piece.fileSize = fileSize_;
    if (chunk_ == 0) piece.name = *name_;
    const auto nameBytes = static_cast<int64_t>(name_->size());
    piece.data.resize(static_cast<std::size_t>(PieceLength(chunk_, nameBytes, fileSize_)));
    if (input_->Read(piece.data) != piece.data.size()) {
        throw SealError(msg::kFileChanged, items_[item_].path, "file shrank while reading");
    }
    if (++chunk_ == chunks_) Close();
}

void BuildBatchPlaintext(EncryptBatch& batch, ZlibCodec& codec) {
    for (std::size_t i = 0; i < batch.count; ++i) BuildChunkPlaintext(batch.pieces[i], codec);
}

void BuildChunkPlaintext(EncryptPiece& piece, ZlibCodec& codec) {
    Bytes& plain = piece.plain;
    plain.clear();
    if (piece.error || piece.failure || piece.leftOut) return;
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
