#include "crypto/keys.h"

#include <sodium.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <string>

#include "crypto/md5.h"
#include "util/errors.h"
#include "util/secure_wipe.h"
#include "util/text_codec.h"

namespace sealwise {

namespace {

// The first 32 characters (code points) of a passphrase.
std::u32string FirstCharacters(std::string_view passphrase) {
    std::u32string chars = Utf8ToCodePoints(passphrase);
    if (chars.size() > kKeyLength) {
        SecureWipe(chars.data() + kKeyLength, (chars.size() - kKeyLength) * sizeof(char32_t));
        chars.resize(kKeyLength);
    }
    return chars;
}

Bytes Blake2b256(std::span<const uint8_t> data) {
    // Required before any libsodium call; cheap and thread-safe once it has run.
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialised");
    Bytes out(kKeyLength);
    crypto_generichash(out.data(), out.size(), data.data(), data.size(), nullptr, 0);
    return out;
}

void AppendUnique(std::vector<Bytes>& keys, Bytes key) {
    for (const Bytes& k : keys) {
        if (k == key) {
            SecureWipe(key);
            return;
        }
    }
    keys.push_back(std::move(key));
}

}  // namespace

Bytes MakeKeyString(std::string_view passphrase) {
    std::u32string chars = FirstCharacters(passphrase);
    std::string first = CodePointsToUtf8(chars);
    SecureWipe(chars.data(), chars.size() * sizeof(char32_t));
    WipeOnExit<std::string> wipeFirst(first);
    if (std::optional<Bytes> cp1252 = TextToCp1252(first)) {
        cp1252->resize(kKeyLength, 'A');
        return std::move(*cp1252);
    }
    return Blake2b256(std::span(reinterpret_cast<const uint8_t*>(first.data()), first.size()));
}

Bytes MakeQuestionMarkKey(std::string_view passphrase, bool perUtf16Unit) {
    std::u32string chars = FirstCharacters(passphrase);
    Bytes key;
    key.reserve(kKeyLength + 1);
    for (char32_t c : chars) {
        key.push_back(Cp1252CodeOrQuestion(c));
        if (perUtf16Unit && c > 0xFFFF) key.push_back('?');
    }
    SecureWipe(chars.data(), chars.size() * sizeof(char32_t));
    if (key.size() > kKeyLength) key.resize(kKeyLength);  // only a "?" can be cut off here
    key.resize(kKeyLength, 'A');
    return key;
}

std::vector<Bytes> CandidateKeys(std::string_view passphrase) {
    std::vector<Bytes> keys;
    keys.push_back(MakeKeyString(passphrase));
    AppendUnique(keys, MakeQuestionMarkKey(passphrase, false));
    AppendUnique(keys, MakeQuestionMarkKey(passphrase, true));
    return keys;
}

void SharedKeyStore::Clear() {
    for (auto& s : slots) SecureWipe(s);
    SecureWipe(passphraseBox);
}

std::optional<int> ParseKeyCount(std::string_view countText) {
    std::string s(countText);
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    s.erase(0, first);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || *end != '\0' || !std::isfinite(v)) return std::nullopt;
    if (v < -32768.0 || v > 32767.0) return std::nullopt;
    return static_cast<int>(std::nearbyint(v));  // halves to even, as the scroll bar rounds
}

namespace {

// MD5 of the odd-numbered keys joined, then MD5 of the even-numbered keys joined; toBytes turns
// each joined text into the bytes hashed.
// Takes the box into the slot shown and returns the key count, every key of it filled.
int CheckedKeyCount(SharedKeyStore& store) {
    if (store.keyShown >= 1 && store.keyShown <= kMaxSharedKeys) {
        store.slots[store.keyShown - 1] = store.passphraseBox;
    }
    const std::optional<int> n = ParseKeyCount(store.countText);
    if (!n || *n < 2 || *n > kMaxSharedKeys) {
        throw SealError(385, store.countText, "shared key count outside 2..10");
    }
    for (int i = 1; i <= *n; ++i) {
        if (store.slots[i - 1].empty()) {
            throw SealError(386, std::to_string(i), "shared key missing");
        }
    }
    return *n;
}

Bytes CombineWith(SharedKeyStore& store, Bytes (*toBytes)(std::string_view)) {
    const int n = CheckedKeyCount(store);
    std::string odd, even;
    WipeOnExit<std::string> wipeOdd(odd), wipeEven(even);
    for (int i = 1; i <= n; ++i) (i % 2 ? odd : even) += store.slots[i - 1];
    Bytes oddBytes = toBytes(odd), evenBytes = toBytes(even);
    const Md5Digest a = Md5(oddBytes), b = Md5(evenBytes);
    SecureWipe(oddBytes);
    SecureWipe(evenBytes);
    Bytes key(kKeyLength);
    std::copy(a.begin(), a.end(), key.begin());
    std::copy(b.begin(), b.end(), key.begin() + a.size());
    return key;
}

// "?" for each UTF-16 unit of a character Windows-1252 lacks.
Bytes LossyPerUtf16Unit(std::string_view utf8) {
    Bytes out;
    out.reserve(utf8.size());
    for (char32_t c : Utf8ToCodePoints(utf8)) {
        out.push_back(Cp1252CodeOrQuestion(c));
        if (c > 0xFFFF) out.push_back('?');
    }
    return out;
}

}  // namespace

Bytes CombineSharedKeys(SharedKeyStore& store) { return CombineWith(store, TextToCp1252OrUtf8); }

std::vector<std::string> SharedKeyTexts(SharedKeyStore& store) {
    const int n = CheckedKeyCount(store);
    return {store.slots.begin(), store.slots.begin() + n};
}

std::vector<Bytes> CandidateSharedKeys(SharedKeyStore& store) {
    std::vector<Bytes> keys;
    keys.push_back(CombineWith(store, TextToCp1252OrUtf8));
    AppendUnique(keys, CombineWith(store, TextToCp1252Lossy));
    AppendUnique(keys, CombineWith(store, LossyPerUtf16Unit));
    return keys;
}

}  // namespace sealwise
