#pragma once
// Key bytes for the cipher: from one passphrase, or combined from 2 to 10 shared keys.
#include <array>
#include <string>
#include <string_view>

#include "util/bytes.h"

namespace sealwise {

constexpr std::size_t kKeyLength = 32;
constexpr int kMaxSharedKeys = 10;

// The passphrase's stored bytes, cut to 32 or filled up with "A" to 32. Wipe the result after use.
Bytes MakeKeyString(std::string_view passphrase);

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
// into 32 key bytes. Throws SealError 386 naming the first empty key, or 385 when the count is
// not 2 to 10. The slots keep their contents; the caller empties them after use.
Bytes CombineSharedKeys(SharedKeyStore& store);

// The key count typed into the count box, rounded as the scroll bar does; nullopt when not
// a number.
std::optional<int> ParseKeyCount(std::string_view countText);

}  // namespace sealwise
