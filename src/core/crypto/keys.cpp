#include "crypto/keys.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "crypto/md5.h"
#include "util/errors.h"
#include "util/secure_wipe.h"
#include "util/text_codec.h"

namespace sealwise {

Bytes MakeKeyString(std::string_view passphrase) {
    Bytes key = TextToBytes(passphrase);
    if (key.size() > kKeyLength) {
        SecureWipe(key.data() + kKeyLength, key.size() - kKeyLength);
        key.resize(kKeyLength);
    }
    key.resize(kKeyLength, 'A');
    return key;
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

Bytes CombineSharedKeys(SharedKeyStore& store) {
    if (store.keyShown >= 1 && store.keyShown <= kMaxSharedKeys) {
        store.slots[store.keyShown - 1] = store.passphraseBox;
    }
    const std::optional<int> n = ParseKeyCount(store.countText);
    if (!n || *n < 2 || *n > kMaxSharedKeys) {
        throw SealError(385, store.countText, "shared key count outside 2..10");
    }
    std::string odd, even;
    WipeOnExit<std::string> wipeOdd(odd), wipeEven(even);
    for (int i = 1; i <= *n; ++i) {
        const std::string& slot = store.slots[i - 1];
        if (slot.empty()) throw SealError(386, std::to_string(i), "shared key missing");
        (i % 2 ? odd : even) += slot;
    }
    Bytes oddBytes = TextToBytes(odd), evenBytes = TextToBytes(even);
    const Md5Digest a = Md5(oddBytes), b = Md5(evenBytes);
    SecureWipe(oddBytes);
    SecureWipe(evenBytes);
    Bytes key(kKeyLength);
    std::copy(a.begin(), a.end(), key.begin());
    std::copy(b.begin(), b.end(), key.begin() + a.size());
    return key;
}

}  // namespace sealwise
