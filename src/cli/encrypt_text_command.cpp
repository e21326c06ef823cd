// sealwise-cli encrypt-text: UTF-8 text on stdin, Base64 armour on stdout.
#include <optional>
#include <string>

#include "app/strings.h"
#include "cli/common.h"
#include "cli/modern_commands.h"
#include "cli/passphrase_options.h"
#include "cli/text_input.h"
#include "text/line_breaks.h"
#include "text/text_crypt.h"
#include "util/errors.h"
#include "util/secure_wipe.h"
#include "util/text_codec.h"

namespace sealwise::cli {
namespace {

std::optional<int> OffsetOfLanguageCode(const std::string& code) {
    if (code == "de") return kOffsetGerman;
    if (code == "en") return kOffsetEnglish;
    if (code == "es") return kOffsetSpanish;
    if (code == "fr") return kOffsetFrench;
    return std::nullopt;
}

}  // namespace

int RunEncryptText(const Args& args, Io& io) {
    CLI::App app{
        "Encrypt the UTF-8 text on standard input into Base64 armour on standard "
        "output. The armour starts with a notice line in the chosen language.",
        "encrypt-text"};
    std::string language;
    KeyOptions keys;
    app.add_option("--lang", language,
                   "language of the notice line: de, en, es or fr (default: the locale's)")
        ->option_text("LANG");
    AddPassphraseOptions(app, keys);
    AddSharedKeyOption(app, keys);
    FormatOptions format;
    AddFormatOptions(app, format, false);
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;
    if (int rc = CheckFormatOptions(format, io); rc >= 0) return rc;
    if (format.modern()) return RunModernEncryptText(keys, format, io);

    int offset = LanguageOffset();
    if (!language.empty()) {
        const std::optional<int> chosen = OffsetOfLanguageCode(language);
        if (!chosen) {
            PrintError(io, GetResText(Msg::UnknownLanguage, language));
            return kUsage;
        }
        offset = *chosen;
    }

    try {
        std::string input = ReadAll(io.in);
        WipeOnExit<std::string> wipeInput(input);
        if (!IsValidUtf8(input)) throw SealError(Msg::InputNotUtf8, {}, "input not UTF-8");
        // The stored text has CR LF line breaks, as a text box on the original system holds.
        std::string text = LfToCrLf(input);
        WipeOnExit<std::string> wipeText(text);
        CheckTextToEncrypt(text);

        TextCryptJob job;
        const std::optional<std::string> armour =
            job.Encrypt(text, ObtainKeyWithWarning(keys, io), offset);
        if (!armour) return kFailure;  // not reachable without a cancel source
        // CR LF: a reader that drops CR LF pairs would take a lone LF for a Base64 character.
        return WriteOutput(io, *armour + "\r\n") ? kOk : kFailure;
    } catch (const SealError& e) {
        return ReportFailure(io, e);
    }
}

}  // namespace sealwise::cli
