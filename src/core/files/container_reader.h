#pragma once
// Opens a container once, finds its index from the end and reads chunk records, checking every
// length against what the file and the format allow before anything is allocated.
#include <cstdint>
#include <string>
#include <vector>

#include "files/posix_io.h"
#include "util/bytes.h"

namespace sealwise {

struct EntryExtent {
    int64_t start = 0;  // offset of the entry's first chunk record
    int64_t size = 0;   // S: bytes of all its chunk records
};

class ContainerReader {
  public:
    // Opens the container and reads its index. Throws SealError 103 when it cannot be read,
    // 108 when it has no usable content (under 4 bytes, no index terminator near its end,
    // sizes that overflow), 424 when the index does not fit the file (a truncated or damaged
    // container) or the file is 2 GiB or larger, 426 when it is no regular file.
    explicit ContainerReader(const std::string& path);

    const std::string& path() const noexcept { return path_; }
    int64_t size() const noexcept { return size_; }
    const std::vector<EntryExtent>& entries() const noexcept { return entries_; }

    // Reads the chunk record at offset into cipher, which must end at or before entryEnd.
    // Returns the record's size (L + 5), or 0 when its length field is impossible (not whole
    // cipher blocks, longer than any chunk, or past the end of the entry).
    int64_t ReadRecord(int64_t offset, int64_t entryEnd, Bytes& cipher) const;

    // Reads exactly out.size() bytes at offset; false when the file ends first.
    bool ReadExact(int64_t offset, std::span<uint8_t> out) const;

    // The cipher length a record at offset announces; 0 when impossible (as ReadRecord).
    int64_t RecordCipherLength(int64_t offset, int64_t entryEnd) const;

  private:
    void ReadIndex();

    std::string path_;
    UniqueFd fd_;
    int64_t size_ = 0;
    std::vector<EntryExtent> entries_;
};

}  // namespace sealwise
