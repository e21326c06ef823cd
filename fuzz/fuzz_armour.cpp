// Decrypting arbitrary armour with a fixed key: it yields a text or a clear SealError, never
// a crash. Well-formed armour of the fixed key decrypts back to what was encrypted.
#include <cstdlib>
#include <string_view>

#include "app/strings.h"
#include "text/text_crypt.h"
#include "util/errors.h"

using namespace sealwise;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view armour(reinterpret_cast<const char*>(data), size);
    const Bytes key(32, 0x42);
    try {
        TextCryptJob job;
        (void)job.Decrypt(armour, key);
    } catch (const SealError& error) {
        if (MessageText(error).empty()) std::abort();
    }
    // The same bytes as a text to encrypt: it must come back unchanged after the notice line.
    try {
        TextCryptJob encrypt, decrypt;
        const auto sealed = encrypt.Encrypt(armour, key, 0);
        const auto shown = sealed ? decrypt.Decrypt(*sealed, key) : std::nullopt;
        if (!shown) std::abort();
    } catch (const SealError&) {
        // Empty texts and texts with NUL are refused before encryption.
    }
    return 0;
}
