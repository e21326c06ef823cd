#include "crypto/rijndael256.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "crypto/rijndael256_kernels.h"
#include "crypto/rijndael_tables.h"
#include "util/secure_wipe.h"

namespace sealwise {
namespace {

constexpr uint32_t RotateLeft32(uint32_t x, unsigned n) {
    n &= 31;
    return n == 0 ? x : (x << n) | (x >> (32 - n));
}
inline uint32_t PackWord(const uint8_t* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}
inline void UnpackWord(uint32_t w, uint8_t* b) {
    b[0] = uint8_t(w), b[1] = uint8_t(w >> 8), b[2] = uint8_t(w >> 16), b[3] = uint8_t(w >> 24);
}
inline uint8_t Byte(uint32_t w, unsigned i) { return uint8_t(w >> (8 * i)); }

uint32_t SubWord(const RijndaelTables& t, uint32_t w) {
    return uint32_t(t.sBox[Byte(w, 0)]) | uint32_t(t.sBox[Byte(w, 1)]) << 8 |
           uint32_t(t.sBox[Byte(w, 2)]) << 16 | uint32_t(t.sBox[Byte(w, 3)]) << 24;
}

// InvMixColumns of one column: byte i = 14 a[i] ^ 11 a[i+1] ^ 13 a[i+2] ^ 9 a[i+3].
uint32_t InverseMixColumn(const RijndaelTables& t, uint32_t column) {
    uint8_t a[4], b[4];
    UnpackWord(column, a);
    for (int i = 0; i < 4; ++i) {
        b[i] = t.Multiply(0x0E, a[i]) ^ t.Multiply(0x0B, a[(i + 1) % 4]) ^
               t.Multiply(0x0D, a[(i + 2) % 4]) ^ t.Multiply(0x09, a[(i + 3) % 4]);
    }
    return PackWord(b);
}

// The table-driven rounds over blockWords columns; forward or inverse by the tables given.
void RunRounds(int blockWords, int rounds, const uint32_t* keys, const uint8_t* shift,
               const std::array<uint32_t, 256>& roundTable,
               const std::array<uint8_t, 256>& lastTable, const uint8_t* in, uint8_t* out) {
    uint32_t x[8], y[8];
    for (int i = 0; i < blockWords; ++i) x[i] = PackWord(in + 4 * i) ^ keys[i];
    int k = blockWords;
    for (int r = 1; r < rounds; ++r) {
        for (int j = 0; j < blockWords; ++j) {
            const uint8_t* s = shift + 3 * j;
            y[j] = keys[k++] ^ roundTable[x[j] & 0xFF] ^
                   RotateLeft32(roundTable[(x[s[0]] >> 8) & 0xFF], 8) ^
                   RotateLeft32(roundTable[(x[s[1]] >> 16) & 0xFF], 16) ^
                   RotateLeft32(roundTable[(x[s[2]] >> 24) & 0xFF], 24);
        }
        std::memcpy(x, y, sizeof(uint32_t) * static_cast<std::size_t>(blockWords));
    }
    for (int j = 0; j < blockWords; ++j) {
        const uint8_t* s = shift + 3 * j;
        y[j] = keys[k++] ^ uint32_t(lastTable[x[j] & 0xFF]) ^
               RotateLeft32(lastTable[(x[s[0]] >> 8) & 0xFF], 8) ^
               RotateLeft32(lastTable[(x[s[1]] >> 16) & 0xFF], 16) ^
               RotateLeft32(lastTable[(x[s[2]] >> 24) & 0xFF], 24);
    }
    for (int i = 0; i < blockWords; ++i) UnpackWord(y[i], out + 4 * i);
    SecureWipe(x, sizeof x);
    SecureWipe(y, sizeof y);
}
inline void XorBlock(uint8_t* dst, const uint8_t* src) {
    for (std::size_t i = 0; i < Rijndael256::kBlockSize; ++i) dst[i] ^= src[i];
}

}  // namespace

Rijndael256::~Rijndael256() {
    SecureWipe(encryptionKeys_.data(), sizeof encryptionKeys_);
    SecureWipe(decryptionKeys_.data(), sizeof decryptionKeys_);
}

void Rijndael256::SetKey(int blockWords, int keyWords, std::span<const uint8_t> key) {
    // Only the published block and key lengths: 128, 192 and 256 bits.
    auto supported = [](int words) { return words == 4 || words == 6 || words == 8; };
    if (!supported(blockWords) || !supported(keyWords)) {
        throw std::out_of_range("Rijndael: block or key length not 4, 6 or 8 words");
    }
    if (key.size() < static_cast<std::size_t>(4 * keyWords)) {
        throw std::out_of_range("Rijndael: key too short");
    }
    const RijndaelTables& t = Tables();
    const int nb = blockWords, nk = keyWords;
    blockWords_ = nb;
    keyWords_ = nk;
    rounds_ = std::max(nb, nk) + 6;
    // Rows 1..3 shift by 1, 2, 3 columns, or 1, 3, 4 for the 256-bit block.
    const int c1 = 1, c2 = nb <= 7 ? 2 : 3, c3 = nb <= 7 ? 3 : 4;
    for (int j = 0; j < nb; ++j) {
        const int m = 3 * j;
        forwardShift_[m] = uint8_t((j + c1) % nb);
        forwardShift_[m + 1] = uint8_t((j + c2) % nb);
        forwardShift_[m + 2] = uint8_t((j + c3) % nb);
        inverseShift_[m] = uint8_t((nb + j - c1) % nb);
        inverseShift_[m + 1] = uint8_t((nb + j - c2) % nb);
        inverseShift_[m + 2] = uint8_t((nb + j - c3) % nb);
    }

    uint32_t* w = encryptionKeys_.data();
    const int total = nb * (rounds_ + 1);
    for (int i = 0; i < nk; ++i) w[i] = PackWord(key.data() + 4 * i);
    for (int j = nk, k = 0; j < total; j += nk, ++k) {
        w[j] = w[j - nk] ^ SubWord(t, RotateLeft32(w[j - 1], 24)) ^ t.roundConstants[k];
        for (int i = 1; i < nk && i + j < total; ++i) {
            // The 256-bit key runs the word after the first half through the S-box as well.
            const uint32_t previous = nk > 6 && i == 4 ? SubWord(t, w[j + 3]) : w[i + j - 1];
            w[i + j] = w[i + j - nk] ^ previous;
        }
    }

    // Equivalent inverse cipher: round keys in reverse order, inner ones through InvMixColumns.
    uint32_t* d = decryptionKeys_.data();
    for (int r = 0; r <= rounds_; ++r) {
        const bool inner = r > 0 && r < rounds_;
        for (int j = 0; j < nb; ++j) {
            const uint32_t word = w[nb * (rounds_ - r) + j];
            d[nb * r + j] = inner ? InverseMixColumn(t, word) : word;
        }
    }

    path_ = nb == 8 && nk == 8 ? ActiveCipherPath() : CipherPath::kPortable;
    kernels_ = rijndael256::KernelsFor(path_);
}

const uint8_t* Rijndael256::EncryptionKeyBytes() const {
    return reinterpret_cast<const uint8_t*>(encryptionKeys_.data());
}
const uint8_t* Rijndael256::DecryptionKeyBytes() const {
    return reinterpret_cast<const uint8_t*>(decryptionKeys_.data());
}

void Rijndael256::PortableEncrypt(const uint8_t* in, uint8_t* out) const {
    const RijndaelTables& t = Tables();
    RunRounds(blockWords_, rounds_, encryptionKeys_.data(), forwardShift_.data(), t.forwardRound,
              t.sBox, in, out);
}

void Rijndael256::PortableDecrypt(const uint8_t* in, uint8_t* out) const {
    const RijndaelTables& t = Tables();
    RunRounds(blockWords_, rounds_, decryptionKeys_.data(), inverseShift_.data(), t.inverseRound,
              t.inverseSBox, in, out);
}

void Rijndael256::CheckBlock(std::span<uint8_t> block) const {
    if (blockWords_ == 0) throw std::out_of_range("Rijndael: no key set");
    if (block.size() < blockSize()) throw std::out_of_range("Rijndael: block too short");
}

void Rijndael256::EncryptBlock(std::span<uint8_t> block) const {
    CheckBlock(block);
    if (kernels_) {
        kernels_->encryptBlock(EncryptionKeyBytes(), block.data(), block.data());
    } else {
        PortableEncrypt(block.data(), block.data());
    }
}

void Rijndael256::DecryptBlock(std::span<uint8_t> block) const {
    CheckBlock(block);
    if (kernels_) {
        kernels_->decryptBlock(DecryptionKeyBytes(), block.data(), block.data());
    } else {
        PortableDecrypt(block.data(), block.data());
    }
}

void Rijndael256::EncryptCbc(uint8_t* chain, const uint8_t* in, uint8_t* out,
                             std::size_t blocks) const {
    if (blockWords_ != 8) throw std::out_of_range("Rijndael: CBC needs the 256-bit block");
    if (kernels_) {
        kernels_->encryptCbc(EncryptionKeyBytes(), chain, in, out, blocks);
        return;
    }
    for (std::size_t i = 0; i < blocks; ++i) {
        XorBlock(chain, in + kBlockSize * i);
        PortableEncrypt(chain, chain);
        std::memcpy(out + kBlockSize * i, chain, kBlockSize);
    }
}

void Rijndael256::DecryptCbc(uint8_t* chain, const uint8_t* in, uint8_t* out,
                             std::size_t blocks) const {
    if (blockWords_ != 8) throw std::out_of_range("Rijndael: CBC needs the 256-bit block");
    if (kernels_) {
        kernels_->decryptCbc(DecryptionKeyBytes(), chain, in, out, blocks);
        return;
    }
    uint8_t cipherBlock[kBlockSize];
    for (std::size_t i = 0; i < blocks; ++i) {
        std::memcpy(cipherBlock, in + kBlockSize * i, kBlockSize);  // kept: out may be in
        PortableDecrypt(cipherBlock, out + kBlockSize * i);
        XorBlock(out + kBlockSize * i, chain);
        std::memcpy(chain, cipherBlock, kBlockSize);
    }
}

}  // namespace sealwise
