#include "files/io/posix_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "app/msg.h"

namespace sealwise {
namespace {

std::atomic<WriteCall> writeCall{&::write};

}  // namespace

void UniqueFd::Reset() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int UniqueFd::Close() noexcept {
    if (fd_ < 0) return 0;
    // On Linux the descriptor is released even when close() fails, so it is never retried.
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0 || errno == EINTR ? 0 : errno;
}

SealError SystemError(int err, const std::string& detail) {
    return SealError(Msg::SystemError, std::strerror(err), detail + ": " + std::strerror(err));
}

SealError SystemErrorAt(int err, const std::string& path) {
    return SealError(Msg::SystemError, path + ": " + std::strerror(err),
                     path + ": " + std::strerror(err));
}

std::size_t ReadAt(int fd, int64_t offset, std::span<uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::pread(fd, out.data() + done, out.size() - done,
                                    static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw SystemError(errno, "pread");
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t ReadSome(int fd, std::span<uint8_t> out) {
    for (;;) {
        const ssize_t got = ::read(fd, out.data(), out.size());
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw SystemError(errno, "read");
    }
}

std::size_t ReadFull(int fd, std::span<uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        const std::size_t got = ReadSome(fd, out.subspan(done));
        if (got == 0) break;
        done += got;
    }
    return done;
}

void WriteAll(int fd, std::span<const uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t put = writeCall.load()(fd, data.data() + done, data.size() - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            throw SystemError(errno, "write");
        }
        // A write that takes nothing would be retried forever: the device is full.
        if (put == 0) throw SystemError(ENOSPC, "write");
        done += static_cast<std::size_t>(put);
    }
}

WriteCall SetWriteCallForTesting(WriteCall call) noexcept { return writeCall.exchange(call); }

mode_t NormalFileMode() {
    // umask() cannot be read without changing it, which would race with other threads; the
    // kernel reports it in /proc/self/status.
    static const mode_t mode = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Umask:", 0) == 0) {
                return static_cast<mode_t>(0666 & ~std::stoul(line.substr(6), nullptr, 8));
            }
        }
        return static_cast<mode_t>(0644);
    }();
    return mode;
}

}  // namespace sealwise
