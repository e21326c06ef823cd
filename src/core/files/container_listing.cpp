#include "files/container_listing.h"

#include <algorithm>
#include <stdexcept>

#include "crypto/rijndael.h"
#include "files/chunk_zero.h"
#include "files/compressed_block.h"
#include "files/container_format.h"
#include "files/container_reader.h"
#include "files/entry_name.h"
#include "files/message_ids.h"
#include "util/errors.h"
#include "util/secure_wipe.h"

namespace sealwise {

using namespace container;

namespace {

// Enough of chunk 0 for the header, the longest name and the block's length field.
constexpr int64_t kChunkZeroPrefix =
    PaddedLength(kHeaderSize + kMaxNameBytes + kBlockHeaderSize + 1);

// U of a piece if it fits the chunk: any length up to a full piece for the last chunk, exactly
// a full piece for the others.
bool PlausibleLength(std::optional<int32_t> length, int64_t fullPiece, bool lastChunk) {
    if (!length || *length < 0 || *length > fullPiece) return false;
    return lastChunk || *length == fullPiece;
}

class Lister {
  public:
    Lister(const ContainerReader& reader, std::span<const uint8_t> key) : reader_(reader) {
        MaybeBytes keyCopy = Bytes(key.begin(), key.begin() + 32);
        cipher_.EncryptPrepareKey(keyCopy);
        SecureWipe(*keyCopy);
    }

    ListedEntry List(const EntryExtent& extent) {
        ListedEntry entry;
        entry.damaged = true;
        const int64_t end = extent.start + extent.size;
        const int64_t cipherLength = reader_.RecordCipherLength(extent.start, end);
        if (cipherLength == 0) return entry;
        Bytes prefix(static_cast<std::size_t>(std::min(cipherLength, kChunkZeroPrefix)));
        Bytes plain;
        if (!reader_.ReadExact(extent.start + kRecordHeaderSize, prefix) ||
            !cipher_.DecryptChunk(prefix, false, plain)) {
            return entry;
        }
        int64_t consumed = kRecordHeaderSize + cipherLength;
        const auto chunk = ParseChunkZero(
            plain, static_cast<int64_t>(prefix.size()) == cipherLength, consumed == extent.size);
        if (!chunk) {
            if (!keyVerified_)
                throw SealError(msg::kWrongPassword, {}, "first chunk does not decipher");
            return entry;
        }
        keyVerified_ = true;
        entry.name = DecodeEntryName(chunk->name).text;
        const auto nameBytes = static_cast<int64_t>(chunk->name.size());
        if (!chunk->emptyFile) {
            const auto length = BlockLength(chunk->block);
            if (!PlausibleLength(length, PieceLength(0, nameBytes, kMaxSize),
                                 consumed == extent.size)) {
                return entry;
            }
            entry.size = *length;
        }
        for (int64_t c = 1; consumed < extent.size; ++c) {
            const int64_t offset = extent.start + consumed;
            const int64_t length = reader_.RecordCipherLength(offset, end);
            if (length == 0) return entry;
            consumed += kRecordHeaderSize + length;
            const auto pieceLength = FirstBlockLength(offset);
            if (!PlausibleLength(pieceLength, kChunkSize, consumed == extent.size)) return entry;
            entry.size += *pieceLength;
        }
        entry.damaged = false;
        return entry;
    }

  private:
    // Deciphers only the first block of the chunk record at offset: its chaining value is the
    // last cipher block of the record before it, which ends right where this one starts.
    std::optional<int32_t> FirstBlockLength(int64_t offset) {
        uint8_t previous[kCipherBlock], block[kCipherBlock];
        if (!reader_.ReadExact(offset - kCipherBlock, previous) ||
            !reader_.ReadExact(offset + kRecordHeaderSize, block)) {
            return std::nullopt;
        }
        cipher_.Decrypt(block);
        for (int64_t i = 0; i < kCipherBlock; ++i) block[i] ^= previous[i];
        return BlockLength(block);
    }

    const ContainerReader& reader_;
    CRijndael cipher_;
    bool keyVerified_ = false;
};

}  // namespace

std::vector<ListedEntry> ListContainer(const std::string& path, std::span<const uint8_t> key) {
    if (key.size() < 32) throw std::invalid_argument("key shorter than 32 bytes");
    const ContainerReader reader(path);
    Lister lister(reader, key);
    std::vector<ListedEntry> entries;
    int number = 0;
    for (const EntryExtent& extent : reader.entries()) {
        ++number;
        if (extent.size == 0) continue;
        entries.push_back(lister.List(extent));
        entries.back().number = number;
    }
    return entries;
}

}  // namespace sealwise
