#include "modern/modern_keys.h"

#include <sodium.h>

#include <cerrno>

#include "files/io/posix_io.h"
#include "modern/wire.h"
#include "util/secure_wipe.h"

namespace sealwise::modern {

DerivedKeys::~DerivedKeys() {
    SecureWipe(streamKey.data(), streamKey.size());
    SecureWipe(keyCheck.data(), keyCheck.size());
}

Bytes KdfInput(std::span<const std::string> keys) {
    Bytes input;
    for (const std::string& key : keys) {
        const std::size_t at = input.size();
        input.resize(at + 4 + key.size());
        StoreLe(input.data() + at, key.size(), 4);
        std::copy(key.begin(), key.end(), input.begin() + static_cast<std::ptrdiff_t>(at + 4));
    }
    return input;
}

void DeriveKeys(std::span<const std::string> keys, std::span<const uint8_t, kSaltSize> salt,
                const KdfCost& cost, DerivedKeys& out) {
    if (sodium_init() < 0) throw SystemError(ENOSYS, "sodium_init");
    Bytes input = KdfInput(keys);
    WipeOnExit<Bytes> wipeInput(input);
    std::array<uint8_t, crypto_kdf_KEYBYTES> master{};
    const int rc = crypto_pwhash(
        master.data(), master.size(), reinterpret_cast<const char*>(input.data()), input.size(),
        salt.data(), cost.ops, static_cast<std::size_t>(cost.memory), crypto_pwhash_ALG_ARGON2ID13);
    if (rc != 0) throw SystemError(ENOMEM, "crypto_pwhash");
    crypto_kdf_derive_from_key(out.streamKey.data(), out.streamKey.size(), 1, "SWstream",
                               master.data());
    crypto_kdf_derive_from_key(out.keyCheck.data(), out.keyCheck.size(), 2, "SWkeychk",
                               master.data());
    SecureWipe(master.data(), master.size());
}

bool KeyCheckMatches(const DerivedKeys& keys, std::span<const uint8_t, kKeyCheckSize> stored) {
    return sodium_memcmp(keys.keyCheck.data(), stored.data(), kKeyCheckSize) == 0;
}

}  // namespace sealwise::modern
