#include "crypto/cipher_path.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "crypto/rijndael256_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace sealwise {
namespace {

constexpr int kNotForced = -1;
std::atomic<int> forcedPath{kNotForced};

#if defined(__x86_64__) || defined(__i386__)
// CPUID leaf 7, ECX bit 9; asked directly because not every compiler knows "vaes" as a
// __builtin_cpu_supports feature (clang 14 does not).
bool CpuHasVaes() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0 && (ecx & (1u << 9)) != 0;
}
#endif

bool CpuRuns(CipherPath path) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    switch (path) {
        case CipherPath::kPortable:
            return true;
        case CipherPath::kAesNi:
            return __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse4.1");
        case CipherPath::kVaes:
            // The AVX-512 bits are only reported when the OS saves the wide registers.
            return CpuHasVaes() && __builtin_cpu_supports("avx2") &&
                   __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi");
    }
    return false;
#else
    return path == CipherPath::kPortable;
#endif
}

bool Compiled(CipherPath path) {
    switch (path) {
        case CipherPath::kPortable:
            return true;
        case CipherPath::kAesNi:
            return rijndael256::AesNiKernels() != nullptr;
        case CipherPath::kVaes:
            return rijndael256::VaesKernels() != nullptr;
    }
    return false;
}

bool PortableRequestedByEnvironment() {
    const char* value = std::getenv("SEALWISE_FORCE_PORTABLE_CIPHER");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace

namespace rijndael256 {

const Kernels* KernelsFor(CipherPath path) {
    switch (path) {
        case CipherPath::kPortable:
            return nullptr;
        case CipherPath::kAesNi:
            return AesNiKernels();
        case CipherPath::kVaes:
            return VaesKernels();
    }
    return nullptr;
}

}  // namespace rijndael256

std::string_view CipherPathName(CipherPath path) {
    switch (path) {
        case CipherPath::kPortable:
            return "portable";
        case CipherPath::kAesNi:
            return "aesni";
        case CipherPath::kVaes:
            return "vaes";
    }
    return "?";
}

bool CipherPathSupported(CipherPath path) { return Compiled(path) && CpuRuns(path); }

std::vector<CipherPath> SupportedCipherPaths() {
    std::vector<CipherPath> paths;
    for (CipherPath p : {CipherPath::kPortable, CipherPath::kAesNi, CipherPath::kVaes}) {
        if (CipherPathSupported(p)) paths.push_back(p);
    }
    return paths;
}

CipherPath ActiveCipherPath() {
    if (const int forced = forcedPath.load(); forced != kNotForced) {
        return static_cast<CipherPath>(forced);
    }
    if (PortableRequestedByEnvironment()) return CipherPath::kPortable;
    for (CipherPath p : {CipherPath::kVaes, CipherPath::kAesNi}) {
        if (CipherPathSupported(p)) return p;
    }
    return CipherPath::kPortable;
}

void ForceCipherPath(std::optional<CipherPath> path) {
    if (path && !CipherPathSupported(*path)) {
        throw std::invalid_argument("cipher path '" + std::string(CipherPathName(*path)) +
                                    "' is not supported on this machine");
    }
    forcedPath.store(path ? static_cast<int>(*path) : kNotForced);
}

}  // namespace sealwise
