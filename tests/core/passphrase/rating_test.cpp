#include "passphrase/rating.h"

#include <gtest/gtest.h>

#include <string>

namespace sealwise {
namespace {

// length characters cycling through pattern.
std::string Cycle(const std::string& pattern, std::size_t length) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i) s += pattern[i % pattern.size()];
    return s;
}

int Score(const std::string& s) { return RatePassphrase(s).score; }

TEST(PassphraseRating, LengthAndClassTable) {
    struct Row {
        std::size_t length;
        int allFour, oneOfTwoAndThreeMissing, caseMissing;
    };
    const Row rows[] = {{0, 0, 0, 0},     {4, 12, 9, 8},    {8, 25, 19, 16},   {16, 50, 38, 32},
                        {24, 75, 56, 49}, {28, 88, 66, 57}, {32, 100, 75, 65}, {40, 100, 75, 65}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.length);
        EXPECT_EQ(Score(Cycle("Aa1[", r.length)), r.allFour);
        EXPECT_EQ(Score(Cycle("Aa1", r.length)), r.oneOfTwoAndThreeMissing);  // no class 3
        EXPECT_EQ(Score(Cycle("Aa[", r.length)), r.oneOfTwoAndThreeMissing);  // no class 2
        EXPECT_EQ(Score(Cycle("a1[", r.length)), r.caseMissing);              // no upper case
        EXPECT_EQ(Score(Cycle("A1[", r.length)), r.caseMissing);              // no lower case
    }
}

TEST(PassphraseRating, CapsForFewNonLetters) {
    // 28 and 32 characters of all four classes with only two outside letters and blanks: 81.
    EXPECT_EQ(Score("A1[" + std::string(25, 'a')), 81);
    EXPECT_EQ(Score("A1[" + std::string(29, 'a')), 81);
    EXPECT_EQ(Score("A1[!" + std::string(28, 'a')), 100);  // three are enough
    // Letters only: 75 becomes 71; 28 letters (66) stay below the cap.
    EXPECT_EQ(Score(Cycle("Ab", 32)), 71);
    EXPECT_EQ(Score(Cycle("Ab", 28)), 66);
}

TEST(PassphraseRating, HalvesRoundToEven) {
    // Length scores 12.5, 37.5, 62.5, 87.5.
    EXPECT_EQ(Score(Cycle("Aa1[", 4)), 12);
    EXPECT_EQ(Score(Cycle("Aa1[", 12)), 38);
    EXPECT_EQ(Score(Cycle("Aa1[", 20)), 62);
    EXPECT_EQ(Score(Cycle("Aa1[", 28)), 88);
    // Scaled halves: 66 x 0.75 = 49.5 -> 50 (band 127, not 126); 6 x 0.75 = 4.5 -> 4;
    // 50 x 0.65 = 32.5 -> 32; 62 x 0.75 = 46.5 -> 46.
    EXPECT_EQ(RatePassphrase(Cycle("Aa1", 21)).verdictId, 127);
    EXPECT_EQ(Score(Cycle("Aa1", 21)), 50);
    EXPECT_EQ(Score("Ab"), 4);
    EXPECT_EQ(Score(std::string(16, 'q')), 32);
    EXPECT_EQ(Score(Cycle("Aa1", 20)), 46);
}

TEST(PassphraseRating, CharacterClasses) {
    // A blank counts as lower case: with upper case, digit and "[" all four classes are there.
    EXPECT_EQ(Score(" A1["), 12);
    EXPECT_EQ(Score("    "), 8);  // only class 1: upper case missing
    // An umlaut is class 3, and one character although two bytes in UTF-8.
    EXPECT_EQ(Score("Aa1\xC3\xA4"), 12);
    EXPECT_EQ(Score("\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"), 8);
    // The euro sign is 0x80 in Windows-1252: class 3. Omega is not in it: "?", class 2.
    EXPECT_EQ(Score("Aa[\xE2\x82\xAC"), 9);
    EXPECT_EQ(Score("Aa[\xCE\xA9"), 12);
    // Control characters and "{|}~`" are class 3, "@" is class 2.
    EXPECT_EQ(Score("Aa@\t"), 12);
    EXPECT_EQ(Score("Aa@~"), 12);
    EXPECT_EQ(Score("Aa@`"), 12);
    EXPECT_EQ(Score("Aa@!"), 9);
}

TEST(PassphraseRating, EdgeCasesOfTheDisplay) {
    const PassphraseRating empty = RatePassphrase("");
    EXPECT_EQ(empty.score, 0);
    EXPECT_EQ(empty.verdictId, 124);
    EXPECT_EQ(empty.starCount, 0);
    EXPECT_EQ(empty.starsShown, (std::array<bool, 5>{}));
    EXPECT_EQ(empty.placeholdersShown, (std::array<bool, 5>{true, true, true, true, true}));
    EXPECT_EQ(empty.lamps, (LampState{.red = true}));

    for (const char* three : {"a1[", "Aa1"}) {
        const PassphraseRating r = RatePassphrase(three);
        EXPECT_EQ(r.score, std::string(three) == "a1[" ? 6 : 7);
        EXPECT_EQ(r.verdictId, 124);
        EXPECT_EQ(r.starCount, 1);
        EXPECT_EQ(r.starsShown, (std::array<bool, 5>{true, false, false, false, false}));
        EXPECT_EQ(r.placeholdersShown, (std::array<bool, 5>{false, true, true, true, true}));
    }

    const PassphraseRating eight = RatePassphrase("abcdefgh");
    EXPECT_EQ(eight.score, 16);
    EXPECT_EQ(eight.verdictId, 125);
    EXPECT_EQ(eight.starCount, 2);
    EXPECT_EQ(eight.lamps, (LampState{.red = true, .yellow = true}));

    const PassphraseRating lower32 = RatePassphrase(std::string(32, 'z'));
    EXPECT_EQ(lower32.score, 65);
    EXPECT_EQ(lower32.verdictId, 127);
    EXPECT_EQ(lower32.starCount, 4);
    EXPECT_EQ(lower32.lamps, (LampState{.yellow = true, .green = true}));

    EXPECT_EQ(RatePassphrase(Cycle("Ab", 32)).verdictId, 127);
    EXPECT_EQ(RatePassphrase("A1[" + std::string(29, 'a')).verdictId, 127);

    const PassphraseRating forty = RatePassphrase(Cycle("Aa1[", 40));
    EXPECT_EQ(forty.score, 100);
    EXPECT_EQ(forty.verdictId, 128);
    EXPECT_EQ(forty.starCount, 5);
    EXPECT_EQ(forty.placeholdersShown, (std::array<bool, 5>{}));
    EXPECT_EQ(forty.lamps, (LampState{.green = true}));
}

TEST(PassphraseRating, BandBoundaries) {
    struct Band {
        int score, verdict, stars;
        LampState lamps;
    };
    const Band bands[] = {{5, 124, 0, {.red = true}},
                          {6, 124, 1, {.red = true}},
                          {9, 124, 1, {.red = true}},
                          {10, 125, 2, {.red = true, .yellow = true}},
                          {24, 125, 2, {.red = true, .yellow = true}},
                          {25, 126, 3, {.yellow = true}},
                          {49, 126, 3, {.yellow = true}},
                          {50, 127, 4, {.yellow = true, .green = true}},
                          {94, 127, 4, {.yellow = true, .green = true}},
                          {95, 128, 5, {.green = true}}};
    for (const Band& b : bands) {
        SCOPED_TRACE(b.score);
        const PassphraseRating r = DisplayForScore(b.score);
        EXPECT_EQ(r.verdictId, b.verdict);
        EXPECT_EQ(r.starCount, b.stars);
        EXPECT_EQ(r.lamps, b.lamps);
        for (int i = 0; i < kStarCount; ++i) {
            EXPECT_EQ(r.starsShown[i], i < b.stars);
            EXPECT_NE(r.starsShown[i], r.placeholdersShown[i]);
        }
    }
}

TEST(PassphraseRating, VeryLongTextsRateLikeThirtyTwoCharacters) {
    // Far beyond what a 16-bit class counter could hold.
    EXPECT_EQ(Score(std::string(100000, 'a')), 65);
    EXPECT_EQ(Score(Cycle("Aa1[", 70000)), 100);
}

}  // namespace
}  // namespace sealwise
