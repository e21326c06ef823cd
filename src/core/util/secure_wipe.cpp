#include "util/secure_wipe.h"

#include <cstring>

namespace sealwise {

void SecureWipe(void* data, std::size_t size) noexcept {
    if (data == nullptr || size == 0) return;
    std::memset(data, 0, size);
    // The asm barrier tells the compiler the zeroed memory is observed, so the store stays.
    __asm__ __volatile__("" : : "r"(data) : "memory");
}

void AppendSecret(std::string& secret, char c) {
    if (secret.size() == secret.capacity()) {
        std::string bigger;
        bigger.reserve(secret.capacity() * 2);
        bigger = secret;
        SecureWipe(secret);
        secret.swap(bigger);
    }
    secret.push_back(c);
}

}  // namespace sealwise
