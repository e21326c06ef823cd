#include "passphrase/rating.h"

#include <algorithm>
#include <cstddef>

#include "util/text_codec.h"

namespace sealwise {
namespace {

constexpr std::size_t kCountedLength = 32;

enum CharClass { kUpper = 0, kLowerOrBlank = 1, kDigitOrPunctuation = 2, kOther = 3 };

// A character Windows-1252 lacks enters the key as itself (crypto/keys.h), so it counts as
// "everything else" rather than as the "?" other programs would key it as.
CharClass ClassOf(char32_t c) {
    if (c >= 'A' && c <= 'Z') return kUpper;
    if ((c >= 'a' && c <= 'z') || c == ' ') return kLowerOrBlank;
    if (c >= 33 && c <= 64) return kDigitOrPunctuation;
    return kOther;
}

// numerator / denominator rounded to the nearest integer, halves to even. Exact integer
// arithmetic: a binary double would turn e.g. 25 * 0.65 into a value just off the half.
int RoundHalfEven(int numerator, int denominator) {
    const int quotient = numerator / denominator;
    const int twiceRemainder = 2 * (numerator % denominator);
    if (twiceRemainder > denominator) return quotient + 1;
    if (twiceRemainder == denominator && quotient % 2 != 0) return quotient + 1;
    return quotient;
}

}  // namespace

PassphraseRating DisplayForScore(int score) {
    PassphraseRating r;
    r.score = score;
    if (score <= 9) {
        r.verdictId = Msg::PassphraseNotSecure;
        r.starCount = score > 5 ? 1 : 0;
        r.lamps = {.red = true};
    } else if (score <= 24) {
        r.verdictId = Msg::PassphraseCrackable;
        r.starCount = 2;
        r.lamps = {.red = true, .yellow = true};
    } else if (score <= 49) {
        r.verdictId = Msg::PassphraseWithstandsOneComputer;
        r.starCount = 3;
        r.lamps = {.yellow = true};
    } else if (score <= 94) {
        r.verdictId = Msg::PassphraseWithstandsNetwork;
        r.starCount = 4;
        r.lamps = {.yellow = true, .green = true};
    } else {
        r.verdictId = Msg::PassphraseMaximumSecurity;
        r.starCount = 5;
        r.lamps = {.green = true};
    }
    for (int i = 0; i < kStarCount; ++i) {
        r.starsShown[i] = i < r.starCount;
        r.placeholdersShown[i] = !r.starsShown[i];
    }
    return r;
}

PassphraseRating RatePassphrase(std::string_view utf8) {
    // Plain counts rather than 16-bit counters: a pasted text of any length rates safely.
    std::array<std::size_t, 4> classCount{};
    // Only the first 32 characters make the key; what follows them adds nothing to it.
    std::u32string chars = Utf8ToCodePoints(utf8);
    if (chars.size() > kCountedLength) chars.resize(kCountedLength);
    for (char32_t c : chars) ++classCount[ClassOf(c)];

    const int n = static_cast<int>(chars.size());
    int score = RoundHalfEven(n * 100, static_cast<int>(kCountedLength));

    if (classCount[kUpper] == 0 || classCount[kLowerOrBlank] == 0) {
        score = RoundHalfEven(score * 65, 100);
    } else if (classCount[kDigitOrPunctuation] == 0 || classCount[kOther] == 0) {
        score = RoundHalfEven(score * 75, 100);
    }

    const std::size_t nonLetters = classCount[kDigitOrPunctuation] + classCount[kOther];
    score = std::min(score, 100);
    if (nonLetters == 0 && score > 70) score = 71;
    if (nonLetters < 3 && score > 80) score = 81;
    return DisplayForScore(score);
}

}  // namespace sealwise
