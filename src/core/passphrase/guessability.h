#pragma once
// How many guesses an attacker who knows common passwords, words, names, dates, keyboard runs
// and repetitions would need for a passphrase, as libzxcvbn estimates it. A warning beside the
// quality meter's rating, never a reason to refuse.
#include <string>
#include <string_view>

namespace sealwise {

// Below about 10^10 guesses a passphrase falls to an offline attack on one machine.
constexpr double kWeakGuessesLog10 = 10.0;

struct Guessability {
    double log10Guesses = 0;  // log10 of the estimated number of guesses
    bool weak() const { return log10Guesses < kWeakGuessesLog10; }
};

Guessability EstimateGuesses(std::string_view utf8);

// The number of guesses for people: all digits up to 10^15, else like "3.2e+21".
std::string FormatGuesses(const Guessability& estimate);

}  // namespace sealwise
