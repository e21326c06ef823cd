#include "passphrase/generator.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace sealwise {
namespace {

TEST(PassphraseGenerator, UniformOverTheNinetyFourCharacters) {
    constexpr int kPassphrases = 3125;  // 100,000 characters
    std::vector<std::string> all;
    std::array<int, 94> counts{};
    for (int i = 0; i < kPassphrases; ++i) {
        all.push_back(GeneratePassphrase());
        ASSERT_EQ(all.back().size(), 32u);
        for (char c : all.back()) {
            ASSERT_TRUE(c >= ' ' && c <= '}') << static_cast<int>(c);
            ++counts[c - ' '];
        }
    }
    const double expected = kPassphrases * 32.0 / 94.0;
    double chiSquare = 0;
    for (int i = 0; i < 94; ++i) {
        EXPECT_GT(counts[i], 0) << "never drawn: '" << static_cast<char>(' ' + i) << "'";
        chiSquare += (counts[i] - expected) * (counts[i] - expected) / expected;
    }
    // 93 degrees of freedom: mean 93; 173 is exceeded by chance about once in a million runs.
    // Never drawing one character scores above 1000, modulo bias from a byte far more.
    EXPECT_LT(chiSquare, 173.0);

    // Blanks, quotes, "*" and "\" at both ends: about 33 each expected, none at all would
    // happen by chance about once in 10^14.
    for (char c : std::string(" \"'*\\")) {
        int first = 0, last = 0;
        for (const std::string& p : all) {
            first += p.front() == c;
            last += p.back() == c;
        }
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
    EXPECT_EQ(g.display.score, RatePassphrase(g.text).score);
    // Even over a weak rating the forced display stays at the top.
    for (const PassphraseRating& d : {g.display, GeneratedPassphraseDisplay(RatePassphrase(""))}) {
        EXPECT_EQ(d.verdictId, Msg::RandomPasswordCreated);
        EXPECT_EQ(d.starsShown, (std::array<bool, 5>{true, true, true, true, true}));
        EXPECT_EQ(d.placeholdersShown, (std::array<bool, 5>{}));
        EXPECT_EQ(d.lamps, (LampState{.green = true}));
    }
}

}  // namespace
}  // namespace sealwise
