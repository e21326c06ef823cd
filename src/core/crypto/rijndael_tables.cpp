#include "crypto/rijndael_tables.h"

namespace sealwise {
namespace {

constexpr uint8_t RotateLeft8(uint8_t x, unsigned n) {
    return static_cast<uint8_t>((x << n) | (x >> (8 - n)));
}
constexpr uint8_t Double(uint8_t x) {
    return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1B : 0));
}
uint32_t PackColumn(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return uint32_t(b0) | uint32_t(b1) << 8 | uint32_t(b2) << 16 | uint32_t(b3) << 24;
}

RijndaelTables Build() {
    RijndaelTables t;
    t.powers[0] = 1;
    for (int i = 1; i < 256; ++i) {
        t.powers[i] = t.powers[i - 1] ^ Double(t.powers[i - 1]);  // times the generator 3
        t.logarithms[t.powers[i]] = static_cast<uint8_t>(i);
    }
    t.logarithms[1] = 0;
    t.sBox[0] = 0x63;
    t.inverseSBox[0x63] = 0;
    for (int x = 1; x < 256; ++x) {
        const uint8_t inverse = t.powers[(255 - t.logarithms[x]) % 255];
        uint8_t y = inverse, r = inverse;
        for (int k = 0; k < 4; ++k) {  // the affine map
            r = RotateLeft8(r, 1);
            y ^= r;
        }
        y ^= 0x63;
        t.sBox[x] = y;
        t.inverseSBox[y] = static_cast<uint8_t>(x);
    }
    t.roundConstants[0] = 1;
    for (std::size_t i = 1; i < t.roundConstants.size(); ++i) {
        t.roundConstants[i] = Double(static_cast<uint8_t>(t.roundConstants[i - 1]));
    }
    for (int i = 0; i < 256; ++i) {
        const uint8_t s = t.sBox[i], s2 = Double(s);
        t.forwardRound[i] = PackColumn(s2, s, s, static_cast<uint8_t>(s ^ s2));
        const uint8_t v = t.inverseSBox[i];
        t.inverseRound[i] = PackColumn(t.Multiply(0x0E, v), t.Multiply(0x09, v),
                                       t.Multiply(0x0D, v), t.Multiply(0x0B, v));
    }
    return t;
}

}  // namespace

uint8_t RijndaelTables::Multiply(uint8_t x, uint8_t y) const {
    if (x == 0 || y == 0) return 0;
    return powers[(logarithms[x] + logarithms[y]) % 255];
}

const RijndaelTables& Tables() {
    static const RijndaelTables tables = Build();
    return tables;
}

}  // namespace sealwise
