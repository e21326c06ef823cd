#include "files/decrypt_record.h"

#include <algorithm>

#include "files/container_format.h"

namespace sealwise {

using namespace container;

bool DecryptRecordReader::Next(DecryptRecord& record) {
    const auto& entries = reader_.entries();
    // Records of size 0 have no bytes: nothing to read for them.
    while (entry_ < entries.size() && consumed_ >= entries[entry_].size) {
        ++entry_;
        consumed_ = chunk_ = 0;
    }
    if (entry_ >= entries.size()) return false;
    const EntryExtent& extent = entries[entry_];
    record.entry = entry_;
    record.chunk = chunk_++;
    record.failure = nullptr;
    record.deciphered = false;
    record.chunkZero.reset();
    record.status = BlockStatus::kNoMagic;
    record.previous = previous_;
    record.last = false;
    try {
        record.recordSize =
            reader_.ReadRecord(extent.start + consumed_, extent.start + extent.size, record.cipher);
    } catch (...) {
        record.failure = std::current_exception();
        record.recordSize = 0;
    }
    if (record.recordSize == 0) {
        consumed_ = extent.size;  // nothing behind an impossible record can be found
        return true;
    }
    consumed_ += record.recordSize;
    record.last = consumed_ == extent.size;
    std::copy(record.cipher.end() - kCipherBlock, record.cipher.end(), previous_.begin());
    return true;
}

void DecryptRecordReader::Abandon(std::size_t entry) {
    if (entry == entry_) consumed_ = reader_.entries()[entry_].size;
}

void OpenRecord(DecryptRecord& record, CRijndael& cipher, ZlibCodec& codec) {
    if (record.recordSize == 0 || record.failure) return;
    if (!cipher.DecryptChunk(record.cipher, false, record.plain)) return;
    record.deciphered = true;
    if (record.chunk > 0) {
        for (std::size_t i = 0; i < record.previous.size(); ++i)
            record.plain[i] ^= record.previous[i];
        // The check against the exact piece length needs the entry's name; the job does it.
        record.status = DecompressBlock(record.plain, codec, kMaxPieceLength, record.piece);
        return;
    }
    record.chunkZero = ParseChunkZero(record.plain, true, record.last);
    if (record.chunkZero && !record.chunkZero->emptyFile) {
        const auto nameBytes = static_cast<int64_t>(record.chunkZero->name.size());
        record.status = DecompressBlock(record.chunkZero->block, codec,
                                        PieceLength(0, nameBytes, kMaxSize), record.piece);
    }
}

}  // namespace sealwise
