#pragma once
// The random passphrase of the "Create random" button: 32 characters drawn uniformly from the
// 94 codes 32 (blank) to 125 ("}"), from the operating system's secure generator.
#include <string>

#include "passphrase/rating.h"

namespace sealwise {

constexpr int kGeneratedLength = 32;
constexpr char kFirstGeneratedChar = ' ';
constexpr char kLastGeneratedChar = '}';
constexpr int kGeneratedAlphabetSize = kLastGeneratedChar - kFirstGeneratedChar + 1;  // 94

// Verdict shown after generating, in place of the rating's own verdict.

struct GeneratedPassphrase {
    std::string text;  // ASCII, so the same in UTF-8 and Windows-1252
    // What the quality display shows until the passphrase is edited: the rating's score, the
    // verdict 106, all five stars and the green lamp only.
    PassphraseRating display;
};

std::string GeneratePassphrase();
GeneratedPassphrase GenerateRandomPassphrase();

// The display forced to its top after a generation; keeps the rated score.
PassphraseRating GeneratedPassphraseDisplay(const PassphraseRating& rated);

}  // namespace sealwise
