#pragma once
// Opens a container once, finds its index from the end and reads chunk records, checking every
// length against what the file and the format allow before anything is allocated. The index
// is never held in memory: it is walked from the file, so a container of millions of records
// costs no more memory than one of a few.
#include <cstdint>
#include <string>

#include "files/format/container_index.h"
#include "files/io/posix_io.h"
#include "util/bytes.h"

namespace sealwise {

struct EntryExtent {
    int64_t number = 0;  // position of the entry's record in the index, from 0
    int64_t start = 0;   // offset of the entry's first chunk record
    int64_t size = 0;    // S: bytes of all its chunk records
};

class ContainerReader;

// Walks the records of a container's index in order and yields the entries that have bytes;
// records of size 0 (files that failed when the container was made) own no bytes and are
// passed over. Entries are located as the format says: from offset 0, sizes summed.
class EntryCursor {
  public:
    explicit EntryCursor(const ContainerReader& reader);

    // The next entry with a size above 0; false after the last. Throws SealError 103 when the
    // index cannot be read again, 424 when it changed since the reader checked it.
    bool Next(EntryExtent& entry);
    // Records of the index walked so far, those of size 0 included.
    int64_t recordsRead() const noexcept { return number_; }

  private:
    bool Refill();

    const ContainerReader& reader_;
    IndexParser parser_;
    Bytes buffer_;
    std::span<const uint8_t> pending_;
    int64_t readOffset_ = 0;  // next index byte to read from the file
    int64_t number_ = 0, position_ = 0;
};

// The cipher length the length field of a record at offset announces; 0 when impossible (not
// whole cipher blocks, longer than any chunk, or past entryEnd).
int64_t CheckedCipherLength(const uint8_t* field, int64_t offset, int64_t entryEnd);

class ContainerReader {
  public:
    // Opens the container and checks its index. Throws SealError 103 when it cannot be read,
    // 108 when it has no usable content (under 4 bytes, no index terminator near its end,
    // sizes that overflow, no record with bytes), 424 when the index does not fit the file (a
    // truncated or damaged container whose sizes reach past the index) or the file is 2 GiB or
    // larger, 426 when it is no regular file.
    explicit ContainerReader(const std::string& path);

    const std::string& path() const noexcept { return path_; }
    int64_t size() const noexcept { return size_; }

    // Records in the index, and how many of them have size 0.
    int64_t recordCount() const noexcept { return records_; }
    int64_t emptyRecordCount() const noexcept { return emptyRecords_; }
    // Bytes between the end of the last entry and the index that no record accounts for: what
    // a writer left of a file that failed half way while it recorded size 0 for it.
    int64_t unaccountedBytes() const noexcept { return indexStart_ - entriesEnd_; }

    EntryCursor Entries() const { return EntryCursor(*this); }

    // Reads the chunk record at offset into cipher, which must end at or before entryEnd.
    // Returns the record's size (L + 5), or 0 when its length field is impossible (not whole
    // cipher blocks, longer than any chunk, or past the end of the entry).
    int64_t ReadRecord(int64_t offset, int64_t entryEnd, Bytes& cipher) const;

    // Reads exactly out.size() bytes at offset; false when the file ends first.
    bool ReadExact(int64_t offset, std::span<uint8_t> out) const;
    // Reads up to out.size() bytes at offset; returns how many (fewer at the end of the file).
    std::size_t ReadAt(int64_t offset, std::span<uint8_t> out) const;

    // The cipher length a record at offset announces; 0 when impossible (as ReadRecord).
    int64_t RecordCipherLength(int64_t offset, int64_t entryEnd) const;

  private:
    friend class EntryCursor;
    void ReadIndex();

    std::string path_;
    UniqueFd fd_;
    int64_t size_ = 0;
    int64_t indexStart_ = 0, indexLength_ = 0;  // the index, final 0xFF included
    int64_t entriesEnd_ = 0;                    // sum of all sizes
    int64_t records_ = 0, emptyRecords_ = 0;
};

}  // namespace sealwise
