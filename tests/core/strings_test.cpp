#include "app/strings.h"

#include <gtest/gtest.h>

#include <set>

#include "core/test_util.h"

namespace sealwise {
namespace {

using test::LanguageScope;

TEST(GetResText, PlaceholderRules) {
    LanguageScope english(kOffsetEnglish);
    EXPECT_EQ(GetResText(116, "C:\\box.vesk"),
              "The encrypted file has been saved as \"C:\\box.vesk\".");
    EXPECT_EQ(GetResText(116), "The encrypted file has been saved as \"%s\".");
    // d given to a text without "%d" leaves it unchanged; s given to a text without "%s" too.
    EXPECT_EQ(GetResText(114, "", "7"), "Error: Please check the filename(s) and password");
    EXPECT_EQ(GetResText(114, "x"), "Error: Please check the filename(s) and password");
    // Only d given: every "%s" is removed.
    EXPECT_EQ(GetResText(116, "", "7"), "The encrypted file has been saved as \"\".");
    // A "%d" that s brings in is replaced by d; an "%s" that s brings in stays.
    EXPECT_EQ(GetResText(116, "a%db", "X"), "The encrypted file has been saved as \"aXb\".");
    EXPECT_EQ(GetResText(116, "%s%d"), "The encrypted file has been saved as \"%s\".");
    EXPECT_EQ(GetResText(201, "Sealwise"), "Do you already know Sealwise?");
}

TEST(GetResText, FollowsTheLanguageOffset) {
    {
        LanguageScope spanish(kOffsetSpanish);
        EXPECT_EQ(GetResText(200), "Acerca de...");
    }
    {
        LanguageScope french(kOffsetFrench);
        EXPECT_EQ(GetResText(200), "A propos...");
    }
    LanguageScope english(kOffsetEnglish);
    EXPECT_EQ(GetResText(200), "Welcome...");
    EXPECT_EQ(GetResText(144),
              "Files can be securely encrypted with Sealwise. Please select the files you want to "
              "encrypt.");
}

TEST(GetResText, MissingEntriesFail) {
    LanguageScope german(kOffsetGerman);
    EXPECT_THROW(GetResText(182), MissingStringError);
    EXPECT_THROW(GetResText(259), MissingStringError);
    EXPECT_THROW(GetResText(104), MissingStringError);
    // Ids whose sum with the offset leaves the 16-bit table range name no entry.
    SetLanguageOffset(kOffsetFrench);
    EXPECT_THROW(GetResText(32767), MissingStringError);
    EXPECT_THROW(GetResText(-40000), MissingStringError);
    try {
        GetResText(202);
        FAIL() << "202 has no French entry";
    } catch (const MissingStringError& e) {
        EXPECT_EQ(e.baseId(), 202);
        EXPECT_EQ(e.languageOffset(), kOffsetFrench);
    }
}

// The base ids of the table, with the languages that must lack them.
TEST(StringTable, EveryListedIdExistsExactlyWhereItMust) {
    const std::set<int> listed = {
        103, 105, 106, 108, 109, 110, 111, 112, 114, 115, 116, 120, 121, 122, 123, 124, 125,
        126, 127, 128, 129, 130, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 153,
        154, 155, 156, 158, 159, 160, 161, 162, 163, 164, 165, 166, 167, 169, 178, 179, 180,
        181, 182, 183, 184, 187, 190, 191, 192, 193, 194, 195, 200, 201, 202, 203, 385, 386,
        390, 391, 392, 393, 394, 395, 396, 397, 398, 399, 400, 401, 402, 403, 404};
    const std::set<std::pair<int, int>> gaps = {
        {147, kOffsetGerman}, {147, kOffsetEnglish}, {147, kOffsetFrench}, {182, kOffsetGerman},
        {182, kOffsetFrench}, {202, kOffsetFrench},  {203, kOffsetFrench}};
    for (int id = 103; id <= 404; ++id) {
        for (int offset : kColumnOffsets) {
            const bool expected = listed.count(id) != 0 && gaps.count({id, offset}) == 0;
            EXPECT_EQ(HasResText(id, offset), expected) << "id " << id << " offset " << offset;
        }
    }
}

TEST(StringTable, PlaceholdersAndOwnIdsAreConsistentAcrossLanguages) {
    // Texts with "%s" keep it in every language; the own message range is complete.
    const StringTable table = ParseStringTable(EmbeddedStringTable());
    for (int id : {116, 178, 201, 386}) {
        for (int offset : kColumnOffsets) {
            EXPECT_NE(table.at(id + offset).find("%s"), std::string::npos) << id + offset;
        }
    }
    // Every translation fills in the same placeholders as the English text, so no argument is
    // dropped or shown as a bare "%d".
    const auto count = [](const std::string& text, const char* mark) {
        int n = 0;
        for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 2)) ++n;
        return n;
    };
    for (const auto& [fullId, english] : table) {
        if (fullId < kOffsetEnglish || fullId >= kOffsetEnglish + 1000) continue;
        const int base = fullId - kOffsetEnglish;
        for (int offset : kColumnOffsets) {
            const auto text = table.find(base + offset);
            if (text == table.end()) continue;
            EXPECT_EQ(count(text->second, "%s"), count(english, "%s")) << base + offset;
            EXPECT_EQ(count(text->second, "%d"), count(english, "%d")) << base + offset;
        }
    }
    for (int id = 405; id <= 419; ++id) {
        const bool any = HasResText(id, kOffsetEnglish);
        for (int offset : kColumnOffsets) EXPECT_EQ(HasResText(id, offset), any) << id;
    }
}

TEST(StringTable, ParserHandlesEscapesCommentsAndGaps) {
    const StringTable t = ParseStringTable(
        "# comment\r\n"
        "\n"
        "7\tZeile\\neins\tline\\tone\t\tback\\\\slash\r\n");
    EXPECT_EQ(t.at(7), "Zeile\neins");
    EXPECT_EQ(t.at(907), "line\tone");
    EXPECT_EQ(t.count(1907), 0u);
    EXPECT_EQ(t.at(2907), "back\\slash");
}

TEST(StringTable, ParserRejectsMalformedRows) {
    EXPECT_THROW(ParseStringTable("7\ta\tb\tc\n"), StringTableFormatError);
    EXPECT_THROW(ParseStringTable("7\ta\tb\tc\td\te\n"), StringTableFormatError);
    EXPECT_THROW(ParseStringTable("x7\ta\tb\tc\td\n"), StringTableFormatError);
    EXPECT_THROW(ParseStringTable("7\ta\\q\tb\tc\td\n"), StringTableFormatError);
    EXPECT_THROW(ParseStringTable("7\ta\tb\tc\td\\\n"), StringTableFormatError);
    EXPECT_THROW(ParseStringTable("7\ta\tb\tc\td\n7\ta\t\t\t\n"), StringTableFormatError);
}

TEST(MessageText, ComposesErrorsInTheCurrentLanguage) {
    LanguageScope german(kOffsetGerman);
    EXPECT_EQ(MessageText(SealError(103, "Zugriff verweigert")), "Fehler: Zugriff verweigert");
    EXPECT_EQ(MessageText(SealError(386, "3")),
              "Schlüssel 3 fehlt. Bitte geben Sie alle Schlüssel ein.");
    // No German entry: falls back to English rather than failing inside error handling.
    EXPECT_EQ(MessageText(SealError(182)), "Return to main menu");
    EXPECT_EQ(MessageText(SealError(259, "x")), "Error 259: x");
}

}  // namespace
}  // namespace sealwise
