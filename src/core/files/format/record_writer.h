#pragma once
// Appends to a staged container through a buffer, so that the records of many small files go
// out in few writes. Its size counts the buffered bytes; a write failure throws
// StagedWriteError (from StagedFile) when the buffer is written.
#include <cstdint>
#include <span>

#include "files/io/staged_file.h"
#include "files/io/writeback_ahead.h"
#include "util/bytes.h"

namespace sealwise {

class RecordWriter {
  public:
    static constexpr std::size_t kCapacity = 1 << 20;

    explicit RecordWriter(StagedFile& file) : file_(file) {}

    int64_t size() const noexcept { return file_.size() + static_cast<int64_t>(buffer_.size()); }
    // Appends header and body as one record.
    void Append(std::span<const uint8_t> header, std::span<const uint8_t> body);
    // Cuts the container back to length bytes (length <= size()).
    void TruncateTo(int64_t length);
    // Writes what is buffered.
    void Flush();

  private:
    void Written() { writeback_.Written(file_.fd(), file_.size()); }

    StagedFile& file_;
    Bytes buffer_;
    WritebackAhead writeback_;
};

}  // namespace sealwise
