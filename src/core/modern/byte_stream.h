#pragma once
// Where a modern container's bytes come from and go to: a file, a pipe, a C++ stream or memory.
// The format is read and written strictly front to back, so nothing here seeks.
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>

#include "files/io/writeback_ahead.h"
#include "util/bytes.h"

namespace sealwise::modern {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Fills out; fewer bytes only at the end of the data. Throws SealError 103 on a read error.
    virtual std::size_t Read(std::span<uint8_t> out) = 0;
};

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Throws SealError 103 when the bytes cannot be written.
    virtual void Write(std::span<const uint8_t> data) = 0;
    // Writes what a buffering sink still holds (the writer of the stream calls it at its end).
    virtual void Flush() {}
};

// A container holds two small records per small file: file descriptors are read and written
// through a buffer, so that a tree of small files costs few system calls; pieces as large as
// the buffer go straight through.
constexpr std::size_t kFdBufferSize = 256 * 1024;

class FdSource final : public ByteSource {
  public:
    explicit FdSource(int fd) : fd_(fd) {}
    std::size_t Read(std::span<uint8_t> out) override;

  private:
    int fd_;
    Bytes buffer_;
    std::size_t at_ = 0, end_ = 0;  // the part of buffer_ not handed out yet
};

class FdSink final : public ByteSink {
  public:
    // A file (not a pipe) that will be flushed at its end may start its write-back on the way
    // (writeback_ahead.h).
    enum class Writeback { kAtEnd, kAhead };
    explicit FdSink(int fd, Writeback writeback = Writeback::kAtEnd)
        : fd_(fd), ahead_(writeback == Writeback::kAhead) {}
    void Write(std::span<const uint8_t> data) override;
    void Flush() override;

  private:
    void Out(std::span<const uint8_t> data);

    int fd_;
    bool ahead_;
    int64_t written_ = 0;
    WritebackAhead writeback_;
    Bytes pending_;
};

class IstreamSource final : public ByteSource {
  public:
    explicit IstreamSource(std::istream& in) : in_(in) {}
    std::size_t Read(std::span<uint8_t> out) override;

  private:
    std::istream& in_;
};

class OstreamSink final : public ByteSink {
  public:
    explicit OstreamSink(std::ostream& out) : out_(out) {}
    void Write(std::span<const uint8_t> data) override;

  private:
    std::ostream& out_;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const uint8_t> data) : data_(data) {}
    std::size_t Read(std::span<uint8_t> out) override;

  private:
    std::span<const uint8_t> data_;
    std::size_t at_ = 0;
};

class MemorySink final : public ByteSink {
  public:
    void Write(std::span<const uint8_t> data) override {
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    Bytes bytes;
};

}  // namespace sealwise::modern
