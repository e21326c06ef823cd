#include "util/text_codec.h"

#include <gtest/gtest.h>

namespace sealwise {
namespace {

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

TEST(TextCodec, Windows1252FullTableRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const uint8_t byte = static_cast<uint8_t>(b);
        const std::string text = Cp1252ToText(&byte, 1);
        ASSERT_EQ(EncodeStoredText(text), Bytes{byte}) << "byte " << b;
        ASSERT_EQ(DecodeStoredText(Bytes{byte}), text) << "byte " << b;
    }
}

// What the writer stores: Windows-1252 whenever the text fits, the marker and UTF-8 otherwise.
TEST(TextCodec, StoredFormIsWindows1252UnlessACharacterDoesNotFit) {
    const struct {
        const char* text;
        Bytes stored;
    } cases[] = {
        {"Gru\xC3\x9F\xE2\x80\xA6", {'G', 'r', 'u', 0xDF, 0x85}},  // "Gruß…"
        {"\xE2\x80\x9EStra\xC3\x9F\xE2\x80\x9C", {0x84, 'S', 't', 'r', 'a', 0xDF, 0x93}},
        {"\xE2\x82\xAC \xC5\xA0", {0x80, ' ', 0x8A}},  // euro, S caron
        {"a\xCE\xB1", B("\xEF\xBB\xBF"
                        "a\xCE\xB1")},                                              // alpha: marked
        {"\xC3\xAF\xC2\xBB\xC2\xBFx", B("\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBFx")},  // "ï»¿x"
        {"\xEF\xBB\xBFz", B("\xEF\xBB\xBF\xEF\xBB\xBFz")},                          // U+FEFF first
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeStoredText(c.text), c.stored) << c.text;
        EXPECT_EQ(DecodeStoredText(c.stored), c.text) << c.text;
    }
}

// What the reader shows: only a leading marker makes the bytes UTF-8.
TEST(TextCodec, UnmarkedBytesReadAsWindows1252EvenWhenTheyLookLikeUtf8) {
    const struct {
        Bytes stored;
        const char* shown;
    } cases[] = {
        {{0xC3, 0xA9, 't', 0xC3, 0xA9}, "\xC3\x83\xC2\xA9t\xC3\x83\xC2\xA9"},  // "Ã©tÃ©"
        {{'M', 0xFC, 'n'}, "M\xC3\xBCn"},
        {B("\xEF\xBB\xBF\xC3\xA9"), "\xC3\xA9"},  // marked "é"
        {B("\xEF\xBB\xBF"
           "a\xFF"),
         "a\xEF\xBF\xBD"},                    // damage: U+FFFD
        {B("\xEF\xBB"), "\xC3\xAF\xC2\xBB"},  // half a marker
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeStoredText(c.stored), c.shown);
}

TEST(TextCodec, KeyTextAndLossyForms) {
    const std::string greek = "a\xCE\xB1\xC3\xA4";  // a, alpha, a-umlaut
    EXPECT_FALSE(FitsCp1252(greek));
    EXPECT_TRUE(FitsCp1252("Gru\xC3\x9F\xE2\x80\xA6"));
    EXPECT_EQ(TextToCp1252(greek), std::nullopt);
    EXPECT_EQ(TextToCp1252Lossy(greek), (Bytes{'a', '?', 0xE4}));
    EXPECT_EQ(TextToCp1252OrUtf8(greek), B(greek));
    EXPECT_EQ(TextToCp1252OrUtf8("\xC3\xA4"), Bytes{0xE4});
    EXPECT_EQ(Cp1252CodeOrQuestion(0x3B1), '?');
    EXPECT_EQ(Cp1252CodeOrQuestion(0xE4), 0xE4);
}

TEST(TextCodec, InputOfUnknownOriginIsUtf8WhenWellFormed) {
    const struct {
        Bytes in;
        const char* text;
    } cases[] = {
        {{'M', 0xC3, 0xBC, 'n'}, "M\xC3\xBCn"},
        {{'M', 0xFC, 'n'}, "M\xC3\xBCn"},
        {{'a', 'b'}, "ab"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8OrCp1252ToText(c.in.data(), c.in.size()), c.text);
}

// Each boundary of well-formed UTF-8: the shortest form of each length, the last code point,
// and what must be refused (overlong, surrogate, past U+10FFFF, stray or cut-short bytes).
TEST(TextCodec, DecodesOneUtf8SequenceOrRefusesIt) {
    const struct {
        std::string_view bytes;
        std::size_t length;  // 0: refused
        char32_t codePoint;
    } cases[] = {
        {"A rest", 1, U'A'},
        {std::string_view("\0", 1), 1, 0},
        {"\xC2\x80", 2, 0x80},
        {"\xDF\xBF", 2, 0x7FF},
        {"\xE0\xA0\x80", 3, 0x800},
        {"\xED\x9F\xBF", 3, 0xD7FF},
        {"\xEF\xBB\xBFx", 3, 0xFEFF},
        {"\xF0\x90\x80\x80", 4, 0x10000},
        {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
        {"\xC0\xAF", 0, 0},          // overlong "/"
        {"\xC1\xBF", 0, 0},          // overlong
        {"\xE0\x9F\xBF", 0, 0},      // overlong three-byte form
        {"\xF0\x8F\xBF\xBF", 0, 0},  // overlong four-byte form
        {"\xED\xA0\x80", 0, 0},      // surrogate D800
        {"\xED\xBF\xBF", 0, 0},      // surrogate DFFF
        {"\xF4\x90\x80\x80", 0, 0},  // past U+10FFFF
        {"\xF8\x88\x80\x80\x80", 0, 0},
        {"\x80", 0, 0},  // continuation byte alone
        {"\xC3", 0, 0},  // cut short
        {"\xE2\x82", 0, 0},
        {"\xC3(", 0, 0},  // no continuation byte
    };
    for (const auto& c : cases) {
        char32_t cp = 0xFFFF;
        EXPECT_EQ(DecodeUtf8Sequence(c.bytes, cp), c.length) << testing::PrintToString(c.bytes);
        if (c.length != 0) {
            EXPECT_EQ(cp, c.codePoint) << testing::PrintToString(c.bytes);
        }
    }
}

TEST(TextCodec, WholeTextIsValidUtf8) {
    const struct {
        std::string_view text;
        bool valid;
    } cases[] = {
        {"", true},
        {"Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x94\x91", true},
        {"Gr\xFC\xDF", false},                 // Windows-1252, not UTF-8
        {"ok \xED\xA0\x80 then more", false},  // a surrogate in the middle
        {"ends cut \xE2\x82", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
}

}  // namespace
}  // namespace sealwise
