#pragma once
// Reads the chunk records of a container in file order through one buffer. A restore of many
// small files would otherwise make two reads per record (its length field, then its cipher
// bytes); through the buffer, records smaller than it cost one read per buffer's worth.
#include <cstdint>

#include "files/format/container_reader.h"
#include "util/bytes.h"

namespace sealwise {

class RecordReadAhead {
  public:
    explicit RecordReadAhead(const ContainerReader& reader) : reader_(reader) {}

    // As ContainerReader::ReadRecord, with the same results for the same file.
    int64_t ReadRecord(int64_t offset, int64_t entryEnd, Bytes& cipher);
    // As ContainerReader::RecordCipherLength.
    int64_t CipherLength(int64_t offset, int64_t entryEnd);

  private:
    static constexpr int64_t kBufferBytes = 256 << 10;

    // Copies exactly out.size() bytes at offset; false when the file ends first.
    bool Read(int64_t offset, std::span<uint8_t> out);

    const ContainerReader& reader_;
    Bytes buffer_;
    int64_t bufferStart_ = 0;  // file offset of buffer_[0]
};

}  // namespace sealwise
