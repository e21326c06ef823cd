#pragma once
// From passphrase or shared keys to the stream key and the key check of a container: Argon2id
// over the length-prefixed keys, then two subkeys of its output (docs/format-modern.md, 2).
#include <array>
#include <span>
#include <string>

#include "modern/modern_format.h"

namespace sealwise::modern {

struct DerivedKeys {
    std::array<uint8_t, 32> streamKey{};
    std::array<uint8_t, kKeyCheckSize> keyCheck{};
    ~DerivedKeys();
};

// The secret input of the key derivation: each key's UTF-8 bytes after their u32 length.
Bytes KdfInput(std::span<const std::string> keys);

// keys: one passphrase, or 2 to 10 shared keys in key order. Throws SealError 103 when the
// memory for the derivation cannot be had.
void DeriveKeys(std::span<const std::string> keys, std::span<const uint8_t, kSaltSize> salt,
                const KdfCost& cost, DerivedKeys& out);

// Whether a derived key check equals the stored one (constant time).
bool KeyCheckMatches(const DerivedKeys& keys, std::span<const uint8_t, kKeyCheckSize> stored);

}  // namespace sealwise::modern
