#include "passphrase/guessability.h"

#include <gtest/gtest.h>

namespace sealwise {
namespace {

TEST(Guessability, CommonAndPatternedPassphrasesAreWeakLongRandomOnesAreNot) {
    struct Case {
        const char* passphrase;
        bool weak;
    };
    const Case cases[] = {
        {"password", true},
        {"123456", true},
        {"qwertyuiop", true},
        {"P@ssw0rd", true},
        {"", true},
        {"aaaaaaaaaaaaaaaaaaaa", true},
        {"Xq7#mZ2$pL9!vR4&", false},
        {"stapler quantum orchid lantern velvet", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EstimateGuesses(c.passphrase).weak(), c.weak) << c.passphrase;
    }
}

TEST(Guessability, GuessesArePrintedInFullUpTo10To15) {
    EXPECT_EQ(FormatGuesses({3.0}), "1000");
    EXPECT_EQ(FormatGuesses({0.0}), "1");
    EXPECT_EQ(FormatGuesses({21.5}), "3.2e+21");
}

}  // namespace
}  // namespace sealwise
