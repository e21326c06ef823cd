#include "util/secure_random.h"

#include <sys/random.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace sealwise {

void FillSecureRandom(uint8_t* out, std::size_t size) {
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
