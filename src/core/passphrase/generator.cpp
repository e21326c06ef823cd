#include "passphrase/generator.h"

#include "util/secure_random.h"

namespace sealwise {

// Every character comes from getrandom, never from a generator seeded with the time of day:
// the time of the click would otherwise narrow the passphrase down to a few million guesses.
std::string GeneratePassphrase() {
    std::string text(kGeneratedLength, ' ');
    for (char& c : text) {
        c = static_cast<char>(kFirstGeneratedChar + SecureRandomBelow(kGeneratedAlphabetSize));
    }
    return text;
}

PassphraseRating GeneratedPassphraseDisplay(const PassphraseRating& rated) {
    PassphraseRating shown = DisplayForScore(100);
    shown.score = rated.score;
    shown.verdictId = Msg::RandomPasswordCreated;
    return shown;
}

GeneratedPassphrase GenerateRandomPassphrase() {
    GeneratedPassphrase g{GeneratePassphrase(), {}};
    g.display = GeneratedPassphraseDisplay(RatePassphrase(g.text));
    return g;
}

}  // namespace sealwise
