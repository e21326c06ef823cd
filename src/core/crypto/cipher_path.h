#pragma once
// Which implementation of the 256-bit block cipher Rijndael256 uses. Every path gives the same
// bytes; the fast ones need CPU instructions that are checked at run time.
#include <optional>
#include <string_view>
#include <vector>

namespace sealwise {

enum class CipherPath {
    kPortable,  // the table-driven rounds, any CPU
    kAesNi,     // AES-NI on two 16-byte halves
    kVaes,      // VAES on one 32-byte register with AVX-512 VBMI byte permutes
};

std::string_view CipherPathName(CipherPath path);

// Compiled in and runnable on this CPU. The portable path always is.
bool CipherPathSupported(CipherPath path);
std::vector<CipherPath> SupportedCipherPaths();

// The path that keys set now get: a forced one, else portable when the environment variable
// SEALWISE_FORCE_PORTABLE_CIPHER is "1", else the fastest supported one.
CipherPath ActiveCipherPath();

// Pins the path for keys set afterwards (tests and benchmarks); std::nullopt undoes it.
// Throws std::invalid_argument for a path this machine cannot run.
void ForceCipherPath(std::optional<CipherPath> path);

}  // namespace sealwise
