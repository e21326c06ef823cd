#pragma once
// The cipher envelope, the one ciphertext format of texts and container chunks: Rijndael with a
// 256-bit block and key, the last block filled up with zero bytes, CBC from an all-zero block,
// and nothing else (no header, length or check value). A stream may be enciphered piece by
// piece with the chain carried between the pieces; each piece is padded on its own.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "crypto/cipher_path.h"
#include "crypto/rijndael256.h"
#include "util/bytes.h"

namespace sealwise {

// Ciphertext that is empty or not whole blocks: no envelope of any message.
class EnvelopeLengthError : public std::length_error {
  public:
    using std::length_error::length_error;
};

// The key rule of the one-shot envelope: the first 32 bytes of key, filled up with zero bytes
// when it is shorter. Wiped when it goes.
class EnvelopeKey {
  public:
    explicit EnvelopeKey(std::span<const uint8_t> key);
    ~EnvelopeKey();
    EnvelopeKey(const EnvelopeKey&) = delete;
    EnvelopeKey& operator=(const EnvelopeKey&) = delete;
    std::span<const uint8_t> bytes() const noexcept { return bytes_; }

  private:
    std::array<uint8_t, Rijndael256::kKeySize> bytes_{};
};

class CbcEnvelope {
  public:
    static constexpr std::size_t kBlockSize = Rijndael256::kBlockSize;

    // Keyed with the first 32 bytes of key; std::out_of_range when it is shorter.
    explicit CbcEnvelope(std::span<const uint8_t> key);

    // Bytes of the envelope of a message of this length: whole blocks, no extra block when the
    // message fills its last one.
    static constexpr std::size_t PaddedLength(std::size_t length) {
        return (length + kBlockSize - 1) / kBlockSize * kBlockSize;
    }

    // Enciphers plain into out, which must be PaddedLength(plain.size()) bytes long
    // (std::length_error otherwise) and may be the same memory as plain. The first piece of a
    // stream (continueChain false) starts from the zero block, later ones from the last cipher
    // block of the piece before.
    void Encrypt(std::span<const uint8_t> plain, std::span<uint8_t> out, bool continueChain);

    // Deciphers cipher into out, of the same length and possibly the same memory; the padding
    // comes back as zero bytes. EnvelopeLengthError, with nothing changed, when cipher is empty
    // or not whole blocks; std::length_error when out differs in length.
    void Decrypt(std::span<const uint8_t> cipher, std::span<uint8_t> out, bool continueChain);

    // The last cipher block of the stream so far: where the next piece continues.
    const std::array<uint8_t, kBlockSize>& chain() const noexcept { return chain_; }
    CipherPath path() const noexcept { return cipher_.path(); }

  private:
    Rijndael256 cipher_;
    std::array<uint8_t, kBlockSize> chain_{};
};

// The envelope of message under EnvelopeKey(key).
Bytes SealEnvelope(std::span<const uint8_t> message, std::span<const uint8_t> key);
// The message of an envelope under EnvelopeKey(key), padding included; EnvelopeLengthError when the
// envelope is empty or not whole blocks.
Bytes OpenEnvelope(std::span<const uint8_t> envelope, std::span<const uint8_t> key);

}  // namespace sealwise
