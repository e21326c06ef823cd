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

#include "crypto/rijndael256_layout.h"

#define SEALWISE_VAES __attribute__((target("avx2,vaes,avx512f,avx512vl,avx512vbmi")))

namespace sealwise::rijndael256 {
namespace {

// The round keys are read as the bytes of the schedule's words.
static_assert(std::endian::native == std::endian::little);

constexpr int kRounds = 14;
// Blocks decrypted side by side to fill the AES unit's pipeline.
constexpr int kDecryptLanes = 8;

SEALWISE_VAES inline __m256i Load(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
SEALWISE_VAES inline void Store(uint8_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Round keys are read from the cipher object; the loads stay off the chain of dependent rounds.
SEALWISE_VAES inline __m256i RoundKey(const uint8_t* rk, int round) {
    return Load(rk + 32 * round);
}

SEALWISE_VAES inline __m256i EncryptState(const uint8_t* rk, __m256i permute, __m256i s) {
    s = _mm256_xor_si256(s, RoundKey(rk, 0));
#pragma GCC unroll 14
    for (int r = 1; r < kRounds; ++r) {
        s = _mm256_aesenc_epi128(_mm256_permutexvar_epi8(permute, s), RoundKey(rk, r));
    }
    return _mm256_aesenclast_epi128(_mm256_permutexvar_epi8(permute, s), RoundKey(rk, kRounds));
}

// Decrypts `lanes` independent blocks round by round, so their instructions overlap.
template <int lanes>
SEALWISE_VAES inline void DecryptStates(const uint8_t* rk, __m256i permute, __m256i (&s)[lanes]) {
    const __m256i first = RoundKey(rk, 0);
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) s[i] = _mm256_xor_si256(s[i], first);
    for (int r = 1; r < kRounds; ++r) {
        const __m256i k = RoundKey(rk, r);
#pragma GCC unroll 8
        for (int i = 0; i < lanes; ++i) {
            s[i] = _mm256_aesdec_epi128(_mm256_permutexvar_epi8(permute, s[i]), k);
        }
    }
    const __m256i last = RoundKey(rk, kRounds);
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) {
        s[i] = _mm256_aesdeclast_epi128(_mm256_permutexvar_epi8(permute, s[i]), last);
    }
}

// Decrypts `lanes` blocks of CBC; chain is the ciphertext block before the first one.
template <int lanes>
SEALWISE_VAES inline __m256i DecryptCbcGroup(const uint8_t* rk, __m256i permute, __m256i chain,
                                             const uint8_t* in, uint8_t* out) {
    __m256i s[lanes];
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) s[i] = Load(in + 32 * i);
    // Read before any store: out may be in.
    const __m256i last = s[lanes - 1];
    DecryptStates<lanes>(rk, permute, s);
    s[0] = _mm256_xor_si256(s[0], chain);
#pragma GCC unroll 8
    for (int i = 1; i < lanes; ++i) s[i] = _mm256_xor_si256(s[i], Load(in + 32 * (i - 1)));
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) Store(out + 32 * i, s[i]);
    return last;
}

SEALWISE_VAES void EncryptBlock(const uint8_t* rk, const uint8_t* in, uint8_t* out) {
    Store(out, EncryptState(rk, Load(kEncryptPermutation.data()), Load(in)));
}

SEALWISE_VAES void DecryptBlock(const uint8_t* rk, const uint8_t* in, uint8_t* out) {
    __m256i s[1] = {Load(in)};
    DecryptStates<1>(rk, Load(kDecryptPermutation.data()), s);
    Store(out, s[0]);
}

// CBC encryption is one chain of dependent rounds; only the permutes and rounds stay on it.
// The round keys sit in registers, and the xors between two blocks are folded into the last
// round's key: block i ends with AESENCLAST under k14 ^ k0 ^ p(i+1), which yields block i+1's
// state after round 0 at once; the cipher block for the output is taken off the chain.
SEALWISE_VAES void EncryptCbc(const uint8_t* rk, uint8_t* chain, const uint8_t* in, uint8_t* out,
                              std::size_t blocks) {
    if (blocks == 0) return;
    const __m256i permute = Load(kEncryptPermutation.data());
    __m256i k[kRounds + 1];
#pragma GCC unroll 15
    for (int r = 0; r <= kRounds; ++r) k[r] = RoundKey(rk, r);
    const __m256i lastAndFirst = _mm256_xor_si256(k[kRounds], k[0]);
    __m256i s = _mm256_xor_si256(Load(chain), _mm256_xor_si256(Load(in), k[0]));
    for (std::size_t i = 0;; ++i) {
#pragma GCC unroll 13
        for (int r = 1; r < kRounds; ++r)
            s = _mm256_aesenc_epi128(_mm256_permutexvar_epi8(permute, s), k[r]);
        const __m256i last = _mm256_permutexvar_epi8(permute, s);
        if (i + 1 == blocks) {
            s = _mm256_aesenclast_epi128(last, k[kRounds]);
            Store(out + 32 * i, s);
            break;
        }
        // Read before the store: out may be in.
        const __m256i next = Load(in + 32 * (i + 1));
        s = _mm256_aesenclast_epi128(last, _mm256_xor_si256(lastAndFirst, next));
        Store(out + 32 * i, _mm256_xor_si256(s, _mm256_xor_si256(next, k[0])));
    }
    Store(chain, s);
}

SEALWISE_VAES void DecryptCbc(const uint8_t* rk, uint8_t* chain, const uint8_t* in, uint8_t* out,
                              std::size_t blocks) {
    const __m256i permute = Load(kDecryptPermutation.data());
    __m256i c = Load(chain);
    std::size_t i = 0;
    for (; i + kDecryptLanes <= blocks; i += kDecryptLanes) {
        c = DecryptCbcGroup<kDecryptLanes>(rk, permute, c, in + 32 * i, out + 32 * i);
    }
    for (; i < blocks; ++i) c = DecryptCbcGroup<1>(rk, permute, c, in + 32 * i, out + 32 * i);
    Store(chain, c);
}

constexpr Kernels kVaes{EncryptBlock, DecryptBlock, EncryptCbc, DecryptCbc};

}  // namespace

const Kernels* VaesKernels() { return &kVaes; }

}  // namespace sealwise::rijndael256

#else

namespace sealwise::rijndael256 {
const Kernels* VaesKernels() { return nullptr; }
}  // namespace sealwise::rijndael256

#endif
