#pragma once
// Entry of the shared-security keys in the main window: the choice between one passphrase and
// shared security (`optMults`), the key count (`txtKeyNum`), the ten keys and the navigation
// between them (`KeyScroll`, `lblNextKey`, `lblKeyOf`). The passphrase box `TxtCode` always
// holds the text of the key shown.
//
// The window forwards its events to the handlers below and applies the returned update. Applying
// an update may raise the window's own change events again (setting `TxtCode`, `txtKeyNum` or
// `KeyScroll`); every handler is idempotent for the values it returned, so that is harmless.
#include <optional>
#include <string>
#include <string_view>

#include "app/msg.h"
#include "crypto/keys.h"
#include "util/bytes.h"

namespace sealwise {

enum class KeyEntryMode { kOnePassphrase, kSharedSecurity };  // `optMults(0)`, `optMults(1)`
enum class KeyEntryFocus { kPassphraseBox, kCountBox };       // `TxtCode`, `txtKeyNum`
enum class KeyArrow { kNext, kPrevious };  // `lblNextKey(0)` ">", `lblNextKey(1)` "<"
enum class FileTab { kEncrypt, kDecrypt };

// Base id of the message shown when leaving the count box with a count it refuses
// ("Please enter a number of keys from 2 to 10.").

// What a handler changed. The window applies every field that is set and leaves the rest.
struct KeyEntryUpdate {
    std::optional<std::string> passphraseBox;  // new text of `TxtCode` (which re-rates it)
    std::optional<std::string> countText;      // new text of `txtKeyNum`
    std::optional<std::string> keyOfLabel;     // `lblKeyOf`, e.g. "2/3"
    std::optional<int> scrollValue;            // `KeyScroll` value (its minimum is always 1)
    std::optional<int> scrollMaximum;          // `KeyScroll` maximum
    std::optional<KeyEntryMode> mode;          // the option of `optMults` to select
    std::optional<bool> countPanelVisible;     // `pctSharedSecurity`
    std::optional<bool> navigatorVisible;      // `KeyScroll`, both `lblNextKey`, `lblKeyOf`
    std::optional<bool> modeOptionsVisible;    // `optMults(0)` and `optMults(1)`
    std::optional<KeyEntryFocus> focus;        // where to move the focus
    bool keepFocus = false;        // leaving `txtKeyNum` refused: the focus stays in the box
    std::optional<Msg> messageId;  // a message to show

    // Fields set in later override this update's.
    void MergeFrom(const KeyEntryUpdate& later);
};

class SharedKeyEntry {
  public:
    // Start state: one passphrase, count "3", key 1 of 3 shown, all keys empty, the shared
    // controls and the mode options hidden (the window starts on the file-encryption tab).
    SharedKeyEntry() = default;

    // Every field set: the whole state, for the window to show it once at load.
    KeyEntryUpdate View() const;

    // Click on `optMults`. Choosing the mode already selected changes nothing.
    KeyEntryUpdate SelectMode(KeyEntryMode mode);
    // Every change of `TxtCode`, whoever made it.
    void OnPassphraseEdited(std::string_view text);
    // Every change of `txtKeyNum`: a text that is not a whole number becomes "2"; key 1 is shown.
    KeyEntryUpdate OnCountEdited(std::string_view text);
    // Leaving `txtKeyNum`: refuses counts that are not whole numbers from 1 to 10 (keepFocus and
    // a message); a count of 1 returns to one passphrase and sets the count to "2".
    KeyEntryUpdate OnCountLeaving();
    // Change of `KeyScroll`; values outside 1 to the scroll maximum are pulled inside.
    KeyEntryUpdate OnScrollChanged(int value);
    // Click on an arrow: the next or previous key, wrapping around at the ends.
    KeyEntryUpdate OnArrow(KeyArrow arrow);
    // Tab changes of the main window: the encryption tab always uses one passphrase; the mode
    // options are offered on the decryption tab only; the text tab hides the count panel but
    // keeps the mode and the keys.
    KeyEntryUpdate OnFileTabSelected(FileTab tab);
    KeyEntryUpdate OnTextTabSelected();

    // Shared-security key bytes: the box counts as the key shown. On success all ten keys and
    // the box are wiped (the caller empties `TxtCode`, as after every job). Throws SealError 386
    // naming the first empty key, or 385 for a count outside 2 to 10; then nothing is wiped.
    Bytes CombineKeys();
    // The keys to try when decrypting (CandidateSharedKeys), wiping as CombineKeys does.
    std::vector<Bytes> CombineKeyCandidates();
    // The texts of the shared keys (modern::SharedKeysForModern), wiping as CombineKeys does.
    std::vector<std::string> TakeSharedKeyTexts();

    KeyEntryMode mode() const { return mode_; }
    bool sharedSecurity() const { return mode_ == KeyEntryMode::kSharedSecurity; }
    const std::string& countText() const { return store_.countText; }
    int keyShown() const { return store_.keyShown; }
    int scrollMaximum() const { return NavigableCount(); }
    std::string keyOfLabel() const;
    const SharedKeyStore& store() const { return store_; }

  private:
    // Keys reachable by navigation: the count, kept within 1..10 while an unchecked count is
    // being typed, so no key outside the store can ever be shown.
    int NavigableCount() const;
    KeyEntryUpdate ShowKey(int key);
    void WipeKeys();

    KeyEntryMode mode_ = KeyEntryMode::kOnePassphrase;
    SharedKeyStore store_;
    bool countPanelVisible_ = false;
    bool navigatorVisible_ = false;
    bool modeOptionsVisible_ = false;
};

// The key count as typed: digits only, a whole number (large ones saturate above 10); nullopt
// for anything else, including an empty text, blanks, signs and decimals.
std::optional<int> ParseWholeKeyCount(std::string_view text);

}  // namespace sealwise
