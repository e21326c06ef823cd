#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "crypto/keys.h"
#include "crypto/md5.h"
#include "util/errors.h"

namespace sealwise {
namespace {

TEST(Md5, Rfc1321SuiteAndBlockBoundaries) {
    EXPECT_EQ(DigestText(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(DigestText("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(DigestText("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(DigestText("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(DigestText("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(DigestText("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(DigestText("1234567890123456789012345678901234567890123456789012345678901234567890"
                         "1234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
    // Lengths around the padding boundary, digests of "a" repeated, from Python hashlib.
    const std::pair<int, const char*> cases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"}, {56, "3b0c8ac703f828b04c6c197006d17218"},
        {57, "652b906d60af96844ebd21b674f35e93"}, {63, "b06521f39153d618550606be297466d5"},
        {64, "014842d480b571495a4a0363793f7367"}, {120, "5f61c0ccad4cac44c75ff505e1f1e537"}};
    for (auto [n, hex] : cases) EXPECT_EQ(DigestText(std::string(n, 'a')), hex) << n;
}

TEST(Md5, NonAsciiHashesAsOneWindows1252Byte) {
    const uint8_t e4 = 0xE4;
    EXPECT_EQ(DigestText("\xC3\xA4"), ToLowerHex(Md5(std::span(&e4, 1))));  // "ä"
    EXPECT_NE(DigestText("\xC3\xA4"), DigestText("a"));
}

TEST(Keys, MakeKeyStringPadsWithAAndCutsAt32) {
    auto str = [](const Bytes& b) { return std::string(b.begin(), b.end()); };
    EXPECT_EQ(str(MakeKeyString("secret")), "secret" + std::string(26, 'A'));
    EXPECT_EQ(str(MakeKeyString("A")), std::string(32, 'A'));
    EXPECT_EQ(MakeKeyString("AAAAAAA"), MakeKeyString("A"));
    const std::string long40 = "0123456789abcdefghijklmnopqrstuvwxyz!?#+";
    EXPECT_EQ(str(MakeKeyString(long40)), long40.substr(0, 32));
    EXPECT_EQ(MakeKeyString(long40), MakeKeyString(long40.substr(0, 32) + "different tail"));
    const Bytes umlaut = MakeKeyString("\xC3\xA4");  // one Windows-1252 byte
    EXPECT_EQ(umlaut[0], 0xE4);
    EXPECT_EQ(umlaut[1], 'A');
}

Bytes FromHex(std::string_view hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return out;
}

std::string Repeat(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Passphrases with characters Windows-1252 lacks: BLAKE2b-256 of the UTF-8 bytes of the first
// 32 characters (digests from Python's hashlib.blake2b(digest_size=32)).
TEST(Keys, CharactersOutsideWindows1252HashTheFirst32Characters) {
    EXPECT_EQ(MakeKeyString("\xE6\x97\xA5\xE6\x9C\xAC pass"),  // "日本 pass"
              FromHex("a362dfbc3824ec33d525f44d3fd39d66ae869b59a1ae86ce9851ceac5ba2e74d"));
    const std::string cyrillic = Repeat("\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C-", 6);
    EXPECT_EQ(MakeKeyString(cyrillic),  // 42 characters: the first 32 count
              FromHex("770b9388cb0f7c4f1f75669a10c9cc3d258dde3871518dab6f1e83dd9ed2f7d1"));
}

// Which characters make the key: the first 32, every one of them, and nothing after them.
TEST(Keys, EveryOneOfTheFirst32CharactersCountsAndNothingAfter) {
    const std::string cjk = Repeat("\xE6\x97\xA5", 31);  // 31 x "日", 93 bytes of UTF-8
    const std::string ascii31(31, 'p');
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {cjk + "x", cjk + "y", false},                           // character 32 differs
        {cjk + "x" + "\xCE\xB1", cjk + "x" + "\xCE\xB2", true},  // character 33 differs
        {ascii31 + "x" + "\xCE\xB1", ascii31 + "x", true},       // alpha after 32: plain rule
        {"\xCE\xB1", "\xCE\xB2", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeKeyString(c.a) == MakeKeyString(c.b), c.same) << c.a << " / " << c.b;
    }
    const std::string first32 = ascii31 + "x";
    EXPECT_EQ(MakeKeyString(first32 + "\xCE\xB1"), Bytes(first32.begin(), first32.end()));
}

TEST(Keys, CandidatesAddTheQuestionMarkKeyOnlyWhenItDiffers) {
    const std::string nihon = "\xE6\x97\xA5\xE6\x9C\xAC pass";
    const struct {
        std::string passphrase;
        std::vector<Bytes> keys;
    } cases[] = {
        {"secret", {MakeKeyString("secret")}},
        {"Schl\xC3\xBCssel", {MakeKeyString("Schl\xC3\xBCssel")}},
        {nihon, {MakeKeyString(nihon), MakeKeyString("?? pass")}},
        {std::string(32, 'q') + "\xCE\xB1", {Bytes(32, 'q')}},  // outside 1252 after 32
        // Beyond U+FFFF: one "?", or two where strings count UTF-16 units.
        {"\xF0\x9F\x98\x80 x",
         {MakeKeyString("\xF0\x9F\x98\x80 x"), MakeKeyString("? x"), MakeKeyString("?? x")}},
        {std::string(31, 'q') + "\xF0\x9F\x98\x80",
         {MakeKeyString(std::string(31, 'q') + "\xF0\x9F\x98\x80"),
          MakeKeyString(std::string(31, 'q') + "?")}},
    };
    for (const auto& c : cases) EXPECT_EQ(CandidateKeys(c.passphrase), c.keys) << c.passphrase;
    EXPECT_EQ(MakeQuestionMarkKey(nihon), MakeKeyString("?? pass"));
}

SharedKeyStore Store(std::initializer_list<std::string> keys) {
    SharedKeyStore s;
    int i = 0;
    for (const auto& k : keys) s.slots[i++] = k;
    s.countText = std::to_string(keys.size());
    s.keyShown = 1;
    s.passphraseBox = s.slots[0];
    return s;
}

Bytes Md5Of(const std::string& s) {
    const Md5Digest d = Md5(std::span(reinterpret_cast<const uint8_t*>(s.data()), s.size()));
    return Bytes(d.begin(), d.end());
}

TEST(Keys, CombineSharedKeysOddThenEven) {
    auto three = Store({"alpha", "beta", "gamma"});
    const Bytes key = CombineSharedKeys(three);
    Bytes expected = Md5Of("alphagamma");
    const Bytes even = Md5Of("beta");
    expected.insert(expected.end(), even.begin(), even.end());
    EXPECT_EQ(key, expected);

    auto two = Store({"one", "two"}), swapped = Store({"two", "one"});
    EXPECT_NE(CombineSharedKeys(two), CombineSharedKeys(swapped));
    auto fourA = Store({"a", "b", "c", "d"}), fourB = Store({"c", "b", "a", "d"});
    EXPECT_NE(CombineSharedKeys(fourA), CombineSharedKeys(fourB));
}

TEST(Keys, SharedKeysOutsideWindows1252HashUtf8AndOfferTheQuestionMarkKey) {
    auto utf8 = Store({"\xE6\x97\xA5 key", "b\xE2\x82\xAC", "x"});
    Bytes expected = Md5Of("\xE6\x97\xA5 keyx");  // odd keys: UTF-8, they do not fit
    const Bytes even = Md5Of("b\x80");            // even keys: "b€" fits Windows-1252
    expected.insert(expected.end(), even.begin(), even.end());
    auto question = Store({"? key", "b\xE2\x82\xAC", "x"});
    const std::vector<Bytes> keys = CandidateSharedKeys(utf8);
    EXPECT_EQ(keys, (std::vector<Bytes>{expected, CombineSharedKeys(question)}));

    auto plain = Store({"one", "zw\xC3\xB6lf"});
    EXPECT_EQ(CandidateSharedKeys(plain), std::vector<Bytes>{CombineSharedKeys(plain)});
}

TEST(Keys, CombineTakesTheUnconfirmedBoxIntoTheKeyShown) {
    auto s = Store({"k1", "k2", "k3"});
    s.keyShown = 2;
    s.passphraseBox = "edited";
    const Bytes key = CombineSharedKeys(s);
    EXPECT_EQ(s.slots[1], "edited");
    auto expected = Store({"k1", "edited", "k3"});
    EXPECT_EQ(key, CombineSharedKeys(expected));
}

TEST(Keys, MissingKeyIsNamedAndCountChecked) {
    auto s = Store({"k1", "k2", "k3"});
    s.slots[1].clear();
    s.keyShown = 3;
    s.passphraseBox = "k3";
    try {
        CombineSharedKeys(s);
        FAIL() << "expected a missing-key error";
    } catch (const SealError& e) {
        EXPECT_EQ(e.stringId(), Msg::SharedKeyMissing);
        EXPECT_EQ(e.argument(), "2");
    }
    EXPECT_EQ(s.slots[0], "k1") << "slots keep their contents";
    s.slots[1] = "k2";
    s.countText = "11";
    EXPECT_THROW(CombineSharedKeys(s), SealError);
    s.countText = "x";
    EXPECT_THROW(CombineSharedKeys(s), SealError);
}

}  // namespace
}  // namespace sealwise
