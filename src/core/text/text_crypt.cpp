#include "text/text_crypt.h"

#include <algorithm>
#include <span>

#include "app/string_table.h"
#include "crypto/cbc_envelope.h"
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
constexpr int kMessageWrongKeyOrDamage = 570;
// Blocks enciphered between two looks at the stop request: about 64 KiB.
constexpr std::size_t kSliceBlocks = 2048;

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
    if (text.empty()) throw SealError(kMessageCheckInput, {}, "empty text");
    if (text.find('\0') != std::string_view::npos) {
        throw SealError(kMessageTextHoldsNul, {}, "text holds a NUL character");
    }
}

Bytes TextKeyFromPassphrase(std::string_view passphrase) {
    if (passphrase.empty()) throw SealError(kMessageCheckInput, {}, "empty passphrase");
    return MakeKeyString(passphrase);
}

std::vector<Bytes> TextKeysFromPassphrase(std::string_view passphrase) {
    if (passphrase.empty()) throw SealError(kMessageCheckInput, {}, "empty passphrase");
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

bool TextCryptJob::Envelope(std::span<const uint8_t> key, std::span<const uint8_t> in,
                            std::span<uint8_t> out, bool encrypt) {
    const EnvelopeKey envelopeKey(key);
    CbcEnvelope envelope(envelopeKey.bytes());
    const std::size_t blocks = out.size() / CbcEnvelope::kBlockSize;
    if (progress_) {
        progress_->SetMax(static_cast<int32_t>(blocks + 1));
        progress_->SetMin(0);
        progress_->SetPosition(0);
    }
    const std::size_t slice = kSliceBlocks * CbcEnvelope::kBlockSize;
    for (std::size_t done = 0; done < in.size(); done += slice) {
        if (stop_.stop_requested()) return false;
        const std::span<const uint8_t> piece = in.subspan(done, std::min(slice, in.size() - done));
        const std::span<uint8_t> target = out.subspan(done, std::min(slice, out.size() - done));
        if (encrypt) {
            envelope.Encrypt(piece, target, done > 0);
        } else {
            envelope.Decrypt(piece, target, done > 0);
        }
        if (progress_) {
            const std::size_t blocksDone = (done + target.size()) / CbcEnvelope::kBlockSize;
            progress_->SetPosition(static_cast<int32_t>(blocksDone));
        }
    }
    if (stop_.stop_requested()) return false;
    if (progress_) progress_->SetPosition(static_cast<int32_t>(blocks + 1));
    return true;
}

std::optional<std::string> TextCryptJob::Encrypt(std::string_view text, Bytes key,
                                                 int languageOffset) {
    WipeOnExit<Bytes> wipeKey(key);
    CheckTextToEncrypt(text);

    // The notice line stays Windows-1252 for every reader; only the text may need the marker.
    Bytes body = EncodeStoredText(text);
    WipeOnExit<Bytes> wipeBody(body);
    Bytes stored = TextToCp1252Lossy(NoticeLine(languageOffset) + "\r\n");
    WipeOnExit<Bytes> wipeStored(stored);
    stored.reserve(stored.size() + body.size());  // no unwiped copy on growth
    stored.insert(stored.end(), body.begin(), body.end());
    Bytes plaintext(kRandomPrefixLength);
    WipeOnExit<Bytes> wipePlaintext(plaintext);
    plaintext.reserve(kRandomPrefixLength + stored.size());  // no unwiped copy on growth
    FillSecureRandom(plaintext.data(), kRandomPrefixLength);
    plaintext.insert(plaintext.end(), stored.begin(), stored.end());

    Bytes envelope(CbcEnvelope::PaddedLength(plaintext.size()));
    if (!Envelope(key, plaintext, envelope, true)) return std::nullopt;
    return EncodeBase64(envelope);
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
    const Bytes envelope = DecodeBase64(compact);
    if (envelope.empty() || envelope.size() % CbcEnvelope::kBlockSize != 0) {
        throw SealError(kMessageCheckInput, {}, "armour does not hold whole cipher blocks");
    }

    Bytes plaintext(envelope.size());
    WipeOnExit<Bytes> wipePlaintext(plaintext);
    for (const Bytes& key : keys) {
        if (!Envelope(key, envelope, plaintext, false)) return std::nullopt;

        // Drop the random prefix; the zero padding of the last block ends the text.
        const uint8_t* begin = plaintext.data() + kRandomPrefixLength;
        const uint8_t* end =
            std::find(begin, begin + (plaintext.size() - kRandomPrefixLength), uint8_t{0});
        const std::span<const uint8_t> shown(begin, static_cast<std::size_t>(end - begin));
        if (const std::optional<std::size_t> line = NoticeLineLength(shown)) {
            return ShownText(shown, *line);
        }
    }
    throw SealError(kMessageWrongKeyOrDamage, {}, "no key yields a notice line");
}

}  // namespace sealwise
