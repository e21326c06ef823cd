#pragma once
// Rijndael block cipher, table-driven, with the block and key lengths this program uses: 256 bits
// each (14 rounds). The other published lengths (128, 192 bits) are kept for the known-answer
// tests. With a 256-bit block and key the rounds run on AES instructions when the CPU has them
// (crypto/cipher_path.h); the results are the same bytes either way.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/cipher_path.h"

namespace sealwise {

namespace rijndael256 {
struct Kernels;
}

class Rijndael256 {
  public:
    static constexpr std::size_t kBlockSize = 32;
    static constexpr std::size_t kKeySize = 32;

    Rijndael256() = default;
    // Keyed with the first 32 bytes of key (see SetKey).
    explicit Rijndael256(std::span<const uint8_t> key) { SetKey(key); }
    ~Rijndael256();  // wipes the key schedules
    Rijndael256(const Rijndael256&) = delete;
    Rijndael256& operator=(const Rijndael256&) = delete;

    // 256-bit block and key from the first 32 bytes of key; std::out_of_range when shorter.
    // Picks the cipher path ActiveCipherPath() names.
    void SetKey(std::span<const uint8_t> key) { SetKey(8, 8, key); }
    // Block and key length in 32-bit words, 4, 6 or 8 each; std::out_of_range for other
    // lengths or a key shorter than 4 * keyWords bytes. Lengths other than 8 and 8 always take
    // the portable path.
    void SetKey(int blockWords, int keyWords, std::span<const uint8_t> key);

    CipherPath path() const noexcept { return path_; }
    std::size_t blockSize() const noexcept { return 4 * static_cast<std::size_t>(blockWords_); }

    // One block in place; std::out_of_range when block is shorter than blockSize() or no key
    // is set.
    void EncryptBlock(std::span<uint8_t> block) const;
    void DecryptBlock(std::span<uint8_t> block) const;

    // CBC over whole 32-byte blocks with the 256-bit block: chain holds the previous cipher
    // block on entry and the last one on return. in and out may be the same buffer.
    void EncryptCbc(uint8_t* chain, const uint8_t* in, uint8_t* out, std::size_t blocks) const;
    void DecryptCbc(uint8_t* chain, const uint8_t* in, uint8_t* out, std::size_t blocks) const;

  private:
    void CheckBlock(std::span<uint8_t> block) const;
    void PortableEncrypt(const uint8_t* in, uint8_t* out) const;
    void PortableDecrypt(const uint8_t* in, uint8_t* out) const;
    // The hardware kernels read the schedules as bytes: the words' memory order is the
    // cipher's byte order on the little-endian machines that have them.
    const uint8_t* EncryptionKeyBytes() const;
    const uint8_t* DecryptionKeyBytes() const;

    int blockWords_ = 0, keyWords_ = 0, rounds_ = 0;
    // Source column of each row 1..3 for every column, for the forward and inverse row shift.
    std::array<uint8_t, 24> forwardShift_{}, inverseShift_{};
    // Round keys; the decryption ones for the equivalent inverse cipher.
    std::array<uint32_t, 120> encryptionKeys_{}, decryptionKeys_{};
    CipherPath path_ = CipherPath::kPortable;
    const rijndael256::Kernels* kernels_ = nullptr;  // set for the hardware paths only
};

}  // namespace sealwise
