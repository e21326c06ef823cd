#pragma once
// The passphrase quality meter (`PwdBewert`): a score of 0 to 100 and what the main window
// shows for it - a verdict, five stars with their placeholders and a three-lamp traffic light.
// Pure and stateless, so the GUI, the CLI and the tests share one rule.
#include <array>
#include <string_view>

#include "app/lamps.h"
#include "app/msg.h"

namespace sealwise {

constexpr int kStarCount = 5;

struct PassphraseRating {
    int score = 0;
    Msg verdictId{};                                   // the verdict shown in `Label3`
    int starCount = 0;                                 // stars shown, always the first ones
    std::array<bool, kStarCount> starsShown{};         // `Stern(1)` .. `Stern(5)`
    std::array<bool, kStarCount> placeholdersShown{};  // `SchlusselPlatz(1)` .. (5)
    LampState lamps;
    friend bool operator==(const PassphraseRating&, const PassphraseRating&) = default;
};

// Rates a passphrase given as UTF-8 by what makes its key: only its first 32 characters count,
// for length and for the character classes; a character Windows-1252 lacks is of the class
// "everything else", since it enters the key as itself.
PassphraseRating RatePassphrase(std::string_view utf8);

// The verdict, stars, placeholders and lamps that belong to a score of 0 to 100.
PassphraseRating DisplayForScore(int score);

}  // namespace sealwise
