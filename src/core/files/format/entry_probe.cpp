#include "files/format/entry_probe.h"

#include <algorithm>
#include <stdexcept>

#include "files/format/chunk_zero.h"
#include "files/format/compressed_block.h"
#include "files/format/container_format.h"
#include "util/secure_wipe.h"

namespace sealwise {

using namespace container;

namespace {

// Enough of chunk 0 for the header, the longest name and the block's length field. A chunk
// this short is read whole, so an empty file's chunk (header and name only) is always seen
// to its end.
constexpr int64_t kChunkZeroPrefix =
    PaddedLength(kHeaderSize + kMaxNameBytes + kBlockHeaderSize + 1);

}  // namespace

ChunkZeroProbe ProbeChunkZero(const ContainerReader& reader, CbcEnvelope& cipher,
                              const EntryExtent& entry) {
    ChunkZeroProbe probe;
    const int64_t end = entry.start + entry.size;
    const int64_t cipherLength = reader.RecordCipherLength(entry.start, end);
    if (cipherLength == 0) return probe;
    Bytes prefix(static_cast<std::size_t>(std::min(cipherLength, kChunkZeroPrefix)));
    if (!reader.ReadExact(entry.start + kRecordHeaderSize, prefix)) return probe;
    // Whole blocks: the record's length is, and so is the prefix.
    Bytes plain(prefix.size());
    cipher.Decrypt(prefix, plain, false);
    probe.status = ChunkZeroProbe::Status::kNotChunkZero;
    probe.recordSize = kRecordHeaderSize + cipherLength;
    const auto chunk = ParseChunkZero(plain, static_cast<int64_t>(prefix.size()) == cipherLength,
                                      probe.recordSize == entry.size);
    if (chunk) {
        probe.status = ChunkZeroProbe::Status::kSound;
        probe.name.assign(chunk->name.begin(), chunk->name.end());
        probe.emptyFile = chunk->emptyFile;
        if (!chunk->emptyFile) probe.firstPieceLength = *BlockLength(chunk->block);
    }
    SecureWipe(plain);
    return probe;
}

KeyVerdict CheckContainerKey(const ContainerReader& reader, std::span<const uint8_t> key,
                             int64_t* soundEntry) {
    CbcEnvelope cipher(key);
    KeyVerdict verdict = KeyVerdict::kUntested;
    EntryCursor entries = reader.Entries();
    for (EntryExtent entry; entries.Next(entry);) {
        switch (ProbeChunkZero(reader, cipher, entry).status) {
            case ChunkZeroProbe::Status::kSound:
                if (soundEntry) *soundEntry = entry.number;
                return KeyVerdict::kRight;
            case ChunkZeroProbe::Status::kNotChunkZero:
                verdict = KeyVerdict::kWrong;
                break;
            case ChunkZeroProbe::Status::kUnreadable:
                break;
        }
    }
    return verdict;
}

}  // namespace sealwise
