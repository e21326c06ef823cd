#pragma once
// Random numbers from the operating system's secure generator, for every random value the
// program makes (filler bytes, text prefixes, proposed names, generated passphrases).
#include <cstddef>
#include <cstdint>

#include "util/bytes.h"

namespace sealwise {

// Small requests are served from a per-thread buffer filled by one system call (wiped as it is
// used, emptied in a forked child); large ones go to the system directly.
void FillSecureRandom(uint8_t* out, std::size_t size);
Bytes SecureRandomBytes(std::size_t size);
// Uniform in [0, bound) without modulo bias; bound must be at least 1.
uint32_t SecureRandomBelow(uint32_t bound);

}  // namespace sealwise
