#include "files/format/decrypt_record.h"

#include <algorithm>

#include "files/format/container_format.h"

namespace sealwise {

using namespace container;

bool DecryptRecordReader::Advance() {
    while (!started_ || consumed_ >= extent_.size) {
        if (!entries_.Next(extent_)) return false;
        started_ = true;
        consumed_ = chunk_ = 0;
    }
    return true;
}

bool DecryptRecordReader::NextBatch(DecryptBatch& batch) {
    batch.count = 0;
    int64_t cipherBytes = 0;
    while (batch.count < DecryptBatch::kMaxRecords && Advance()) {
        if (batch.count > 0) {
            // Only small records join; an impossible length (0) makes a record of size 0.
            const int64_t next =
                records_.CipherLength(extent_.start + consumed_, extent_.start + extent_.size);
            if (next > DecryptBatch::kSmallRecord ||
                cipherBytes + next > DecryptBatch::kMaxCipherBytes) {
                break;
            }
        }
        if (batch.count == batch.records.size()) batch.records.emplace_back();
        DecryptRecord& record = batch.records[batch.count];
        // Only the first record may be large: the others give back what a large inflated
        // piece left them, so that a batch keeps little memory between uses.
        if (batch.count > 0 && record.piece.capacity() > DecryptBatch::kMaxCipherBytes) {
            record.piece = Bytes();
        }
        if (!Next(record)) break;
        ++batch.count;
        cipherBytes += static_cast<int64_t>(record.cipher.size());
    }
    return batch.count > 0;
}

bool DecryptRecordReader::Next(DecryptRecord& record) {
    if (!Advance()) return false;
    const EntryExtent& extent = extent_;
    record.entry = static_cast<std::size_t>(extent.number);
    record.chunk = chunk_++;
    record.failure = nullptr;
    record.opened = false;
    record.deciphered = false;
    record.chunkZero.reset();
    record.status = BlockStatus::kNoMagic;
    record.previous = previous_;
    record.last = false;
    try {
        record.recordSize = records_.ReadRecord(extent.start + consumed_,
                                                extent.start + extent.size, record.cipher);
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
    if (started_ && entry == static_cast<std::size_t>(extent_.number)) consumed_ = extent_.size;
}

void OpenBatch(DecryptBatch& batch, CbcEnvelope& cipher, ZlibCodec& codec) {
    std::size_t inflated = 0;
    for (std::size_t i = 0; i < batch.count && inflated < DecryptBatch::kMaxInflatedBytes; ++i) {
        OpenRecord(batch.records[i], cipher, codec);
        inflated += batch.records[i].piece.size();
    }
}

void OpenRecord(DecryptRecord& record, CbcEnvelope& cipher, ZlibCodec& codec) {
    record.opened = true;
    if (record.recordSize == 0 || record.failure) return;
    // Each record deciphers on its own; the chain from the record before is applied below.
    record.plain.resize(record.cipher.size());
    try {
        cipher.Decrypt(record.cipher, record.plain, false);
    } catch (const EnvelopeLengthError&) {
        return;  // not whole blocks: the job reports the entry as damaged
    }
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
