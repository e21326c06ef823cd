#include "passphrase/generator.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace sealwise {
namespace {

constexpr int kPassphrases = 3125;  // 100,000 characters

std::vector<std::string> Draw() {
    std::vector<std::string> all;
    for (int i = 0; i < kPassphrases; ++i) all.push_back(GeneratePassphrase());
    return all;
}

TEST(PassphraseGenerator, ThirtyTwoCharactersFromBlankToBrace) {
    for (const std::string& p : Draw()) {
        ASSERT_EQ(p.size(), 32u);
        for (char c : p) {
            ASSERT_GE(c, ' ');
            ASSERT_LE(c, '}');
        }
    }
}

TEST(PassphraseGenerator, UniformOverAllNinetyFourCharacters) {
    std::array<int, 94> counts{};
    for (const std::string& p : Draw()) {
        for (char c : p) ++counts[c - ' '];
    }
    const double expected = kPassphrases * 32.0 / 94.0;
    double chiSquare = 0;
    for (int i = 0; i < 94; ++i) {
        EXPECT_GT(counts[i], 0) << "never drawn: '" << static_cast<char>(' ' + i) << "'";
        chiSquare += (counts[i] - expected) * (counts[i] - expected) / expected;
    }
    // 93 degrees of freedom: mean 93, and 173 is exceeded by chance about once in a million
    // runs. A generator that never draws one character scores above 1000; one with modulo
    // bias from a byte (3/256 against 2/256) far more.
    EXPECT_LT(chiSquare, 173.0);
}

TEST(PassphraseGenerator, BlanksQuotesAndBackslashesAtBothEnds) {
    const std::vector<std::string> all = Draw();
    for (char c : std::string(" \"'*\\")) {
        int first = 0, last = 0;
        for (const std::string& p : all) {
            first += p.front() == c;
            last += p.back() == c;
        }
        // About 33 expected each; none at all would happen by chance about once in 10^14.
        EXPECT_GT(first, 0) << c;
        EXPECT_GT(last, 0) << c;
    }
}

// Two clicks within one tick of the clock must not repeat a passphrase.
TEST(PassphraseGenerator, ConsecutivePassphrasesDiffer) {
    EXPECT_NE(GeneratePassphrase(), GeneratePassphrase());
}

TEST(PassphraseGenerator, DisplayIsForcedToTheTop) {
    const GeneratedPassphrase g = GenerateRandomPassphrase();
    EXPECT_EQ(g.text.size(), 32u);
    EXPECT_EQ(g.display.score, RatePassphrase(g.text).score);
    EXPECT_EQ(g.display.verdictId, 106);
    EXPECT_EQ(g.display.starCount, 5);
    EXPECT_EQ(g.display.starsShown, (std::array<bool, 5>{true, true, true, true, true}));
    EXPECT_EQ(g.display.placeholdersShown, (std::array<bool, 5>{}));
    EXPECT_EQ(g.display.lamps, (LampState{.green = true}));

    // Even over a weak rating the forced display stays at the top.
    const PassphraseRating forced = GeneratedPassphraseDisplay(RatePassphrase("abc"));
    EXPECT_EQ(forced.verdictId, 106);
    EXPECT_EQ(forced.starCount, 5);
    EXPECT_EQ(forced.lamps, (LampState{.green = true}));
}

}  // namespace
}  // namespace sealwise
