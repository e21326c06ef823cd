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
    // The caps: two non-letters hold 88 and 100 at 81, three do not; letters only hold 75 at 71.
    EXPECT_EQ(Score("A1[" + std::string(25, 'a')), 81);
    EXPECT_EQ(Score("A1[!" + std::string(28, 'a')), 100);
    EXPECT_EQ(Score(Cycle("Ab", 28)), 66);
}

TEST(PassphraseRating, HalvesRoundToEven) {
    EXPECT_EQ(Score(Cycle("Aa1[", 12)), 38);  // 37.5
    EXPECT_EQ(Score(Cycle("Aa1[", 20)), 62);  // 62.5
    EXPECT_EQ(Score("Ab"), 4);                // 6 x 0.75 = 4.5
    EXPECT_EQ(Score(Cycle("Aa1", 20)), 46);   // 62 x 0.75 = 46.5
    EXPECT_EQ(Score(Cycle("Aa1", 21)), 50);   // 66 x 0.75 = 49.5: band 127, not 126
}

TEST(PassphraseRating, CharacterClasses) {
    EXPECT_EQ(Score(" A1["), 12);  // a blank is lower case
    EXPECT_EQ(Score("    "), 8);
    // An umlaut is class 3 and one character, although two bytes in UTF-8.
    EXPECT_EQ(Score("Aa1\xC3\xA4"), 12);
    EXPECT_EQ(Score("\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"), 8);
    // The euro sign is 0x80 in Windows-1252: class 3. Omega is not in it and enters the key as
    // itself, not as "?": class 3 as well.
    EXPECT_EQ(Score("Aa[\xE2\x82\xAC"), 9);
    EXPECT_EQ(Score("Aa[\xCE\xA9"), 9);
    EXPECT_EQ(Score("Aa?\xCE\xA9"), 12);
    // Tab, "~" and "`" are class 3; "@" and "!" class 2.
    for (const char* s : {"Aa@\t", "Aa@~", "Aa@`"}) EXPECT_EQ(Score(s), 12) << s;
    EXPECT_EQ(Score("Aa@!"), 9);
    // Far beyond what a 16-bit class counter could hold.
    EXPECT_EQ(Score(std::string(100000, 'a')), 65);
}

// Characters after the 32nd make no difference to the key, so they do not raise the score.
TEST(PassphraseRating, OnlyTheFirst32CharactersCount) {
    const struct {
        std::string passphrase;
        int score;
    } cases[] = {
        {Cycle("Ab", 32) + "1[!", 71},          // letters only in the first 32
        {Cycle("Ab", 31) + "1" + "[!", 75},     // one digit inside, symbols outside
        {Cycle("Ab1[", 32) + "\xCE\xA9", 100},  // all four classes inside
    };
    for (const auto& c : cases) EXPECT_EQ(Score(c.passphrase), c.score) << c.passphrase;
}

TEST(PassphraseRating, VerdictStarsPlaceholdersAndLamps) {
    constexpr LampState kRed{.red = true}, kRedYellow{.red = true, .yellow = true},
        kYellow{.yellow = true}, kYellowGreen{.yellow = true, .green = true}, kGreen{.green = true};
    struct Case {
        std::string text;
        int score;
        Msg verdict;
        int stars;
        LampState lamps;
    };
    const Case cases[] = {
        {"", 0, Msg::PassphraseNotSecure, 0, kRed},
        {"a1[", 6, Msg::PassphraseNotSecure, 1, kRed},
        {"Aa1", 7, Msg::PassphraseNotSecure, 1, kRed},
        {"abcdefgh", 16, Msg::PassphraseCrackable, 2, kRedYellow},
        {"Hello World 12!", 35, Msg::PassphraseWithstandsOneComputer, 3, kYellow},
        {std::string(32, 'z'), 65, Msg::PassphraseWithstandsNetwork, 4, kYellowGreen},
        {Cycle("Ab", 32), 71, Msg::PassphraseWithstandsNetwork, 4, kYellowGreen},
        {"A1[" + std::string(29, 'a'), 81, Msg::PassphraseWithstandsNetwork, 4, kYellowGreen},
        {Cycle("Aa1[", 40), 100, Msg::PassphraseMaximumSecurity, 5, kGreen}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const PassphraseRating r = RatePassphrase(c.text);
        EXPECT_EQ(r.score, c.score);
        EXPECT_EQ(r.verdictId, c.verdict);
        EXPECT_EQ(r.starCount, c.stars);
        EXPECT_EQ(r.lamps, c.lamps);
        for (int i = 0; i < kStarCount; ++i) {
            EXPECT_EQ(r.starsShown[i], i < c.stars);
            EXPECT_EQ(r.placeholdersShown[i], i >= c.stars);
        }
    }
}

TEST(PassphraseRating, BandBoundaries) {
    constexpr Msg kNotSecure = Msg::PassphraseNotSecure, kCrackable = Msg::PassphraseCrackable,
                  kOneComputer = Msg::PassphraseWithstandsOneComputer,
                  kNetwork = Msg::PassphraseWithstandsNetwork,
                  kMaximum = Msg::PassphraseMaximumSecurity;
    const struct {
        int score;
        Msg verdict;
        int stars;
    } cases[] = {{5, kNotSecure, 0},    {6, kNotSecure, 1},  {9, kNotSecure, 1},
                 {10, kCrackable, 2},   {24, kCrackable, 2}, {25, kOneComputer, 3},
                 {49, kOneComputer, 3}, {50, kNetwork, 4},   {94, kNetwork, 4},
                 {95, kMaximum, 5}};
    for (const auto& [score, verdict, stars] : cases) {
        EXPECT_EQ(DisplayForScore(score).verdictId, verdict) << score;
        EXPECT_EQ(DisplayForScore(score).starCount, stars) << score;
    }
}

}  // namespace
}  // namespace sealwise
