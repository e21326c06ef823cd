#include "crypto/rijndael.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "crypto/rijndael256_kernels.h"
#include "util/secure_wipe.h"

namespace sealwise {
namespace {

constexpr uint32_t RotateLeft32(uint32_t x, unsigned n) {
    n &= 31;
    return n == 0 ? x : (x << n) | (x >> (32 - n));
}
constexpr uint8_t RotateLeft8(uint8_t x, unsigned n) {
    return static_cast<uint8_t>((x << n) | (x >> (8 - n)));
}
constexpr uint8_t GfDouble(uint8_t x) {
    return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1B : 0));
}
inline uint32_t PackWord(const uint8_t* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}
inline void UnpackWord(uint32_t w, uint8_t* b) {
    b[0] = uint8_t(w), b[1] = uint8_t(w >> 8), b[2] = uint8_t(w >> 16), b[3] = uint8_t(w >> 24);
}
inline uint8_t Byte(uint32_t w, unsigned i) { return uint8_t(w >> (8 * i)); }

}  // namespace

CRijndael::CRijndael() = default;

CRijndael::~CRijndael() {
    SecureWipe(EncKey.data(), sizeof EncKey);
    SecureWipe(DecKey.data(), sizeof DecKey);
    SecureWipe(chainBlock_.data(), chainBlock_.size());
}

void CRijndael::gentables() {
    auto gfMul = [this](uint8_t x, uint8_t y) -> uint8_t {
        if (x == 0 || y == 0) return 0;
        return PowTable[(LogTable[x] + LogTable[y]) % 255];
    };
    PowTable[0] = 1;
    PowTable[1] = 3;
    LogTable[0] = 0;
    LogTable[1] = 0;
    LogTable[3] = 1;
    for (int i = 2; i < 256; ++i) {
        PowTable[i] = PowTable[i - 1] ^ GfDouble(PowTable[i - 1]);
        LogTable[PowTable[i]] = static_cast<uint8_t>(i);
    }
    SBox[0] = 0x63;
    InvSBox[0x63] = 0;
    for (int x = 1; x < 256; ++x) {
        uint8_t v = PowTable[(255 - LogTable[x]) % 255];  // multiplicative inverse
        uint8_t y = v, r = v;
        for (int k = 0; k < 4; ++k) {
            r = RotateLeft8(r, 1);
            y ^= r;
        }
        y ^= 0x63;
        SBox[x] = y;
        InvSBox[y] = static_cast<uint8_t>(x);
    }
    RoundConst[0] = 1;
    for (std::size_t i = 1; i < RoundConst.size(); ++i) {
        RoundConst[i] = GfDouble(static_cast<uint8_t>(RoundConst[i - 1]));
    }
    for (int i = 0; i < 256; ++i) {
        const uint8_t s = SBox[i];
        const uint8_t s2 = GfDouble(s);
        const uint8_t fwd[4] = {s2, s, s, static_cast<uint8_t>(s ^ s2)};
        FwdTable[i] = PackWord(fwd);
        const uint8_t t = InvSBox[i];
        const uint8_t inv[4] = {gfMul(InvMixCoeff[3], t), gfMul(InvMixCoeff[2], t),
                                gfMul(InvMixCoeff[1], t), gfMul(InvMixCoeff[0], t)};
        InvTable[i] = PackWord(inv);
    }
    tablesReady_ = true;
}

void CRijndael::gkey(int nb, int nk, std::span<const uint8_t> key) {
    // Only the published block and key lengths: 128, 192 and 256 bits.
    auto supported = [](int words) { return words == 4 || words == 6 || words == 8; };
    if (!supported(nb) || !supported(nk)) throw std::out_of_range("gkey: nb/nk not 4, 6 or 8");
    if (key.size() < static_cast<std::size_t>(4 * nk))
        throw std::out_of_range("gkey: key too short");
    if (!tablesReady_) gentables();
    auto gfMul = [this](uint8_t x, uint8_t y) -> uint8_t {
        if (x == 0 || y == 0) return 0;
        return PowTable[(LogTable[x] + LogTable[y]) % 255];
    };
    auto subWord = [this](uint32_t w) {
        return uint32_t(SBox[Byte(w, 0)]) | uint32_t(SBox[Byte(w, 1)]) << 8 |
               uint32_t(SBox[Byte(w, 2)]) << 16 | uint32_t(SBox[Byte(w, 3)]) << 24;
    };
    auto dot = [&](uint32_t x, uint32_t y) {
        uint8_t r = 0;
        for (unsigned i = 0; i < 4; ++i) r ^= gfMul(Byte(x, i), Byte(y, i));
        return r;
    };
    auto invMixColumn = [&](uint32_t x) {
        uint32_t m = PackWord(InvMixCoeff.data());
        uint8_t b[4];
        for (int i = 3; i >= 0; --i) {
            b[i] = dot(m, x);
            m = RotateLeft32(m, 24);
        }
        return PackWord(b);
    };

    nb_ = nb;
    nk_ = nk;
    Nr_ = nb < nk ? nk + 6 : nb + 6;
    const int c1 = 1, c2 = nb <= 7 ? 2 : 3, c3 = nb <= 7 ? 3 : 4;
    for (int j = 0; j < nb; ++j) {
        const int m = 3 * j;
        FwdShift[m] = uint8_t((j + c1) % nb);
        FwdShift[m + 1] = uint8_t((j + c2) % nb);
        FwdShift[m + 2] = uint8_t((j + c3) % nb);
        InvShift[m] = uint8_t((nb + j - c1) % nb);
        InvShift[m + 1] = uint8_t((nb + j - c2) % nb);
        InvShift[m + 2] = uint8_t((nb + j - c3) % nb);
    }

    const int N = nb * (Nr_ + 1);
    for (int i = 0; i < nk; ++i) EncKey[i] = PackWord(key.data() + 4 * i);
    for (int j = nk, k = 0; j < N; j += nk, ++k) {
        EncKey[j] = EncKey[j - nk] ^ subWord(RotateLeft32(EncKey[j - 1], 24)) ^ RoundConst[k];
        if (nk <= 6) {
            for (int i = 1; i < nk && i + j < N; ++i) {
                EncKey[i + j] = EncKey[i + j - nk] ^ EncKey[i + j - 1];
            }
        } else {
            for (int i = 1; i < 4 && i + j < N; ++i) {
                EncKey[i + j] = EncKey[i + j - nk] ^ EncKey[i + j - 1];
            }
            if (j + 4 < N) EncKey[j + 4] = EncKey[j + 4 - nk] ^ subWord(EncKey[j + 3]);
            for (int i = 5; i < nk && i + j < N; ++i) {
                EncKey[i + j] = EncKey[i + j - nk] ^ EncKey[i + j - 1];
            }
        }
    }

    // Equivalent inverse cipher: round keys in reverse order, inner ones through InvMixColumns.
    for (int j = 0; j < nb; ++j) DecKey[j + N - nb] = EncKey[j];
    for (int i = nb; i < N - nb; i += nb) {
        const int k = N - nb - i;
        for (int j = 0; j < nb; ++j) DecKey[k + j] = invMixColumn(EncKey[i + j]);
    }
    for (int j = N - nb; j < N; ++j) DecKey[j - N + nb] = EncKey[j];

    path_ = nb == 8 && nk == 8 ? ActiveCipherPath() : CipherPath::kPortable;
    fast_ = rijndael256::KernelsFor(path_);
}

// The hardware kernels read the schedules as bytes: the words' memory order is the cipher's
// byte order on the little-endian machines that have them.
const uint8_t* CRijndael::EncKeyBytes() const {
    return reinterpret_cast<const uint8_t*>(EncKey.data());
}
const uint8_t* CRijndael::DecKeyBytes() const {
    return reinterpret_cast<const uint8_t*>(DecKey.data());
}

void CRijndael::EncryptBlock(const uint8_t* in, uint8_t* out) const {
    if (fast_) {
        fast_->encryptBlock(EncKeyBytes(), in, out);
    } else {
        PortableEncryptBlock(in, out);
    }
}

void CRijndael::DecryptBlock(const uint8_t* in, uint8_t* out) const {
    if (fast_) {
        fast_->decryptBlock(DecKeyBytes(), in, out);
    } else {
        PortableDecryptBlock(in, out);
    }
}

void CRijndael::PortableEncryptBlock(const uint8_t* in, uint8_t* out) const {
    uint32_t x[8], y[8];
    for (int i = 0; i < nb_; ++i) x[i] = PackWord(in + 4 * i) ^ EncKey[i];
    int k = nb_;
    for (int r = 1; r < Nr_; ++r) {
        for (int j = 0; j < nb_; ++j) {
            const int m = 3 * j;
            y[j] = EncKey[k++] ^ FwdTable[x[j] & 0xFF] ^
                   RotateLeft32(FwdTable[(x[FwdShift[m]] >> 8) & 0xFF], 8) ^
                   RotateLeft32(FwdTable[(x[FwdShift[m + 1]] >> 16) & 0xFF], 16) ^
                   RotateLeft32(FwdTable[(x[FwdShift[m + 2]] >> 24) & 0xFF], 24);
        }
        std::memcpy(x, y, sizeof(uint32_t) * nb_);
    }
    for (int j = 0; j < nb_; ++j) {
        const int m = 3 * j;
        y[j] = EncKey[k++] ^ uint32_t(SBox[x[j] & 0xFF]) ^
               RotateLeft32(SBox[(x[FwdShift[m]] >> 8) & 0xFF], 8) ^
               RotateLeft32(SBox[(x[FwdShift[m + 1]] >> 16) & 0xFF], 16) ^
               RotateLeft32(SBox[(x[FwdShift[m + 2]] >> 24) & 0xFF], 24);
    }
    for (int i = 0; i < nb_; ++i) UnpackWord(y[i], out + 4 * i);
    SecureWipe(x, sizeof x);
    SecureWipe(y, sizeof y);
}

void CRijndael::PortableDecryptBlock(const uint8_t* in, uint8_t* out) const {
    uint32_t x[8], y[8];
    for (int i = 0; i < nb_; ++i) x[i] = PackWord(in + 4 * i) ^ DecKey[i];
    int k = nb_;
    for (int r = 1; r < Nr_; ++r) {
        for (int j = 0; j < nb_; ++j) {
            const int m = 3 * j;
            y[j] = DecKey[k++] ^ InvTable[x[j] & 0xFF] ^
                   RotateLeft32(InvTable[(x[InvShift[m]] >> 8) & 0xFF], 8) ^
                   RotateLeft32(InvTable[(x[InvShift[m + 1]] >> 16) & 0xFF], 16) ^
                   RotateLeft32(InvTable[(x[InvShift[m + 2]] >> 24) & 0xFF], 24);
        }
        std::memcpy(x, y, sizeof(uint32_t) * nb_);
    }
    for (int j = 0; j < nb_; ++j) {
        const int m = 3 * j;
        y[j] = DecKey[k++] ^ uint32_t(InvSBox[x[j] & 0xFF]) ^
               RotateLeft32(InvSBox[(x[InvShift[m]] >> 8) & 0xFF], 8) ^
               RotateLeft32(InvSBox[(x[InvShift[m + 1]] >> 16) & 0xFF], 16) ^
               RotateLeft32(InvSBox[(x[InvShift[m + 2]] >> 24) & 0xFF], 24);
    }
    for (int i = 0; i < nb_; ++i) UnpackWord(y[i], out + 4 * i);
    SecureWipe(x, sizeof x);
    SecureWipe(y, sizeof y);
}

void CRijndael::Encrypt(std::span<uint8_t> buff) const {
    if (nb_ == 0 || buff.size() < static_cast<std::size_t>(4 * nb_)) {
        throw std::out_of_range("Encrypt: block too short or no key");
    }
    EncryptBlock(buff.data(), buff.data());
}

void CRijndael::Decrypt(std::span<uint8_t> buff) const {
    if (nb_ == 0 || buff.size() < static_cast<std::size_t>(4 * nb_)) {
        throw std::out_of_range("Decrypt: block too short or no key");
    }
    DecryptBlock(buff.data(), buff.data());
}

}  // namespace sealwise
