#include "files/jobs/container_listing.h"

#include <stdexcept>

#include "app/msg.h"
#include "files/format/compressed_block.h"
#include "files/format/container_format.h"
#include "files/format/entry_name.h"
#include "files/format/entry_probe.h"
#include "util/errors.h"
#include "util/secure_wipe.h"

namespace sealwise {

using namespace container;

namespace {

// U of a piece if it fits the chunk: any length up to a full piece for the last chunk, exactly
// a full piece for the others.
bool PlausibleLength(std::optional<int32_t> length, int64_t fullPiece, bool lastChunk) {
    if (!length || *length < 0 || *length > fullPiece) return false;
    return lastChunk || *length == fullPiece;
}

}  // namespace

ContainerListing::ContainerListing(const std::string& path, std::span<const uint8_t> key)
    : reader_(path), entries_(reader_.Entries()), cipher_(key) {
    if (CheckContainerKey(reader_, key) == KeyVerdict::kWrong)
        throw SealError(Msg::WrongPassword, {}, "no entry's first chunk makes sense");
}

bool ContainerListing::Next(ListedEntry& entry) {
    EntryExtent extent;
    if (!entries_.Next(extent)) return false;
    entry = ListedEntry{};
    entry.number = extent.number + 1;
    entry.damaged = true;
    const auto chunk = ProbeChunkZero(reader_, cipher_, extent);
    if (chunk.status != ChunkZeroProbe::Status::kSound) return true;
    entry.name = DecodeEntryName(chunk.name).text;
    int64_t consumed = chunk.recordSize;
    if (!chunk.emptyFile) {
        const auto nameBytes = static_cast<int64_t>(chunk.name.size());
        if (!PlausibleLength(chunk.firstPieceLength, PieceLength(0, nameBytes, kMaxSize),
                             consumed == extent.size)) {
            return true;
        }
        entry.size = chunk.firstPieceLength;
    }
    const int64_t end = extent.start + extent.size;
    while (consumed < extent.size) {
        const int64_t offset = extent.start + consumed;
        const int64_t length = reader_.RecordCipherLength(offset, end);
        if (length == 0) return true;
        consumed += kRecordHeaderSize + length;
        const auto pieceLength = FirstBlockLength(offset);
        if (!PlausibleLength(pieceLength, kChunkSize, consumed == extent.size)) return true;
        entry.size += *pieceLength;
    }
    entry.damaged = false;
    return true;
}

// Deciphers only the first block of the chunk record at offset: its chaining value is the last
// cipher block of the record before it, which ends right where this one starts.
std::optional<int32_t> ContainerListing::FirstBlockLength(int64_t offset) {
    uint8_t previous[kCipherBlock], block[kCipherBlock];
    if (!reader_.ReadExact(offset - kCipherBlock, previous) ||
        !reader_.ReadExact(offset + kRecordHeaderSize, block)) {
        return std::nullopt;
    }
    cipher_.Decrypt(block, block, false);  // from the zero block: the bare block cipher
    for (int64_t i = 0; i < kCipherBlock; ++i) block[i] ^= previous[i];
    return BlockLength(block);
}

std::vector<ListedEntry> ListContainer(const std::string& path, std::span<const uint8_t> key) {
    ContainerListing listing(path, key);
    std::vector<ListedEntry> entries;
    for (ListedEntry entry; listing.Next(entry);) entries.push_back(std::move(entry));
    return entries;
}

}  // namespace sealwise
