// sealwise-cli rate [PASSPHRASE]: the quality meter of the main window as four lines of text.
#include <istream>
#include <ostream>

#include "app/strings.h"
#include "cli/common.h"
#include "cli/terminal_prompt.h"
#include "modern/modern_messages.h"
#include "passphrase/guessability.h"
#include "passphrase/rating.h"
#include "util/secure_wipe.h"
#include "util/text_codec.h"

namespace sealwise::cli {
namespace {

// One line of input without its line ending; blanks are part of a passphrase and stay.
std::string ReadOneLine(std::istream& in) {
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string LitLamps(const LampState& lamps) {
    std::string text;
    auto add = [&text](bool lit, const char* name) {
        if (!lit) return;
        if (!text.empty()) text += ' ';
        text += name;
    };
    add(lamps.red, "red");
    add(lamps.yellow, "yellow");
    add(lamps.green, "green");
    return text;
}

}  // namespace

int RunRate(const Args& args, Io& io) {
    CLI::App app{
        "Rate a passphrase as the quality meter does: the score (0 to 100), the verdict "
        "in the language of the locale, the number of stars (0 to 5) and the lit lamps "
        "of the traffic light. Without PASSPHRASE one line is read from standard input "
        "(without its line break; blanks count).",
        "rate"};
    std::string passphrase;
    app.add_option("passphrase", passphrase,
                   "the passphrase to rate (put '--' before one that starts with '-')");
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;
    WipeOnExit<std::string> wipePassphrase(passphrase);
    if (app.count("passphrase") == 0) {
        // Typed at a terminal, the passphrase is not echoed.
        std::optional<std::string> typed;
        if (io.stdinIsTerminal) typed = PromptHidden("Passphrase to rate: ");
        passphrase = typed ? std::move(*typed) : ReadOneLine(io.in);
    }
    // Bytes that are not UTF-8 are read as Windows-1252, as stored texts are.
    std::string text =
        Utf8OrCp1252ToText(reinterpret_cast<const uint8_t*>(passphrase.data()), passphrase.size());
    WipeOnExit<std::string> wipeText(text);

    const PassphraseRating rating = RatePassphrase(text);
    io.out << "score: " << rating.score << "\n"
           << "verdict: " << GetResText(rating.verdictId) << "\n"
           << "stars: " << rating.starCount << "\n"
           << "lamps: " << LitLamps(rating.lamps) << "\n";
    const Guessability guesses = EstimateGuesses(text);
    io.out << "guesses: " << FormatGuesses(guesses) << "\n";
    if (guesses.weak()) {
        io.out << "warning: " << GetResText(msg::kWeakPassphraseWarning, FormatGuesses(guesses))
               << "\n";
    }
    return FinishOutput(io) ? kOk : kFailure;
}

}  // namespace sealwise::cli
