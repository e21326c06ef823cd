#include "passphrase/guessability.h"

#include <zxcvbn.h>

#include <cmath>
#include <cstdio>

#include "util/secure_wipe.h"

namespace sealwise {

Guessability EstimateGuesses(std::string_view utf8) {
    std::string text(utf8);  // the library wants a terminated string
    const double bits = ZxcvbnMatch(text.c_str(), nullptr, nullptr);
    SecureWipe(text);
    return {bits * std::log10(2.0)};
}

std::string FormatGuesses(const Guessability& estimate) {
    const double guesses = std::pow(10.0, estimate.log10Guesses);
    char buffer[32];
    if (estimate.log10Guesses < 15) {
        std::snprintf(buffer, sizeof buffer, "%.0f", std::round(guesses));
    } else {
        std::snprintf(buffer, sizeof buffer, "%.1e", guesses);
    }
    return buffer;
}

}  // namespace sealwise
