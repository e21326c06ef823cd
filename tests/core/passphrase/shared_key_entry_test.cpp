#include "passphrase/shared_key_entry.h"

#include <gtest/gtest.h>

#include "crypto/md5.h"
#include "util/errors.h"

namespace sealwise {
namespace {

// A window stand-in: applies updates as the main window does, echoing box changes back.
struct Window {
    SharedKeyEntry entry;
    std::string box, count = "3", label = "1/3";
    int scrollMax = 3;
    bool panel = false, navigator = false;

    void Apply(const KeyEntryUpdate& u) {
        if (u.countText) count = *u.countText;
        if (u.keyOfLabel) label = *u.keyOfLabel;
        if (u.scrollMaximum) scrollMax = *u.scrollMaximum;
        if (u.countPanelVisible) panel = *u.countPanelVisible;
        if (u.navigatorVisible) navigator = *u.navigatorVisible;
        if (u.passphraseBox) Type(*u.passphraseBox);
    }
    void Type(const std::string& text) {
        box = text;
        entry.OnPassphraseEdited(text);
    }
    void SetCount(const std::string& text) { Apply(entry.OnCountEdited(text)); }
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

TEST(SharedKeyEntry, StartStateAndSwitchToSharedSecurity) {
    Window w;
    w.Apply(w.entry.View());
    EXPECT_EQ(w.entry.mode(), KeyEntryMode::kOnePassphrase);
    EXPECT_EQ(w.count, "3");
    EXPECT_EQ(w.label, "1/3");
    EXPECT_FALSE(w.panel || w.navigator);

    w.Type("typed before");
    const KeyEntryUpdate u = w.entry.SelectMode(KeyEntryMode::kSharedSecurity);
    w.Apply(u);
    EXPECT_EQ(u.focus, KeyEntryFocus::kCountBox);
    EXPECT_TRUE(w.panel && w.navigator);
    w.Next();
    w.Previous();
    EXPECT_EQ(w.box, "typed before");  // the box became key 1
}

TEST(SharedKeyEntry, ArrowsWrapAndKeysKeepTheirTexts) {
    Window w;
    w.Shared();
    for (const char* key : {"one", "two", "three"}) {
        w.Type(key);
        w.Next();
    }
    EXPECT_EQ(w.label, "1/3");  // ">" on key 3 wraps to key 1
    EXPECT_EQ(w.box, "one");
    w.Previous();
    EXPECT_EQ(w.label, "3/3");
    EXPECT_EQ(w.box, "three");

    w.SetCount("10");
    EXPECT_EQ(w.scrollMax, 10);
    for (int k = 2; k <= 10; ++k) {
        w.Next();
        EXPECT_EQ(w.label, std::to_string(k) + "/10");
        w.Type("key " + std::to_string(k));
    }
    w.Next();
    EXPECT_EQ(w.label, "1/10");
    w.Previous();
    EXPECT_EQ(w.box, "key 10");
}

TEST(SharedKeyEntry, ScrollBarAndCountEditStoreTheBoxFirst) {
    Window w;
    w.Shared();
    w.Type("first");
    w.Apply(w.entry.OnScrollChanged(2));
    EXPECT_EQ(w.label, "2/3");
    w.Type("second");
    w.Apply(w.entry.OnScrollChanged(9));  // beyond the maximum: the last key
    EXPECT_EQ(w.label, "3/3");
    w.Apply(w.entry.OnScrollChanged(2));
    EXPECT_EQ(w.box, "second");
    w.Apply(w.entry.OnScrollChanged(2));  // the echo of the window's own move changes nothing
    EXPECT_EQ(w.box, "second");
    w.Type("second, edited");
    w.SetCount("4");
    EXPECT_EQ(w.label, "1/4");
    EXPECT_EQ(w.box, "first");
    w.Next();
    EXPECT_EQ(w.box, "second, edited");
}

TEST(SharedKeyEntry, CountWhileTyping) {
    for (const char* typed : {"x", "", "2.5", " 3", "-1"}) {
        Window w;
        w.Shared();
        w.SetCount(typed);
        EXPECT_EQ(w.count, "2") << typed;
        EXPECT_EQ(w.label, "1/2") << typed;
    }
    // Counts not yet checked never lead to a key outside the ten.
    Window w;
    w.Shared();
    w.SetCount("99");
    EXPECT_EQ(w.scrollMax, 10);
    w.Previous();
    EXPECT_EQ(w.label, "10/99");
}

TEST(SharedKeyEntry, LeavingTheCountBox) {
    Window w;
    w.Shared();
    for (const char* refused : {"11", "0", "12345678901234567890"}) {
        w.SetCount(refused);
        const KeyEntryUpdate u = w.entry.OnCountLeaving();
        EXPECT_TRUE(u.keepFocus) << refused;
        EXPECT_EQ(u.messageId, Msg::KeyCountRefused);
    }
    w.SetCount("10");
    EXPECT_FALSE(w.entry.OnCountLeaving().keepFocus);

    w.Type("one");
    w.Next();
    w.Type("two");
    w.SetCount("1");
    const KeyEntryUpdate u = w.entry.OnCountLeaving();
    w.Apply(u);
    EXPECT_EQ(u.mode, KeyEntryMode::kOnePassphrase);
    EXPECT_EQ(u.focus, KeyEntryFocus::kPassphraseBox);
    EXPECT_EQ(w.count, "2");
    EXPECT_EQ(w.label, "1/2");
    EXPECT_EQ(w.box, "");
    EXPECT_FALSE(w.panel || w.navigator);
    EXPECT_TRUE(w.AllKeysEmpty());
}

TEST(SharedKeyEntry, SwitchingBackOrToTheEncryptTabEmptiesEverything) {
    for (bool byTab : {false, true}) {
        Window w;
        w.Shared();
        w.Type("one");
        w.Next();
        w.Type("two");
        w.Apply(byTab ? w.entry.OnFileTabSelected(FileTab::kEncrypt)
                      : w.entry.SelectMode(KeyEntryMode::kOnePassphrase));
        EXPECT_EQ(w.entry.mode(), KeyEntryMode::kOnePassphrase);
        EXPECT_EQ(w.box, "");
        EXPECT_TRUE(w.AllKeysEmpty());
        EXPECT_EQ(w.entry.store().passphraseBox, "");
    }
}

TEST(SharedKeyEntry, TextTabHidesTheCountPanelButKeepsTheKeys) {
    Window w;
    w.Shared();
    w.Type("kept");
    KeyEntryUpdate u = w.entry.OnTextTabSelected();
    EXPECT_EQ(u.modeOptionsVisible, false);
    EXPECT_EQ(u.countPanelVisible, false);
    EXPECT_FALSE(u.navigatorVisible.has_value());
    EXPECT_TRUE(w.entry.sharedSecurity());
    u = w.entry.OnFileTabSelected(FileTab::kDecrypt);
    EXPECT_EQ(u.modeOptionsVisible, true);
    EXPECT_EQ(u.countPanelVisible, true);
    EXPECT_EQ(w.entry.store().passphraseBox, "kept");
}

TEST(SharedKeyEntry, CombiningTakesTheUnconfirmedEditAndWipes) {
    Window w;
    w.Shared();
    w.SetCount("2");
    w.Type("alpha");
    w.Next();
    w.Type("beta");  // never navigated away from
    const Md5Digest a = Md5(Bytes{'a', 'l', 'p', 'h', 'a'}), b = Md5(Bytes{'b', 'e', 't', 'a'});
    Bytes expected(a.begin(), a.end());
    expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(w.entry.CombineKeys(), expected);
    EXPECT_TRUE(w.AllKeysEmpty());
    EXPECT_EQ(w.entry.store().passphraseBox, "");

    // A missing key is named and the keys entered stay.
    w.Type("only key 2");
    EXPECT_THROW(w.entry.CombineKeys(), SealError);
    EXPECT_EQ(w.entry.store().slots[1], "only key 2");
}

}  // namespace
}  // namespace sealwise
