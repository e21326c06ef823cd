#include "passphrase/shared_key_entry.h"

#include <gtest/gtest.h>

#include "crypto/md5.h"
#include "util/errors.h"

namespace sealwise {
namespace {

// A window stand-in: applies updates the way the main window does, including the echo of
// its own change events.
struct Window {
    SharedKeyEntry entry;
    std::string box, count = "3", label = "1/3";
    int scroll = 1, scrollMax = 3;
    bool panel = false, navigator = false;

    void Apply(const KeyEntryUpdate& u) {
        if (u.countText) count = *u.countText;
        if (u.keyOfLabel) label = *u.keyOfLabel;
        if (u.scrollValue) scroll = *u.scrollValue;
        if (u.scrollMaximum) scrollMax = *u.scrollMaximum;
        if (u.countPanelVisible) panel = *u.countPanelVisible;
        if (u.navigatorVisible) navigator = *u.navigatorVisible;
        if (u.passphraseBox) {
            box = *u.passphraseBox;
            entry.OnPassphraseEdited(box);
        }
    }
    void Type(const std::string& text) {
        box = text;
        entry.OnPassphraseEdited(text);
    }
    void SetCount(const std::string& text) {
        count = text;
        Apply(entry.OnCountEdited(text));
    }
    void Next() { Apply(entry.OnArrow(KeyArrow::kNext)); }
    void Previous() { Apply(entry.OnArrow(KeyArrow::kPrevious)); }
    void Shared() { Apply(entry.SelectMode(KeyEntryMode::kSharedSecurity)); }
    bool AllKeysEmpty() const {
        for (const auto& s : entry.store().slots) {
            if (!s.empty()) return false;
        }
        return true;
    }
};

TEST(SharedKeyEntry, StartState) {
    Window w;
    w.Apply(w.entry.View());
    EXPECT_EQ(w.entry.mode(), KeyEntryMode::kOnePassphrase);
    EXPECT_EQ(w.count, "3");
    EXPECT_EQ(w.label, "1/3");
    EXPECT_EQ(w.scroll, 1);
    EXPECT_EQ(w.scrollMax, 3);
    EXPECT_FALSE(w.panel);
    EXPECT_FALSE(w.navigator);
}

TEST(SharedKeyEntry, ModeSwitchShowsControlsAndKeepsTheBoxAsKeyShown) {
    Window w;
    w.Type("typed before");
    const KeyEntryUpdate u = w.entry.SelectMode(KeyEntryMode::kSharedSecurity);
    w.Apply(u);
    EXPECT_EQ(u.focus, KeyEntryFocus::kCountBox);
    EXPECT_FALSE(u.passphraseBox.has_value());
    EXPECT_TRUE(w.panel && w.navigator);
    w.Next();
    EXPECT_EQ(w.box, "");
    w.Previous();
    EXPECT_EQ(w.box, "typed before");
    // Choosing the selected mode again keeps the keys.
    EXPECT_FALSE(w.entry.SelectMode(KeyEntryMode::kSharedSecurity).mode.has_value());
    EXPECT_EQ(w.entry.store().slots[1], "");
    EXPECT_EQ(w.box, "typed before");
}

TEST(SharedKeyEntry, ArrowsWrapWithThreeKeys) {
    Window w;
    w.Shared();
    w.Type("one");
    w.Next();
    EXPECT_EQ(w.label, "2/3");
    w.Type("two");
    w.Next();
    EXPECT_EQ(w.label, "3/3");
    EXPECT_EQ(w.scroll, 3);
    w.Type("three");
    w.Next();
    EXPECT_EQ(w.label, "1/3");
    EXPECT_EQ(w.box, "one");
    w.Previous();
    EXPECT_EQ(w.label, "3/3");
    EXPECT_EQ(w.box, "three");
    w.Previous();
    EXPECT_EQ(w.box, "two");
}

TEST(SharedKeyEntry, ArrowsWrapWithTenKeys) {
    Window w;
    w.Shared();
    w.SetCount("10");
    EXPECT_EQ(w.label, "1/10");
    EXPECT_EQ(w.scrollMax, 10);
    for (int k = 2; k <= 10; ++k) {
        w.Next();
        EXPECT_EQ(w.label, std::to_string(k) + "/10");
        w.Type("key " + std::to_string(k));
    }
    w.Next();
    EXPECT_EQ(w.label, "1/10");
    w.Previous();
    EXPECT_EQ(w.label, "10/10");
    EXPECT_EQ(w.box, "key 10");
}

TEST(SharedKeyEntry, ScrollBarShowsItsKeyWithinTheCount) {
    Window w;
    w.Shared();
    w.Type("first");
    w.Apply(w.entry.OnScrollChanged(2));
    EXPECT_EQ(w.label, "2/3");
    EXPECT_EQ(w.box, "");
    w.Type("second");
    w.Apply(w.entry.OnScrollChanged(9));  // beyond the maximum: the last key
    EXPECT_EQ(w.label, "3/3");
    w.Apply(w.entry.OnScrollChanged(1));
    EXPECT_EQ(w.box, "first");
    // The echo of moving the scroll bar to the key already shown changes nothing.
    w.Apply(w.entry.OnScrollChanged(1));
    EXPECT_EQ(w.box, "first");
    EXPECT_EQ(w.entry.store().slots[1], "second");
}

TEST(SharedKeyEntry, CountEditStoresTheBoxAndShowsKeyOne) {
    Window w;
    w.Shared();
    w.Type("one");
    w.Next();
    w.Type("two");
    w.SetCount("4");
    EXPECT_EQ(w.label, "1/4");
    EXPECT_EQ(w.box, "one");
    EXPECT_EQ(w.scroll, 1);
    EXPECT_EQ(w.scrollMax, 4);
    w.Next();
    EXPECT_EQ(w.box, "two");
}

TEST(SharedKeyEntry, CountThatIsNotAWholeNumberBecomesTwo) {
    for (const char* typed : {"x", "", "2.5", " 3", "-1", "3a"}) {
        SCOPED_TRACE(typed);
        Window w;
        w.Shared();
        w.SetCount(typed);
        EXPECT_EQ(w.count, "2");
        EXPECT_EQ(w.label, "1/2");
        EXPECT_EQ(w.scrollMax, 2);
    }
}

TEST(SharedKeyEntry, UncheckedCountsNeverReachBeyondTheStore) {
    Window w;
    w.Shared();
    w.SetCount("99");  // still being typed; refused only when leaving the box
    EXPECT_EQ(w.label, "1/99");
    EXPECT_EQ(w.scrollMax, 10);
    w.Previous();
    EXPECT_EQ(w.label, "10/99");
    w.SetCount("0");
    EXPECT_EQ(w.scrollMax, 1);
    w.Next();
    EXPECT_EQ(w.label, "1/0");
}

TEST(SharedKeyEntry, LeavingTheCountBox) {
    Window w;
    w.Shared();
    for (const char* refused : {"11", "0", "00", "12345678901234567890"}) {
        SCOPED_TRACE(refused);
        w.SetCount(refused);
        const KeyEntryUpdate u = w.entry.OnCountLeaving();
        EXPECT_TRUE(u.keepFocus);
        EXPECT_EQ(u.messageId, kKeyCountRefusedId);
        EXPECT_TRUE(w.entry.sharedSecurity());
    }
    for (const char* accepted : {"2", "10"}) {
        w.SetCount(accepted);
        const KeyEntryUpdate u = w.entry.OnCountLeaving();
        EXPECT_FALSE(u.keepFocus);
        EXPECT_EQ(u.messageId, 0);
        EXPECT_FALSE(u.mode.has_value());
    }
}

TEST(SharedKeyEntry, CountOfOneSwitchesBackToOnePassphrase) {
    Window w;
    w.Shared();
    w.Type("one");
    w.Next();
    w.Type("two");
    w.SetCount("1");
    const KeyEntryUpdate u = w.entry.OnCountLeaving();
    w.Apply(u);
    EXPECT_FALSE(u.keepFocus);
    EXPECT_EQ(u.mode, KeyEntryMode::kOnePassphrase);
    EXPECT_EQ(u.focus, KeyEntryFocus::kPassphraseBox);
    EXPECT_EQ(w.count, "2");
    EXPECT_EQ(w.label, "1/2");
    EXPECT_EQ(w.box, "");
    EXPECT_FALSE(w.panel || w.navigator);
    EXPECT_TRUE(w.AllKeysEmpty());
}

TEST(SharedKeyEntry, SwitchingBackEmptiesTheBoxAndAllKeys) {
    Window w;
    w.Shared();
    w.Type("one");
    w.Next();
    w.Type("two");
    w.Apply(w.entry.SelectMode(KeyEntryMode::kOnePassphrase));
    EXPECT_EQ(w.box, "");
    EXPECT_TRUE(w.AllKeysEmpty());
    EXPECT_EQ(w.entry.store().passphraseBox, "");
    // The key shown and the count stay as they were.
    EXPECT_EQ(w.entry.keyOfLabel(), "2/3");
}

TEST(SharedKeyEntry, UnconfirmedEditCountsWhenCombining) {
    Window w;
    w.Shared();
    w.SetCount("2");
    w.Type("alpha");
    w.Next();
    w.Type("beta");  // never navigated away from
    const Bytes key = w.entry.CombineKeys();
    const Md5Digest a = Md5(Bytes{'a', 'l', 'p', 'h', 'a'}), b = Md5(Bytes{'b', 'e', 't', 'a'});
    Bytes expected(a.begin(), a.end());
    expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(key, expected);
    EXPECT_TRUE(w.AllKeysEmpty());
    EXPECT_EQ(w.entry.store().passphraseBox, "");
}

TEST(SharedKeyEntry, MissingKeyIsNamedAndKeysAreKept) {
    Window w;
    w.Shared();
    w.Type("one");
    w.Next();
    w.Next();
    w.Type("three");
    try {
        w.entry.CombineKeys();
        FAIL() << "an empty key 2 must be refused";
    } catch (const SealError& e) {
        EXPECT_EQ(e.stringId(), 386);
        EXPECT_EQ(e.argument(), "2");
    }
    EXPECT_EQ(w.entry.store().slots[0], "one");
    EXPECT_EQ(w.entry.store().slots[2], "three");
}

TEST(SharedKeyEntry, TabChanges) {
    Window w;
    KeyEntryUpdate u = w.entry.OnFileTabSelected(FileTab::kDecrypt);
    EXPECT_EQ(u.modeOptionsVisible, true);
    EXPECT_EQ(u.countPanelVisible, false);
    w.Shared();
    w.Type("kept");
    u = w.entry.OnTextTabSelected();
    EXPECT_EQ(u.modeOptionsVisible, false);
    EXPECT_EQ(u.countPanelVisible, false);
    EXPECT_FALSE(u.navigatorVisible.has_value());
    EXPECT_TRUE(w.entry.sharedSecurity());
    EXPECT_EQ(w.entry.store().passphraseBox, "kept");
    u = w.entry.OnFileTabSelected(FileTab::kDecrypt);
    EXPECT_EQ(u.countPanelVisible, true);
    // The encryption tab always uses one passphrase.
    u = w.entry.OnFileTabSelected(FileTab::kEncrypt);
    w.Apply(u);
    EXPECT_EQ(u.mode, KeyEntryMode::kOnePassphrase);
    EXPECT_EQ(u.modeOptionsVisible, false);
    EXPECT_EQ(w.box, "");
    EXPECT_FALSE(w.panel || w.navigator);
}

}  // namespace
}  // namespace sealwise
