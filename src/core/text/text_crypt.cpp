#include "text/text_crypt.h"

#include <algorithm>
#include <span>

#include "app/string_table.h"
#include "text/base64.h"
#include "util/errors.h"
#include "util/secure_random.h"
#include "util/secure_wipe.h"
#include "util/text_codec.h"

namespace sealwise {
namespace {

constexpr std::size_t kRandomPrefixLength = 32;

// The text shown for a decrypted plaintext whose notice line is lineLength bytes long: the
// line in Windows-1252, CR LF, and the stored text (marked UTF-8 or Windows-1252).
std::string ShownText(std::span<const uint8_t> shown, std::size_t lineLength) {
    std::string text = Cp1252ToText(shown.data(), lineLength);
    text += "\r\n";
    const std::span<const uint8_t> rest = shown.subspan(lineLength + 2);
    text += DecodeStoredText(rest.data(), rest.size());
    return text;
}

}  // namespace

void CheckTextToEncrypt(std::string_view text) {
    if (text.empty()) throw SealError(Msg::CheckNamesAndPassword, {}, "empty text");
    if (text.find('\0') != std::string_view::npos) {
        throw SealError(Msg::TextHoldsNul, {}, "text holds a NUL character");
    }
}

Bytes TextKeyFromPassphrase(std::string_view passphrase) {
    if (passphrase.empty()) throw SealError(Msg::CheckNamesAndPassword, {}, "empty passphrase");
    return MakeKeyString(passphrase);
}

std::vector<Bytes> TextKeysFromPassphrase(std::string_view passphrase) {
    if (passphrase.empty()) throw SealError(Msg::CheckNamesAndPassword, {}, "empty passphrase");
    return CandidateKeys(passphrase);
}

Bytes TextKeyFromSharedKeys(SharedKeyStore& store) {
    struct ClearOnExit {
        SharedKeyStore& store;
        ~ClearOnExit() { store.Clear(); }
    } clear{store};
    return CombineSharedKeys(store);
}

std::vector<Bytes> TextKeysFromSharedKeys(SharedKeyStore& store) {
    struct ClearOnExit {
        SharedKeyStore& store;
        ~ClearOnExit() { store.Clear(); }
    } clear{store};
    return CandidateSharedKeys(store);
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

    // The notice line stays Windows-1252 for every reader; only the text may need the marker.
    Bytes body = EncodeStoredText(text);
    WipeOnExit<Bytes> wipeBody(body);
    Bytes stored = TextToCp1252Lossy(NoticeLine(languageOffset) + "\r\n");
    WipeOnExit<Bytes> wipeStored(stored);
    stored.reserve(stored.size() + body.size());  // no unwiped copy on growth
    stored.insert(stored.end(), body.begin(), body.end());
    MaybeBytes plaintext{Bytes(kRandomPrefixLength)};
    WipeOnExit<Bytes> wipePlaintext(*plaintext);
    plaintext->reserve(kRandomPrefixLength + stored.size());  // no unwiped copy on growth
    FillSecureRandom(plaintext->data(), kRandomPrefixLength);
    plaintext->insert(plaintext->end(), stored.begin(), stored.end());

    const MaybeBytes envelope = cipher_.EncryptData(plaintext, keyBytes, false);
    if (cipher_.doCancel()) return std::nullopt;
    if (!envelope) throw SealError(Msg::CheckNamesAndPassword, {}, "cipher returned no envelope");
    return EncodeBase64(*envelope);
}

std::optional<std::string> TextCryptJob::Decrypt(std::string_view armour, Bytes key) {
    std::vector<Bytes> keys;
    keys.push_back(std::move(key));
    return Decrypt(armour, std::move(keys));
}

std::optional<std::string> TextCryptJob::Decrypt(std::string_view armour, std::vector<Bytes> keys) {
    WipeOnExit<std::vector<Bytes>> wipeKeys(keys);

    std::string compact(armour);
    std::erase(compact, ' ');
    const MaybeBytes envelope = DecodeBase64(compact);
    if (envelope->empty() || envelope->size() % CRijndael::kBlockSize != 0) {
        throw SealError(Msg::CheckNamesAndPassword, {}, "armour does not hold whole cipher blocks");
    }

    for (Bytes& key : keys) {
        MaybeBytes keyBytes(std::move(key));
        WipeOnExit<Bytes> wipeKey(*keyBytes);
        MaybeBytes plaintext = cipher_.DecryptData(envelope, keyBytes);
        if (cipher_.doCancel()) {
            if (plaintext) SecureWipe(*plaintext);
            return std::nullopt;
        }
        if (!plaintext) throw SealError(Msg::CheckNamesAndPassword, {}, "cipher returned no plaintext");
        WipeOnExit<Bytes> wipePlaintext(*plaintext);

        // Drop the random prefix; the zero padding of the last block ends the text.
        const uint8_t* begin = plaintext->data() + kRandomPrefixLength;
        const uint8_t* end =
            std::find(begin, begin + (plaintext->size() - kRandomPrefixLength), uint8_t{0});
        const std::span<const uint8_t> shown(begin, static_cast<std::size_t>(end - begin));
        if (const std::optional<std::size_t> line = NoticeLineLength(shown)) {
            return ShownText(shown, *line);
        }
    }
    throw SealError(Msg::WrongKeyOrDamage, {}, "no key yields a notice line");
}

}  // namespace sealwise
