// Rijndael-256 rounds with AES-NI: the state is two 16-byte halves; before every AES round
// instruction one blend and one byte shuffle per half turn its row shift into the 256-bit one
// (see rijndael256_layout.h). Only functions marked with the target attribute use the
// instructions, so the program still starts on CPUs without them.
#include "crypto/rijndael256_kernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <bit>

#include "crypto/rijndael256_layout.h"

#define SEALWISE_AESNI __attribute__((target("aes,sse4.1")))

namespace sealwise::rijndael256 {
namespace {

// The round keys are read as the bytes of the schedule's words.
static_assert(std::endian::native == std::endian::little);

constexpr int kRounds = 14;
// Blocks decrypted side by side to fill the AES unit's pipeline.
constexpr int kDecryptLanes = 4;

struct State {
    __m128i lo, hi;
};

struct Moves {
    __m128i takeOther, shuffle;
};

SEALWISE_AESNI inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
SEALWISE_AESNI inline void Store(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
SEALWISE_AESNI inline State LoadState(const uint8_t* p) { return {Load(p), Load(p + 16)}; }
SEALWISE_AESNI inline void StoreState(uint8_t* p, State s) {
    Store(p, s.lo);
    Store(p + 16, s.hi);
}
SEALWISE_AESNI inline State Xor(State a, State b) {
    return {_mm_xor_si128(a.lo, b.lo), _mm_xor_si128(a.hi, b.hi)};
}

SEALWISE_AESNI inline Moves LoadMoves(const HalfMoves& m) {
    return {Load(m.takeOther.data()), Load(m.shuffle.data())};
}

SEALWISE_AESNI inline State MoveBytes(State s, Moves m) {
    const __m128i lo = _mm_blendv_epi8(s.lo, s.hi, m.takeOther);
    const __m128i hi = _mm_blendv_epi8(s.hi, s.lo, m.takeOther);
    return {_mm_shuffle_epi8(lo, m.shuffle), _mm_shuffle_epi8(hi, m.shuffle)};
}

SEALWISE_AESNI inline State RoundKey(const uint8_t* roundKeys, int round) {
    return LoadState(roundKeys + 32 * round);
}

SEALWISE_AESNI inline State EncryptState(const uint8_t* rk, State s, Moves m) {
    s = Xor(s, RoundKey(rk, 0));
    for (int r = 1; r < kRounds; ++r) {
        const State k = RoundKey(rk, r);
        s = MoveBytes(s, m);
        s = {_mm_aesenc_si128(s.lo, k.lo), _mm_aesenc_si128(s.hi, k.hi)};
    }
    const State k = RoundKey(rk, kRounds);
    s = MoveBytes(s, m);
    return {_mm_aesenclast_si128(s.lo, k.lo), _mm_aesenclast_si128(s.hi, k.hi)};
}

// Decrypts `lanes` independent blocks round by round, so their instructions overlap.
template <int lanes>
SEALWISE_AESNI inline void DecryptStates(const uint8_t* rk, State (&s)[lanes], Moves m) {
    const State k0 = RoundKey(rk, 0);
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) s[i] = Xor(s[i], k0);
    for (int r = 1; r < kRounds; ++r) {
        const State k = RoundKey(rk, r);
#pragma GCC unroll 8
        for (int i = 0; i < lanes; ++i) {
            s[i] = MoveBytes(s[i], m);
            s[i] = {_mm_aesdec_si128(s[i].lo, k.lo), _mm_aesdec_si128(s[i].hi, k.hi)};
        }
    }
    const State k = RoundKey(rk, kRounds);
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) {
        s[i] = MoveBytes(s[i], m);
        s[i] = {_mm_aesdeclast_si128(s[i].lo, k.lo), _mm_aesdeclast_si128(s[i].hi, k.hi)};
    }
}

// Decrypts `lanes` blocks of CBC; chain is the ciphertext block before the first one.
template <int lanes>
SEALWISE_AESNI inline State DecryptCbcGroup(const uint8_t* rk, State chain, const uint8_t* in,
                                            uint8_t* out, Moves m) {
    State s[lanes];
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) s[i] = LoadState(in + 32 * i);
    // Read before any store: out may be in.
    const State last = s[lanes - 1];
    DecryptStates<lanes>(rk, s, m);
    s[0] = Xor(s[0], chain);
#pragma GCC unroll 8
    for (int i = 1; i < lanes; ++i) s[i] = Xor(s[i], LoadState(in + 32 * (i - 1)));
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) StoreState(out + 32 * i, s[i]);
    return last;
}

SEALWISE_AESNI void EncryptBlock(const uint8_t* rk, const uint8_t* in, uint8_t* out) {
    StoreState(out, EncryptState(rk, LoadState(in), LoadMoves(kEncryptMoves)));
}

SEALWISE_AESNI void DecryptBlock(const uint8_t* rk, const uint8_t* in, uint8_t* out) {
    State s[1] = {LoadState(in)};
    DecryptStates<1>(rk, s, LoadMoves(kDecryptMoves));
    StoreState(out, s[0]);
}

// CBC encryption is one chain of dependent rounds; only the byte moves and rounds stay on it.
// The round keys sit in registers, and the xors between two blocks are folded into the last
// round's key (see rijndael256_vaes.cpp).
SEALWISE_AESNI void EncryptCbc(const uint8_t* rk, uint8_t* chain, const uint8_t* in, uint8_t* out,
                               std::size_t blocks) {
    if (blocks == 0) return;
    const Moves m = LoadMoves(kEncryptMoves);
    State k[kRounds + 1];
#pragma GCC unroll 15
    for (int r = 0; r <= kRounds; ++r) k[r] = RoundKey(rk, r);
    const State lastAndFirst = Xor(k[kRounds], k[0]);
    State s = Xor(LoadState(chain), Xor(LoadState(in), k[0]));
    for (std::size_t i = 0;; ++i) {
#pragma GCC unroll 13
        for (int r = 1; r < kRounds; ++r) {
            s = MoveBytes(s, m);
            s = {_mm_aesenc_si128(s.lo, k[r].lo), _mm_aesenc_si128(s.hi, k[r].hi)};
        }
        const State x = MoveBytes(s, m);
        if (i + 1 == blocks) {
            s = {_mm_aesenclast_si128(x.lo, k[kRounds].lo),
                 _mm_aesenclast_si128(x.hi, k[kRounds].hi)};
            StoreState(out + 32 * i, s);
            break;
        }
        // Read before the store: out may be in.
        const State next = LoadState(in + 32 * (i + 1));
        const State key = Xor(lastAndFirst, next);
        s = {_mm_aesenclast_si128(x.lo, key.lo), _mm_aesenclast_si128(x.hi, key.hi)};
        StoreState(out + 32 * i, Xor(s, Xor(next, k[0])));
    }
    StoreState(chain, s);
}

SEALWISE_AESNI void DecryptCbc(const uint8_t* rk, uint8_t* chain, const uint8_t* in, uint8_t* out,
                               std::size_t blocks) {
    const Moves m = LoadMoves(kDecryptMoves);
    State c = LoadState(chain);
    std::size_t i = 0;
    for (; i + kDecryptLanes <= blocks; i += kDecryptLanes) {
        c = DecryptCbcGroup<kDecryptLanes>(rk, c, in + 32 * i, out + 32 * i, m);
    }
    for (; i < blocks; ++i) c = DecryptCbcGroup<1>(rk, c, in + 32 * i, out + 32 * i, m);
    StoreState(chain, c);
}

constexpr Kernels kAesNi{EncryptBlock, DecryptBlock, EncryptCbc, DecryptCbc};

}  // namespace

const Kernels* AesNiKernels() { return &kAesNi; }

}  // namespace sealwise::rijndael256

#else

namespace sealwise::rijndael256 {
const Kernels* AesNiKernels() { return nullptr; }
}  // namespace sealwise::rijndael256

#endif
