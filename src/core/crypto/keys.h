#pragma once
// Key bytes for the cipher: from one passphrase, or combined from 2 to 10 shared keys.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "util/bytes.h"

namespace sealwise {

constexpr std::size_t kKeyLength = 32;
constexpr int kMaxSharedKeys = 10;

// Key bytes of a passphrase, from its first 32 characters. When they all fit Windows-1252: their
// Windows-1252 bytes filled up with "A" to 32. Otherwise: BLAKE2b-256 of their UTF-8 bytes, so
// that every one of them counts. Wipe the result after use.
Bytes MakeKeyString(std::string_view passphrase);

// The key other programs of the format make: the first 32 characters in Windows-1252 with "?"
// for those it lacks, filled up with "A". perUtf16Unit: a character beyond U+FFFF counts as
// the two characters of its UTF-16 surrogate pair, each a "?", as where strings are UTF-16.
Bytes MakeQuestionMarkKey(std::string_view passphrase, bool perUtf16Unit = false);

// Keys to try when decrypting, best first: MakeKeyString, then the question-mark keys that
// differ from it (a character outside Windows-1252 makes them differ). Wipe after use.
std::vector<Bytes> CandidateKeys(std::string_view passphrase);

// The shared-security key entry: ten slots (keys 1..10), the key count as typed, the key shown
// and the text of the passphrase box, which belongs to the key shown.
struct SharedKeyStore {
    std::array<std::string, kMaxSharedKeys> slots;
    std::string countText = "3";
    int keyShown = 1;
    std::string passphraseBox;

    void Clear();  // wipes and empties the slots and the passphrase box
};

// Takes the box into the slot shown, then hashes keys 1,3,5,... and keys 2,4,6,... (MD5 each)
// into 32 key bytes; each joined text is hashed as Windows-1252 when it fits, else as UTF-8.
// Throws SealError 386 naming the first empty key, or 385 when the count is not 2 to 10. The
// slots keep their contents; the caller empties them after use.
Bytes CombineSharedKeys(SharedKeyStore& store);

// The texts of the shared keys in key order, checked as CombineSharedKeys checks them (the
// modern format derives its key from them). The slots keep their contents.
std::vector<std::string> SharedKeyTexts(SharedKeyStore& store);

// As CombineSharedKeys, followed by the keys of other programs ("?" for each character, or
// each UTF-16 unit, outside Windows-1252) that differ from it.
std::vector<Bytes> CandidateSharedKeys(SharedKeyStore& store);

// The key count typed into the count box, rounded as the scroll bar does; nullopt when not
// a number.
std::optional<int> ParseKeyCount(std::string_view countText);

}  // namespace sealwise
