#include "util/secure_random.h"

#include <pthread.h>
#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <system_error>

#include "util/secure_wipe.h"

namespace sealwise {
namespace {

void FillFromSystem(uint8_t* out, std::size_t size) {
    while (size > 0) {
        ssize_t got = getrandom(out, size, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::system_error(errno, std::generic_category(), "getrandom");
        }
        out += got;
        size -= static_cast<std::size_t>(got);
    }
}

// Small requests (temporary names, 32 filler bytes per file) come from a per-thread buffer
// refilled with one system call, instead of one call each. Bytes handed out are wiped from
// the buffer, and a forked child starts with an empty one, so no value is ever given twice.
struct RandomBuffer {
    static constexpr std::size_t kSize = 4096;
    uint8_t bytes[kSize];
    std::size_t used = kSize;

    ~RandomBuffer() { SecureWipe(bytes, sizeof bytes); }
};

thread_local RandomBuffer buffer;

void ForgetBufferInChild() {
    SecureWipe(buffer.bytes, sizeof buffer.bytes);
    buffer.used = RandomBuffer::kSize;
}

}  // namespace

void FillSecureRandom(uint8_t* out, std::size_t size) {
    if (size > RandomBuffer::kSize / 8) {
        FillFromSystem(out, size);
        return;
    }
    static std::once_flag atFork;
    std::call_once(atFork, [] { ::pthread_atfork(nullptr, nullptr, &ForgetBufferInChild); });
    while (size > 0) {
        if (buffer.used == RandomBuffer::kSize) {
            FillFromSystem(buffer.bytes, RandomBuffer::kSize);
            buffer.used = 0;
        }
        const std::size_t take = std::min(size, RandomBuffer::kSize - buffer.used);
        std::memcpy(out, buffer.bytes + buffer.used, take);
        SecureWipe(buffer.bytes + buffer.used, take);
        buffer.used += take;
        out += take;
        size -= take;
    }
}

Bytes SecureRandomBytes(std::size_t size) {
    Bytes b(size);
    FillSecureRandom(b.data(), b.size());
    return b;
}

uint32_t SecureRandomBelow(uint32_t bound) {
    if (bound == 0) throw std::invalid_argument("SecureRandomBelow: bound 0");
    // Reject the top partial range so every value is equally likely.
    const uint32_t limit = UINT32_MAX - (UINT32_MAX % bound);
    for (;;) {
        uint32_t v;
        FillSecureRandom(reinterpret_cast<uint8_t*>(&v), sizeof v);
        if (v < limit) return v % bound;
    }
}

}  // namespace sealwise
