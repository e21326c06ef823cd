#pragma once
// The decryption and CBC loops both hardware kernels run, written once over the kernel's view
// of a 32-byte state. A kernel file includes the standard headers first, then defines
// SEALWISE_KERNEL_FEATURES (its instructions as a target string, e.g. "aes,sse4.1") and
// includes this header, which compiles the loops for exactly those instructions. The kernel
// instantiates them with a Rounds type of static functions, all inline and marked with
// SEALWISE_KERNEL_TARGET:
//
//   using State = ...;  using Moves = ...;  static constexpr int kDecryptLanes = ...;
//   State Load(const uint8_t*);  void Store(uint8_t*, State);  State Xor(State, State);
//   Moves EncryptMoves();  Moves DecryptMoves();
//   State Move(State, Moves);  the byte moves that turn the AES row shift into the 256-bit one
//   State Encrypt(State moved, State key);  EncryptLast, Decrypt, DecryptLast alike
//
// The unnamed namespace gives each kernel file its own copy, compiled for its own target.
#include <bit>
#include <cstddef>
#include <cstdint>

#ifndef SEALWISE_KERNEL_FEATURES
#error "define SEALWISE_KERNEL_FEATURES before including rijndael256_kernel_loops.h"
#endif

#define SEALWISE_KERNEL_TARGET __attribute__((target(SEALWISE_KERNEL_FEATURES)))
#define SEALWISE_KERNEL_PRAGMA(text) _Pragma(#text)
// Everything up to the pop below is compiled for the kernel's instructions (clang knows no GCC
// target pragma, GCC no clang attribute pragma).
#if defined(__clang__)
#define SEALWISE_KERNEL_PUSH(features) \
    SEALWISE_KERNEL_PRAGMA(            \
        clang attribute push(__attribute__((target(features))), apply_to = function))
#define SEALWISE_KERNEL_POP _Pragma("clang attribute pop")
#else
#define SEALWISE_KERNEL_PUSH(features) \
    _Pragma("GCC push_options") SEALWISE_KERNEL_PRAGMA(GCC target(features))
#define SEALWISE_KERNEL_POP _Pragma("GCC pop_options")
#endif
SEALWISE_KERNEL_PUSH(SEALWISE_KERNEL_FEATURES)

namespace sealwise::rijndael256 {
namespace {

// The round keys are read as the bytes of the schedule's words.
static_assert(std::endian::native == std::endian::little);

constexpr int kRounds = 14;

template <class Rounds>
inline typename Rounds::State RoundKey(const uint8_t* roundKeys, int round) {
    return Rounds::Load(roundKeys + 32 * round);
}

// Decrypts `lanes` independent blocks round by round, so their instructions overlap.
template <class Rounds, int lanes>
inline void DecryptStates(const uint8_t* rk, typename Rounds::Moves m,
                          typename Rounds::State (&s)[lanes]) {
    using State = typename Rounds::State;
    const State first = RoundKey<Rounds>(rk, 0);
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) s[i] = Rounds::Xor(s[i], first);
    for (int r = 1; r < kRounds; ++r) {
        const State k = RoundKey<Rounds>(rk, r);
#pragma GCC unroll 8
        for (int i = 0; i < lanes; ++i) s[i] = Rounds::Decrypt(Rounds::Move(s[i], m), k);
    }
    const State last = RoundKey<Rounds>(rk, kRounds);
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) s[i] = Rounds::DecryptLast(Rounds::Move(s[i], m), last);
}

// Decrypts `lanes` blocks of CBC; chain is the ciphertext block before the first one.
template <class Rounds, int lanes>
inline typename Rounds::State DecryptCbcGroup(const uint8_t* rk, typename Rounds::Moves m,
                                              typename Rounds::State chain, const uint8_t* in,
                                              uint8_t* out) {
    using State = typename Rounds::State;
    State s[lanes];
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) s[i] = Rounds::Load(in + 32 * i);
    // Read before any store: out may be in.
    const State last = s[lanes - 1];
    DecryptStates<Rounds, lanes>(rk, m, s);
    s[0] = Rounds::Xor(s[0], chain);
#pragma GCC unroll 8
    for (int i = 1; i < lanes; ++i) s[i] = Rounds::Xor(s[i], Rounds::Load(in + 32 * (i - 1)));
#pragma GCC unroll 8
    for (int i = 0; i < lanes; ++i) Rounds::Store(out + 32 * i, s[i]);
    return last;
}

template <class Rounds>
void DecryptBlock(const uint8_t* rk, const uint8_t* in, uint8_t* out) {
    typename Rounds::State s[1] = {Rounds::Load(in)};
    DecryptStates<Rounds, 1>(rk, Rounds::DecryptMoves(), s);
    Rounds::Store(out, s[0]);
}

// CBC encryption is one chain of dependent rounds; only the byte moves and rounds stay on it.
// The round keys sit in registers, and the xors between two blocks are folded into the last
// round's key: block i ends with the last round under k14 ^ k0 ^ p(i+1), which yields block
// i+1's state after round 0 at once; the cipher block for the output is taken off the chain.
template <class Rounds>
void EncryptCbc(const uint8_t* rk, uint8_t* chain, const uint8_t* in, uint8_t* out,
                std::size_t blocks) {
    using State = typename Rounds::State;
    if (blocks == 0) return;
    const typename Rounds::Moves m = Rounds::EncryptMoves();
    State k[kRounds + 1];
#pragma GCC unroll 15
    for (int r = 0; r <= kRounds; ++r) k[r] = RoundKey<Rounds>(rk, r);
    const State lastAndFirst = Rounds::Xor(k[kRounds], k[0]);
    State s = Rounds::Xor(Rounds::Load(chain), Rounds::Xor(Rounds::Load(in), k[0]));
    for (std::size_t i = 0;; ++i) {
#pragma GCC unroll 13
        for (int r = 1; r < kRounds; ++r) s = Rounds::Encrypt(Rounds::Move(s, m), k[r]);
        const State moved = Rounds::Move(s, m);
        if (i + 1 == blocks) {
            s = Rounds::EncryptLast(moved, k[kRounds]);
            Rounds::Store(out + 32 * i, s);
            break;
        }
        // Read before the store: out may be in.
        const State next = Rounds::Load(in + 32 * (i + 1));
        s = Rounds::EncryptLast(moved, Rounds::Xor(lastAndFirst, next));
        Rounds::Store(out + 32 * i, Rounds::Xor(s, Rounds::Xor(next, k[0])));
    }
    Rounds::Store(chain, s);
}

template <class Rounds>
void DecryptCbc(const uint8_t* rk, uint8_t* chain, const uint8_t* in, uint8_t* out,
                std::size_t blocks) {
    constexpr int lanes = Rounds::kDecryptLanes;
    const typename Rounds::Moves m = Rounds::DecryptMoves();
    typename Rounds::State c = Rounds::Load(chain);
    std::size_t i = 0;
    for (; i + lanes <= blocks; i += lanes) {
        c = DecryptCbcGroup<Rounds, lanes>(rk, m, c, in + 32 * i, out + 32 * i);
    }
    for (; i < blocks; ++i) c = DecryptCbcGroup<Rounds, 1>(rk, m, c, in + 32 * i, out + 32 * i);
    Rounds::Store(chain, c);
}

}  // namespace
}  // namespace sealwise::rijndael256

SEALWISE_KERNEL_POP
