#include "app/strings.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "core/test_util.h"

namespace sealwise {
namespace {

using test::LanguageScope;

TEST(GetResText, PlaceholderRules) {
    LanguageScope english(kOffsetEnglish);
    EXPECT_EQ(GetResText(Msg::SavedAs, "C:\\box.vesk"),
              "The encrypted file has been saved as \"C:\\box.vesk\".");
    EXPECT_EQ(GetResText(Msg::SavedAs), "The encrypted file has been saved as \"%s\".");
    // d given to a text without "%d" leaves it unchanged; s given to a text without "%s" too.
    EXPECT_EQ(GetResText(Msg::CheckNamesAndPassword, "", "7"),
              "Error: Please check the filename(s) and password");
    EXPECT_EQ(GetResText(Msg::CheckNamesAndPassword, "x"),
              "Error: Please check the filename(s) and password");
    // Only d given: every "%s" is removed.
    EXPECT_EQ(GetResText(Msg::SavedAs, "", "7"), "The encrypted file has been saved as \"\".");
    // A "%d" that s brings in is replaced by d; an "%s" that s brings in stays.
    EXPECT_EQ(GetResText(Msg::SavedAs, "a%db", "X"),
              "The encrypted file has been saved as \"aXb\".");
    EXPECT_EQ(GetResText(Msg::SavedAs, "%s%d"), "The encrypted file has been saved as \"%s\".");
    EXPECT_EQ(GetResText(Msg::DoYouKnow, "Sealwise"), "Do you already know Sealwise?");
}

TEST(GetResText, FollowsTheLanguageOffset) {
    {
        LanguageScope spanish(kOffsetSpanish);
        EXPECT_EQ(GetResText(Msg::Welcome), "Acerca de...");
    }
    {
        LanguageScope french(kOffsetFrench);
        EXPECT_EQ(GetResText(Msg::Welcome), "A propos...");
    }
    LanguageScope english(kOffsetEnglish);
    EXPECT_EQ(GetResText(Msg::Welcome), "Welcome...");
    EXPECT_EQ(GetResText(Msg::SelectFilesInfo),
              "Files can be securely encrypted with Sealwise. Please select the files you want to "
              "encrypt.");
}

TEST(GetResText, MissingEntriesFail) {
    LanguageScope german(kOffsetGerman);
    EXPECT_THROW(GetResText(Msg::ReturnToMainMenu), MissingStringError);
    // Numbers that name no message (they arrive as data, e.g. "#259" on a form).
    EXPECT_THROW(GetResText(static_cast<Msg>(259)), MissingStringError);
    EXPECT_THROW(GetResText(static_cast<Msg>(104)), MissingStringError);
    // Ids whose sum with the offset leaves the 16-bit table range name no entry.
    SetLanguageOffset(kOffsetFrench);
    EXPECT_THROW(GetResText(static_cast<Msg>(32767)), MissingStringError);
    EXPECT_THROW(GetResText(static_cast<Msg>(-40000)), MissingStringError);
    try {
        GetResText(Msg::CliPromo);
        FAIL() << "202 has no French entry";
    } catch (const MissingStringError& e) {
        EXPECT_EQ(e.id(), Msg::CliPromo);
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
            EXPECT_EQ(HasResText(static_cast<Msg>(id), offset), expected)
                << "id " << id << " offset " << offset;
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
        const Msg message = static_cast<Msg>(id);
        const bool any = HasResText(message, kOffsetEnglish);
        for (int offset : kColumnOffsets) EXPECT_EQ(HasResText(message, offset), any) << id;
    }
}

TEST(StringTable, ParserHandlesEscapesCommentsAndGaps) {
    const StringTable t = ParseStringTable(
        "# comment\r\n"
        "\n"
        "7\tSeven\tZeile\\neins\tline\\tone\t\tback\\\\slash\r\n");
    EXPECT_EQ(t.at(7), "Zeile\neins");
    EXPECT_EQ(t.at(907), "line\tone");
    EXPECT_EQ(t.count(1907), 0u);
    EXPECT_EQ(t.at(2907), "back\\slash");
}

TEST(StringTable, ParserRejectsMalformedRows) {
    const struct {
        const char* label;
        const char* tsv;
    } cases[] = {
        {"too few columns", "7\tSeven\ta\tb\tc\n"},
        {"too many columns", "7\tSeven\ta\tb\tc\td\te\n"},
        {"rows from before the name column", "7\ta\tb\tc\td\n"},
        {"no name", "7\t\ta\tb\tc\td\n"},
        {"bad id", "x7\tSeven\ta\tb\tc\td\n"},
        {"unknown escape", "7\tSeven\ta\\q\tb\tc\td\n"},
        {"backslash at the end", "7\tSeven\ta\tb\tc\td\\\n"},
        {"id twice", "7\tSeven\ta\tb\tc\td\n7\tSevenAgain\ta\t\t\t\n"},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(ParseStringTable(c.tsv), StringTableFormatError) << c.label;
    }
}

// The generated ids and the compiled-in table come from the same file, so every row of the
// table has its named id, with the row's number.
TEST(StringTable, EveryRowHasItsNamedId) {
    const StringTable table = ParseStringTable(EmbeddedStringTable());
    int rows = 0;
    for (const auto& [fullId, text] : table) {
        for (const int offset : kColumnOffsets) {
            const int base = fullId - offset;
            if (base < 100 || base >= 1000) continue;
            EXPECT_FALSE(MsgName(static_cast<Msg>(base)).empty()) << base;
            ++rows;
        }
    }
    EXPECT_GT(rows, 0);
    EXPECT_EQ(static_cast<int>(Msg::SavedAs), 116);
    EXPECT_EQ(MsgName(Msg::SavedAs), "SavedAs");
    EXPECT_EQ(MsgName(static_cast<Msg>(259)), "");
}

TEST(MessageText, ComposesErrorsInTheCurrentLanguage) {
    LanguageScope german(kOffsetGerman);
    EXPECT_EQ(MessageText(SealError(Msg::SystemError, "Zugriff verweigert")),
              "Fehler: Zugriff verweigert");
    EXPECT_EQ(MessageText(SealError(Msg::SharedKeyMissing, "3")),
              "Schlüssel 3 fehlt. Bitte geben Sie alle Schlüssel ein.");
    // No German entry: falls back to English rather than failing inside error handling.
    EXPECT_EQ(MessageText(SealError(Msg::ReturnToMainMenu)), "Return to main menu");
    EXPECT_EQ(MessageText(SealError(static_cast<Msg>(259), "x")), "Error 259: x");
}

// Success notes, questions and notices: the same composition, with "%d" filled as well.
TEST(MessageText, ComposesMessagesWithBothArguments) {
    LanguageScope english(kOffsetEnglish);
    const struct {
        Message message;
        const char* shown;
    } cases[] = {
        {{Msg::SavedAs, "box.vesk"}, "The encrypted file has been saved as \"box.vesk\"."},
        {{Msg::SavedAs}, "The encrypted file has been saved as \"%s\"."},
        {{Msg::DirectoryUnreadable, "/d", "Permission denied"},
         "The directory \"/d\" cannot be read (Permission denied); the files in it were left out."},
        {{Msg::ProgressOf, "3", "7"}, "3 of 7"},
        {{Msg::SystemError, "Disk full"}, "Error: Disk full"},
        {{static_cast<Msg>(259)}, "Error 259"},
    };
    for (const auto& c : cases) EXPECT_EQ(MessageText(c.message), c.shown) << c.message;
}

TEST(MessageText, PrintsNameAndNumber) {
    const struct {
        Message message;
        const char* printed;
    } cases[] = {
        {{Msg::SavedAs}, "SavedAs (116)"},
        {{Msg::ProgressOf, "3", "7"}, "ProgressOf (747) \"3\" \"7\""},
        {{static_cast<Msg>(259)}, "Msg (259)"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        out << c.message;
        EXPECT_EQ(out.str(), c.printed);
    }
}

}  // namespace
}  // namespace sealwise
