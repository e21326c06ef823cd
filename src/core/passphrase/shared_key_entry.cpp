#include "passphrase/shared_key_entry.h"

#include <algorithm>

#include "modern/modern_jobs.h"
#include "util/secure_wipe.h"

namespace sealwise {
namespace {

constexpr int kCountSaturation = 1000;  // any larger typed count is just "too many"
constexpr std::string_view kFallbackCount = "2";

// Replaces a secret without leaving the old text behind in freed memory.
void StoreSecret(std::string& target, std::string_view text) {
    SecureWipe(target);
    target.assign(text);
}

template <typename T>
void Take(std::optional<T>& field, const std::optional<T>& later) {
    if (later) field = later;
}

}  // namespace

std::optional<int> ParseWholeKeyCount(std::string_view text) {
    if (text.empty()) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = std::min(value * 10 + (c - '0'), kCountSaturation);
    }
    return value;
}

void KeyEntryUpdate::MergeFrom(const KeyEntryUpdate& later) {
    Take(passphraseBox, later.passphraseBox);
    Take(countText, later.countText);
    Take(keyOfLabel, later.keyOfLabel);
    Take(scrollValue, later.scrollValue);
    Take(scrollMaximum, later.scrollMaximum);
    Take(mode, later.mode);
    Take(countPanelVisible, later.countPanelVisible);
    Take(navigatorVisible, later.navigatorVisible);
    Take(modeOptionsVisible, later.modeOptionsVisible);
    Take(focus, later.focus);
    keepFocus = keepFocus || later.keepFocus;
    if (later.messageId) messageId = later.messageId;
}

std::string SharedKeyEntry::keyOfLabel() const {
    return std::to_string(store_.keyShown) + "/" + store_.countText;
}

int SharedKeyEntry::NavigableCount() const {
    const int count = ParseWholeKeyCount(store_.countText).value_or(2);
    return std::clamp(count, 1, kMaxSharedKeys);
}

void SharedKeyEntry::WipeKeys() {
    for (std::string& slot : store_.slots) SecureWipe(slot);
}

KeyEntryUpdate SharedKeyEntry::View() const {
    KeyEntryUpdate view;
    view.passphraseBox = store_.passphraseBox;
    view.countText = store_.countText;
    view.keyOfLabel = keyOfLabel();
    view.scrollValue = store_.keyShown;
    view.scrollMaximum = NavigableCount();
    view.mode = mode_;
    view.countPanelVisible = countPanelVisible_;
    view.navigatorVisible = navigatorVisible_;
    view.modeOptionsVisible = modeOptionsVisible_;
    return view;
}

KeyEntryUpdate SharedKeyEntry::SelectMode(KeyEntryMode mode) {
    if (mode == mode_) return {};
    mode_ = mode;
    const bool shared = sharedSecurity();
    countPanelVisible_ = navigatorVisible_ = shared;
    WipeKeys();

    KeyEntryUpdate update;
    update.mode = mode;
    update.countPanelVisible = shared;
    update.navigatorVisible = shared;
    // Entering shared security keeps the box: it becomes the text of the key shown.
    if (!shared) {
        SecureWipe(store_.passphraseBox);
        update.passphraseBox = "";
    }
    update.focus = shared ? KeyEntryFocus::kCountBox : KeyEntryFocus::kPassphraseBox;
    return update;
}

void SharedKeyEntry::OnPassphraseEdited(std::string_view text) {
    StoreSecret(store_.passphraseBox, text);
}

KeyEntryUpdate SharedKeyEntry::OnCountEdited(std::string_view text) {
    KeyEntryUpdate update;
    if (ParseWholeKeyCount(text)) {
        store_.countText.assign(text);
    } else {
        // Moved in: GCC 12 takes assign() here for an overlapping copy (-Wrestrict, -O3).
        store_.countText = std::string(kFallbackCount);
        update.countText = store_.countText;
    }
    if (sharedSecurity()) {
        StoreSecret(store_.slots[store_.keyShown - 1], store_.passphraseBox);
        update.MergeFrom(ShowKey(1));
    } else {
        // No keys are in use: leave the passphrase alone and keep no copy of it in a slot.
        store_.keyShown = 1;
        update.keyOfLabel = keyOfLabel();
        update.scrollValue = 1;
    }
    update.scrollMaximum = NavigableCount();
    return update;
}

KeyEntryUpdate SharedKeyEntry::OnCountLeaving() {
    const std::optional<int> count = ParseWholeKeyCount(store_.countText);
    if (!count || *count < 1 || *count > kMaxSharedKeys) {
        KeyEntryUpdate refused;
        refused.keepFocus = true;
        refused.focus = KeyEntryFocus::kCountBox;
        refused.messageId = Msg::KeyCountRefused;
        return refused;
    }
    if (*count != 1) return {};
    // One key is no shared security: back to one passphrase, with a fresh count of 2.
    KeyEntryUpdate update = SelectMode(KeyEntryMode::kOnePassphrase);
    update.MergeFrom(OnCountEdited(kFallbackCount));
    update.countText = store_.countText;
    return update;
}

KeyEntryUpdate SharedKeyEntry::ShowKey(int key) {
    store_.keyShown = key;
    KeyEntryUpdate update;
    update.keyOfLabel = keyOfLabel();
    update.passphraseBox = store_.slots[key - 1];
    StoreSecret(store_.passphraseBox, store_.slots[key - 1]);
    update.scrollValue = key;
    return update;
}

KeyEntryUpdate SharedKeyEntry::OnScrollChanged(int value) {
    StoreSecret(store_.slots[store_.keyShown - 1], store_.passphraseBox);
    return ShowKey(std::clamp(value, 1, NavigableCount()));
}

KeyEntryUpdate SharedKeyEntry::OnArrow(KeyArrow arrow) {
    StoreSecret(store_.slots[store_.keyShown - 1], store_.passphraseBox);
    const int count = NavigableCount();
    int key = store_.keyShown + (arrow == KeyArrow::kNext ? 1 : -1);
    if (key > count) key = 1;
    if (key < 1) key = count;
    return ShowKey(key);
}

KeyEntryUpdate SharedKeyEntry::OnFileTabSelected(FileTab tab) {
    KeyEntryUpdate update;
    if (tab == FileTab::kEncrypt) update = SelectMode(KeyEntryMode::kOnePassphrase);
    modeOptionsVisible_ = tab == FileTab::kDecrypt;
    countPanelVisible_ = tab == FileTab::kDecrypt && sharedSecurity();
    update.modeOptionsVisible = modeOptionsVisible_;
    update.countPanelVisible = countPanelVisible_;
    return update;
}

KeyEntryUpdate SharedKeyEntry::OnTextTabSelected() {
    modeOptionsVisible_ = false;
    countPanelVisible_ = false;
    KeyEntryUpdate update;
    update.modeOptionsVisible = false;
    update.countPanelVisible = false;
    return update;
}

Bytes SharedKeyEntry::CombineKeys() {
    Bytes key = CombineSharedKeys(store_);
    WipeKeys();
    SecureWipe(store_.passphraseBox);
    return key;
}

std::vector<Bytes> SharedKeyEntry::CombineKeyCandidates() {
    std::vector<Bytes> keys = CandidateSharedKeys(store_);
    WipeKeys();
    SecureWipe(store_.passphraseBox);
    return keys;
}

std::vector<std::string> SharedKeyEntry::TakeSharedKeyTexts() {
    std::vector<std::string> keys = modern::SharedKeysForModern(store_);
    WipeKeys();
    SecureWipe(store_.passphraseBox);
    return keys;
}

}  // namespace sealwise
