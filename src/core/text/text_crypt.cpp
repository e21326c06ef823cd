#include "text/text_crypt.h"

#include <algorithm>

#include "app/string_table.h"
#include "text/base64.h"
#include "util/errors.h"
#include "util/secure_random.h"
#include "util/secure_wipe.h"
#include "util/text_codec.h"

namespace sealwise {
namespace {

constexpr std::size_t kRandomPrefixLength = 32;
constexpr int kMessageCheckInput = 114;
constexpr int kMessageTextHoldsNul = 414;
constexpr std::string_view kWebAddress = "https://sealwise.example/";

}  // namespace

std::string NoticeLine(int languageOffset) {
    std::string line;
    switch (languageOffset) {
        case kOffsetGerman:
            line = "Dieser Text wurde mit Sealwise (kostenlos) verschl\xC3\xBCsselt - ";
            break;
        case kOffsetSpanish:
            line = "Este texto ha sido encriptado con Sealwise (gratis) - ";
            break;
        case kOffsetFrench:
            line = "Ce texte a \xC3\xA9t\xC3\xA9 chiffr\xC3\xA9 avec Sealwise (gratuit) - ";
            break;
        default:
            line = "This text has been encrypted with Sealwise (free!) - ";
            break;
    }
    return line.append(kWebAddress);
}

std::string WithNoticeLine(std::string_view text, int languageOffset) {
    std::string out = NoticeLine(languageOffset);
    out += "\r\n";
    out += text;
    return out;
}

void CheckTextToEncrypt(std::string_view text) {
    if (text.empty()) throw SealError(kMessageCheckInput, {}, "empty text");
    if (text.find('\0') != std::string_view::npos) {
        throw SealError(kMessageTextHoldsNul, {}, "text holds a NUL character");
    }
}

Bytes TextKeyFromPassphrase(std::string_view passphrase) {
    if (passphrase.empty()) throw SealError(kMessageCheckInput, {}, "empty passphrase");
    return MakeKeyString(passphrase);
}

Bytes TextKeyFromSharedKeys(SharedKeyStore& store) {
    struct ClearOnExit {
        SharedKeyStore& store;
        ~ClearOnExit() { store.Clear(); }
    } clear{store};
    return CombineSharedKeys(store);
}

TextCryptJob::TextCryptJob(ProgressSink* progress, PumpHook* pump) {
    cipher_.setProgressSink(progress);
    cipher_.setPumpHook(pump);
}

std::optional<std::string> TextCryptJob::Encrypt(std::string_view text, Bytes key,
                                                 int languageOffset) {
    MaybeBytes keyBytes(std::move(key));
    WipeOnExit<Bytes> wipeKey(*keyBytes);
    CheckTextToEncrypt(text);

    // A character outside Windows-1252 anywhere keeps the whole plaintext as UTF-8.
    Bytes stored = TextToBytes(WithNoticeLine(text, languageOffset));
    WipeOnExit<Bytes> wipeStored(stored);
    MaybeBytes plaintext{Bytes(kRandomPrefixLength)};
    WipeOnExit<Bytes> wipePlaintext(*plaintext);
    plaintext->reserve(kRandomPrefixLength + stored.size());  // no unwiped copy on growth
    FillSecureRandom(plaintext->data(), kRandomPrefixLength);
    plaintext->insert(plaintext->end(), stored.begin(), stored.end());

    const MaybeBytes envelope = cipher_.EncryptData(plaintext, keyBytes, false);
    if (cipher_.doCancel()) return std::nullopt;
    if (!envelope) throw SealError(kMessageCheckInput, {}, "cipher returned no envelope");
    return EncodeBase64(*envelope);
}

std::optional<std::string> TextCryptJob::Decrypt(std::string_view armour, Bytes key) {
    MaybeBytes keyBytes(std::move(key));
    WipeOnExit<Bytes> wipeKey(*keyBytes);

    std::string compact(armour);
    std::erase(compact, ' ');
    const MaybeBytes envelope = DecodeBase64(compact);
    if (envelope->empty() || envelope->size() % CRijndael::kBlockSize != 0) {
        throw SealError(kMessageCheckInput, {}, "armour does not hold whole cipher blocks");
    }

    MaybeBytes plaintext = cipher_.DecryptData(envelope, keyBytes);
    if (cipher_.doCancel()) {
        if (plaintext) SecureWipe(*plaintext);
        return std::nullopt;
    }
    if (!plaintext) throw SealError(kMessageCheckInput, {}, "cipher returned no plaintext");
    WipeOnExit<Bytes> wipePlaintext(*plaintext);

    // Drop the random prefix; the zero padding of the last block ends the text.
    const uint8_t* begin = plaintext->data() + kRandomPrefixLength;
    const uint8_t* end =
        std::find(begin, begin + (plaintext->size() - kRandomPrefixLength), uint8_t{0});
    return BytesToText(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace sealwise
