#include "crypto/cbc_envelope.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "util/secure_wipe.h"

namespace sealwise {
namespace {

constexpr std::size_t B = CbcEnvelope::kBlockSize;

}  // namespace

EnvelopeKey::EnvelopeKey(std::span<const uint8_t> key) {
    std::copy_n(key.begin(), std::min(key.size(), bytes_.size()), bytes_.begin());
}

EnvelopeKey::~EnvelopeKey() { SecureWipe(bytes_.data(), bytes_.size()); }

CbcEnvelope::CbcEnvelope(std::span<const uint8_t> key) : cipher_(key) {}

void CbcEnvelope::Encrypt(std::span<const uint8_t> plain, std::span<uint8_t> out,
                          bool continueChain) {
    if (out.size() != PaddedLength(plain.size())) {
        throw std::length_error("envelope: output is not the padded length");
    }
    const std::size_t whole = plain.size() / B;  // blocks read straight from the input
    std::array<uint8_t, B> chain{};
    if (continueChain) chain = chain_;
    cipher_.EncryptCbc(chain.data(), plain.data(), out.data(), whole);
    if (const std::size_t rest = plain.size() - B * whole; rest > 0) {
        // The zero-padded last block is built in place and enciphered there.
        uint8_t* last = out.data() + B * whole;
        std::memmove(last, plain.data() + B * whole, rest);
        std::memset(last + rest, 0, B - rest);
        cipher_.EncryptCbc(chain.data(), last, last, 1);
    }
    if (!out.empty()) chain_ = chain;
}

void CbcEnvelope::Decrypt(std::span<const uint8_t> cipher, std::span<uint8_t> out,
                          bool continueChain) {
    if (cipher.empty() || cipher.size() % B != 0) {
        throw EnvelopeLengthError("envelope: " + std::to_string(cipher.size()) +
                                  " bytes are not whole cipher blocks");
    }
    if (out.size() != cipher.size()) throw std::length_error("envelope: output length differs");
    std::array<uint8_t, B> chain{};
    if (continueChain) chain = chain_;
    cipher_.DecryptCbc(chain.data(), cipher.data(), out.data(), cipher.size() / B);
    chain_ = chain;
}

Bytes SealEnvelope(std::span<const uint8_t> message, std::span<const uint8_t> key) {
    const EnvelopeKey keyBytes(key);
    CbcEnvelope envelope(keyBytes.bytes());
    Bytes out(CbcEnvelope::PaddedLength(message.size()));
    envelope.Encrypt(message, out, false);
    return out;
}

Bytes OpenEnvelope(std::span<const uint8_t> envelope, std::span<const uint8_t> key) {
    const EnvelopeKey keyBytes(key);
    CbcEnvelope cipher(keyBytes.bytes());
    Bytes out(envelope.size());
    cipher.Decrypt(envelope, out, false);
    return out;
}

}  // namespace sealwise
