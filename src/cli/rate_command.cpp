// sealwise-cli rate [PASSPHRASE]: the quality meter of the main window as four lines of text.
#include <istream>
#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/common.h"
#include "cli/json.h"
#include "cli/terminal_prompt.h"
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

// The lit lamps, red to green, joined by separator; each named by name(english, id).
template <typename Name>
std::string LitLamps(const LampState& lamps, const char* separator, Name name) {
    std::string text;
    auto add = [&](bool lit, const char* english, Msg id) {
        if (!lit) return;
        if (!text.empty()) text += separator;
        text += name(english, id);
    };
    add(lamps.red, "red", Msg::LampRed);
    add(lamps.yellow, "yellow", Msg::LampYellow);
    add(lamps.green, "green", Msg::LampGreen);
    return text;
}

// Labels in the current language, for people.
void PrintText(std::ostream& out, const PassphraseRating& rating, const Guessability& guesses) {
    const std::string lamps =
        LitLamps(rating.lamps, " ", [](const char*, Msg id) { return GetResText(id); });
    out << GetResText(Msg::RateScore) << ": " << rating.score << "\n"
        << GetResText(Msg::RateVerdict) << ": " << GetResText(rating.verdictId) << "\n"
        << GetResText(Msg::RateStars) << ": " << rating.starCount << "\n"
        << GetResText(Msg::RateLamps) << ": " << lamps << "\n"
        << GetResText(Msg::RateGuesses) << ": " << FormatGuesses(guesses) << "\n";
    if (guesses.weak()) {
        out << GetResText(Msg::WarningPrefix) << " "
            << GetResText(Msg::WeakPassphraseWarning, FormatGuesses(guesses)) << "\n";
    }
}

// English keys and lamp names whatever the locale, for scripts; the verdict stays localised.
void PrintJson(std::ostream& out, const PassphraseRating& rating, const Guessability& guesses) {
    const std::string lamps = LitLamps(rating.lamps, ", ", [](const char* english, Msg) {
        return "\"" + std::string(english) + "\"";
    });
    out << "{\"score\": " << rating.score
        << ", \"verdict\": " << JsonString(GetResText(rating.verdictId))
        << ", \"verdict_id\": " << rating.verdictId << ", \"stars\": " << rating.starCount
        << ", \"lamps\": [" << lamps << "], \"guesses_log10\": " << guesses.log10Guesses
        << ", \"weak\": " << (guesses.weak() ? "true" : "false") << "}\n";
}

}  // namespace

int RunRate(const Args& args, Io& io) {
    CLI::App app{
        "Rate a passphrase as the quality meter does: the score (0 to 100), the verdict "
        "in the language of the locale, the number of stars (0 to 5) and the lit lamps "
        "of the traffic light. Without PASSPHRASE one line is read from standard input "
        "(without its line break; blanks count), so the passphrase stays out of the "
        "process list.",
        "rate"};
    std::string passphrase;
    bool json = false;
    app.add_flag("--json", json,
                 "print one JSON object with English keys: score, verdict, verdict_id, stars, "
                 "lamps, guesses_log10, weak (fewer than 10^10 guesses)");
    app.add_option("passphrase", passphrase,
                   "the passphrase to rate (put '--' before one that starts with '-')");
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;
    WipeOnExit<std::string> wipePassphrase(passphrase);
    if (app.count("passphrase") == 0) {
        // Typed at a terminal, the passphrase is not echoed.
        std::optional<std::string> typed;
        if (io.stdinIsTerminal) typed = PromptHidden(GetResText(Msg::RatePrompt) + " ");
        passphrase = typed ? std::move(*typed) : ReadOneLine(io.in);
    }
    // Bytes that are not UTF-8 are read as Windows-1252, as stored texts are.
    std::string text =
        Utf8OrCp1252ToText(reinterpret_cast<const uint8_t*>(passphrase.data()), passphrase.size());
    WipeOnExit<std::string> wipeText(text);

    const PassphraseRating rating = RatePassphrase(text);
    const Guessability guesses = EstimateGuesses(text);
    if (json) {
        PrintJson(io.out, rating, guesses);
    } else {
        PrintText(io.out, rating, guesses);
    }
    return FinishOutput(io) ? kOk : kFailure;
}

}  // namespace sealwise::cli
