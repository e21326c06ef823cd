#pragma once
// Byte moves that let AES round instructions compute Rijndael with a 256-bit block.
//
// The 32-byte state is eight 4-byte columns (byte 4c + r is row r of column c), held as two
// 16-byte halves of four columns each. An AES round instruction shifts the rows of each half by
// 1, 2, 3 columns (inverse: right), while the 256-bit cipher shifts the rows of the whole state
// by 1, 3, 4 columns. SubBytes works byte by byte, so moving the bytes before the instruction
// with P = (AES row shift)^-1 * (256-bit row shift) makes the instruction's own shift finish the
// job. P swaps some bytes between the halves (a blend) and then moves bytes within each half (a
// byte shuffle); both moves are the same for the two halves, as the constants below check.
#include <array>
#include <cstdint>

namespace sealwise::rijndael256 {

// Row shifts of the 256-bit block cipher, in columns to the left.
inline constexpr std::array<int, 4> kRowShift = {0, 1, 3, 4};

enum class Direction { kEncrypt, kDecrypt };

// Where byte 4j + r of half h must come from so that the AES row shift inside the half yields
// the 256-bit row shift: source column 0..7 of the whole state.
constexpr int SourceColumn(Direction d, int h, int j, int r) {
    const int s = d == Direction::kEncrypt ? 1 : -1;
    return (4 * h + ((j - s * r) % 4 + 4) % 4 + s * kRowShift[r] + 8) % 8;
}

struct HalfMoves {
    std::array<uint8_t, 16> takeOther{};  // 0x80 where a byte comes from the other half
    std::array<uint8_t, 16> shuffle{};    // byte shuffle within the half after the blend
    bool valid = true;  // a permutation within each half, the same for both halves
};

// Blend then shuffle: half h first takes the bytes marked in takeOther from the other half,
// then byte i of the result is byte shuffle[i] of the blend.
constexpr HalfMoves MakeHalfMoves(Direction d) {
    HalfMoves m;
    for (int h = 0; h < 2; ++h) {
        std::array<int, 16> uses{};
        for (int j = 0; j < 4; ++j) {
            for (int r = 0; r < 4; ++r) {
                const int column = SourceColumn(d, h, j, r);
                const int from = 4 * (column % 4) + r;
                const auto other = uint8_t(column / 4 != h ? 0x80 : 0);
                ++uses[from];
                if (h == 0) {
                    m.shuffle[4 * j + r] = uint8_t(from);
                    m.takeOther[from] = other;
                } else if (m.shuffle[4 * j + r] != from || m.takeOther[from] != other) {
                    m.valid = false;
                }
            }
        }
        for (int u : uses) m.valid = m.valid && u == 1;
    }
    return m;
}

// The same move as one permutation of all 32 bytes: byte i comes from byte permute[i].
constexpr std::array<uint8_t, 32> MakeFullPermutation(Direction d) {
    std::array<uint8_t, 32> p{};
    for (int h = 0; h < 2; ++h) {
        for (int j = 0; j < 4; ++j) {
            for (int r = 0; r < 4; ++r)
                p[16 * h + 4 * j + r] = uint8_t(4 * SourceColumn(d, h, j, r) + r);
        }
    }
    return p;
}

inline constexpr HalfMoves kEncryptMoves = MakeHalfMoves(Direction::kEncrypt);
inline constexpr HalfMoves kDecryptMoves = MakeHalfMoves(Direction::kDecrypt);
static_assert(kEncryptMoves.valid && kDecryptMoves.valid,
              "one blend and one shuffle must serve both halves");

inline constexpr std::array<uint8_t, 32> kEncryptPermutation =
    MakeFullPermutation(Direction::kEncrypt);
inline constexpr std::array<uint8_t, 32> kDecryptPermutation =
    MakeFullPermutation(Direction::kDecrypt);

}  // namespace sealwise::rijndael256
