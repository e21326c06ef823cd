// Rijndael-256 rounds with VAES: the whole state sits in one 32-byte register, whose two 16-byte
// lanes a VAES round instruction treats as two AES states; one byte permutation across the
// register before every round turns their row shifts into the 256-bit one (see
// rijndael256_layout.h). Only functions marked with the target attribute use the instructions.
#include "crypto/rijndael256_kernels.h"

#if defined(__x86_64__) || defined(__i386__)

// GCC 12's _mm256_permutexvar_epi8 passes an undefined merge operand that it then warns about.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "crypto/rijndael256_layout.h"

#define SEALWISE_KERNEL_FEATURES "avx2,vaes,avx512f,avx512vl,avx512vbmi"
#include "crypto/rijndael256_kernel_loops.h"

namespace sealwise::rijndael256 {
namespace {

// The state in one register; the moves are a byte permutation across it.
struct VaesRounds {
    using State = __m256i;
    using Moves = __m256i;
    // Blocks decrypted side by side to fill the AES unit's pipeline.
    static constexpr int kDecryptLanes = 8;

    // Round keys are read from the cipher object; the loads stay off the chain of rounds.
    SEALWISE_KERNEL_TARGET static State Load(const uint8_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    SEALWISE_KERNEL_TARGET static void Store(uint8_t* p, State v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    SEALWISE_KERNEL_TARGET static State Xor(State a, State b) { return _mm256_xor_si256(a, b); }

    SEALWISE_KERNEL_TARGET static Moves EncryptMoves() { return Load(kEncryptPermutation.data()); }
    SEALWISE_KERNEL_TARGET static Moves DecryptMoves() { return Load(kDecryptPermutation.data()); }
    SEALWISE_KERNEL_TARGET static State Move(State s, Moves permute) {
        return _mm256_permutexvar_epi8(permute, s);
    }

    SEALWISE_KERNEL_TARGET static State Encrypt(State s, State k) {
        return _mm256_aesenc_epi128(s, k);
    }
    SEALWISE_KERNEL_TARGET static State EncryptLast(State s, State k) {
        return _mm256_aesenclast_epi128(s, k);
    }
    SEALWISE_KERNEL_TARGET static State Decrypt(State s, State k) {
        return _mm256_aesdec_epi128(s, k);
    }
    SEALWISE_KERNEL_TARGET static State DecryptLast(State s, State k) {
        return _mm256_aesdeclast_epi128(s, k);
    }
};

SEALWISE_KERNEL_TARGET void EncryptBlock(const uint8_t* rk, const uint8_t* in, uint8_t* out) {
    using R = VaesRounds;
    const R::Moves m = R::EncryptMoves();
    R::State s = R::Xor(R::Load(in), RoundKey<R>(rk, 0));
#pragma GCC unroll 14
    for (int r = 1; r < kRounds; ++r) s = R::Encrypt(R::Move(s, m), RoundKey<R>(rk, r));
    R::Store(out, R::EncryptLast(R::Move(s, m), RoundKey<R>(rk, kRounds)));
}

constexpr Kernels kVaes{EncryptBlock, DecryptBlock<VaesRounds>, EncryptCbc<VaesRounds>,
                        DecryptCbc<VaesRounds>};

}  // namespace

const Kernels* VaesKernels() { return &kVaes; }

}  // namespace sealwise::rijndael256

#else

namespace sealwise::rijndael256 {
const Kernels* VaesKernels() { return nullptr; }
}  // namespace sealwise::rijndael256

#endif
