// Rijndael-256 rounds with AES-NI: the state is two 16-byte halves; before every AES round
// instruction one blend and one byte shuffle per half turn its row shift into the 256-bit one
// (see rijndael256_layout.h). Only functions marked with the target attribute use the
// instructions, so the program still starts on CPUs without them.
#include "crypto/rijndael256_kernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "crypto/rijndael256_layout.h"

#define SEALWISE_KERNEL_FEATURES "aes,sse4.1"
#include "crypto/rijndael256_kernel_loops.h"

namespace sealwise::rijndael256 {
namespace {

// The state as two 16-byte halves, each run through its own AES round instruction.
struct AesNiRounds {
    struct State {
        __m128i lo, hi;
    };
    struct Moves {
        __m128i takeOther, shuffle;
    };
    // Blocks decrypted side by side to fill the AES unit's pipeline.
    static constexpr int kDecryptLanes = 4;

    SEALWISE_KERNEL_TARGET static __m128i LoadHalf(const uint8_t* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    SEALWISE_KERNEL_TARGET static void StoreHalf(uint8_t* p, __m128i v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    SEALWISE_KERNEL_TARGET static State Load(const uint8_t* p) {
        return {LoadHalf(p), LoadHalf(p + 16)};
    }
    SEALWISE_KERNEL_TARGET static void Store(uint8_t* p, State s) {
        StoreHalf(p, s.lo);
        StoreHalf(p + 16, s.hi);
    }
    SEALWISE_KERNEL_TARGET static State Xor(State a, State b) {
        return {_mm_xor_si128(a.lo, b.lo), _mm_xor_si128(a.hi, b.hi)};
    }

    SEALWISE_KERNEL_TARGET static Moves LoadMoves(const HalfMoves& m) {
        return {LoadHalf(m.takeOther.data()), LoadHalf(m.shuffle.data())};
    }
    SEALWISE_KERNEL_TARGET static Moves EncryptMoves() { return LoadMoves(kEncryptMoves); }
    SEALWISE_KERNEL_TARGET static Moves DecryptMoves() { return LoadMoves(kDecryptMoves); }
    SEALWISE_KERNEL_TARGET static State Move(State s, Moves m) {
        const __m128i lo = _mm_blendv_epi8(s.lo, s.hi, m.takeOther);
        const __m128i hi = _mm_blendv_epi8(s.hi, s.lo, m.takeOther);
        return {_mm_shuffle_epi8(lo, m.shuffle), _mm_shuffle_epi8(hi, m.shuffle)};
    }

    SEALWISE_KERNEL_TARGET static State Encrypt(State s, State k) {
        return {_mm_aesenc_si128(s.lo, k.lo), _mm_aesenc_si128(s.hi, k.hi)};
    }
    SEALWISE_KERNEL_TARGET static State EncryptLast(State s, State k) {
        return {_mm_aesenclast_si128(s.lo, k.lo), _mm_aesenclast_si128(s.hi, k.hi)};
    }
    SEALWISE_KERNEL_TARGET static State Decrypt(State s, State k) {
        return {_mm_aesdec_si128(s.lo, k.lo), _mm_aesdec_si128(s.hi, k.hi)};
    }
    SEALWISE_KERNEL_TARGET static State DecryptLast(State s, State k) {
        return {_mm_aesdeclast_si128(s.lo, k.lo), _mm_aesdeclast_si128(s.hi, k.hi)};
    }
};

SEALWISE_KERNEL_TARGET void EncryptBlock(const uint8_t* rk, const uint8_t* in, uint8_t* out) {
    using R = AesNiRounds;
    const R::Moves m = R::EncryptMoves();
    R::State s = R::Xor(R::Load(in), RoundKey<R>(rk, 0));
    for (int r = 1; r < kRounds; ++r) s = R::Encrypt(R::Move(s, m), RoundKey<R>(rk, r));
    R::Store(out, R::EncryptLast(R::Move(s, m), RoundKey<R>(rk, kRounds)));
}

constexpr Kernels kAesNi{EncryptBlock, DecryptBlock<AesNiRounds>, EncryptCbc<AesNiRounds>,
                         DecryptCbc<AesNiRounds>};

}  // namespace

const Kernels* AesNiKernels() { return &kAesNi; }

}  // namespace sealwise::rijndael256

#else

namespace sealwise::rijndael256 {
const Kernels* AesNiKernels() { return nullptr; }
}  // namespace sealwise::rijndael256

#endif
