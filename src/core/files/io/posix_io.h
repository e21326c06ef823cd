#pragma once
// Thin wrappers over POSIX file calls: an owning descriptor and whole-buffer reads and writes
// that turn failures into SealError 103 with the system's description.
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "util/errors.h"

namespace sealwise {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return fd_; }
    bool valid() const noexcept { return fd_ >= 0; }
    void Reset() noexcept;
    // Closes the descriptor and reports what close() said: a file system may report a failed
    // write only here. The descriptor is gone either way.
    int Close() noexcept;

  private:
    int fd_ = -1;
};

// A directory descriptor shared by the files created in it while a job runs.
using SharedFd = std::shared_ptr<const UniqueFd>;

// SealError 103 with strerror(err) as the argument; detail names the operation for developers.
SealError SystemError(int err, const std::string& detail);
// The same with the path named in the message ("path: description"), for failures that no
// caller would otherwise tie to a file.
SealError SystemErrorAt(int err, const std::string& path);

// Reads exactly out.size() bytes at offset; returns the number read before the end of the file.
std::size_t ReadAt(int fd, int64_t offset, std::span<uint8_t> out);
// Reads up to out.size() bytes from the current position; fewer only at the end of the file.
std::size_t ReadFull(int fd, std::span<uint8_t> out);
// One read from the current position (retried when a signal interrupts it): what a pipe has
// at hand, 0 at the end.
std::size_t ReadSome(int fd, std::span<uint8_t> out);
void WriteAll(int fd, std::span<const uint8_t> data);

// The call WriteAll makes, ::write normally. Tests put a failing one in place to see how the
// jobs meet a full disk; returns the call that was in place.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
WriteCall SetWriteCallForTesting(WriteCall call) noexcept;

// The permissions a new file gets from the process's umask (0666 & ~umask).
mode_t NormalFileMode();

}  // namespace sealwise
