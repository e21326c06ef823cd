// sealwise-cli decrypt-text: Base64 armour on stdin, the text as the text box shows it on
// stdout (UTF-8, line breaks as LF). Armour that no key opens to a notice line prints nothing.
#include <optional>
#include <string>

#include "cli/common.h"
#include "cli/modern_commands.h"
#include "cli/passphrase_options.h"
#include "cli/text_input.h"
#include "modern/modern_text.h"
#include "text/line_breaks.h"
#include "text/text_crypt.h"
#include "util/errors.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {

int RunDecryptText(const Args& args, Io& io) {
    CLI::App app{
        "Decrypt Base64 armour on standard input and print the text, notice line "
        "first, on standard output.",
        "decrypt-text"};
    KeyOptions keys;
    AddPassphraseOptions(app, keys);
    AddSharedKeyOption(app, keys);
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    try {
        const std::string armour = ReadAll(io.in);
        // Nothing but blanks and line breaks: refuse before asking for the passphrase.
        if (armour.find_first_not_of(" \t\r\n") == std::string::npos) {
            throw SealError(Msg::CheckNamesAndPassword, {}, "empty armour");
        }
        if (modern::LooksLikeModernArmour(armour)) return RunModernDecryptText(armour, keys, io);
        TextCryptJob job;
        std::optional<std::string> text = job.Decrypt(armour, ObtainCandidateKeys(keys));
        if (!text) return kFailure;  // not reachable without a cancel source
        WipeOnExit<std::string> wipeText(*text);
        std::string shown = CrLfToLf(*text);
        WipeOnExit<std::string> wipeShown(shown);
        return WriteOutput(io, shown) ? kOk : kFailure;
    } catch (const SealError& e) {
        return ReportFailure(io, e);
    }
}

}  // namespace sealwise::cli
