#pragma once
// The fixed tables of Rijndael: S-box and its inverse, the round tables (S-box combined with
// MixColumns, and the inverse S-box with InvMixColumns) and the round constants. They depend on
// nothing but the field, so they are built once per process and shared by every key.
#include <array>
#include <cstdint>

namespace sealwise {

struct RijndaelTables {
    std::array<uint8_t, 256> sBox{}, inverseSBox{};
    // Column of the forward round for input byte b: S(b) times (2, 1, 1, 3), little-endian.
    std::array<uint32_t, 256> forwardRound{};
    // Column of the inverse round for input byte b: S^-1(b) times (14, 9, 13, 11).
    std::array<uint32_t, 256> inverseRound{};
    std::array<uint32_t, 30> roundConstants{};

    // Multiplication in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
    uint8_t Multiply(uint8_t x, uint8_t y) const;

    std::array<uint8_t, 256> powers{}, logarithms{};  // of the generator 3
};

// Built on first use; safe to call from several threads.
const RijndaelTables& Tables();

}  // namespace sealwise
