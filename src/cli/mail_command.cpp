// sealwise-cli mail: posts the armour on stdin, with sender, recipient and an optional message,
// to the mail service, and reports its answer.
#include <algorithm>
#include <chrono>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "app/strings.h"
#include "cli/common.h"
#include "cli/text_input.h"
#include "mail/send_mail.h"
#include "text/line_breaks.h"
#include "util/errors.h"

namespace sealwise::cli {
namespace {

// Reads at most limit bytes; nullopt when the input holds more.
std::optional<std::string> ReadAtMost(std::istream& in, std::size_t limit) {
    std::string data(limit + 1, '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<std::size_t>(in.gcount()));
    if (data.size() > limit) return std::nullopt;
    return data;
}

// The armour as the text box would hold it: CR LF between lines, no break at the end.
std::string ArmourFromInput(std::string_view input) {
    while (!input.empty() && (input.back() == '\n' || input.back() == '\r')) {
        input.remove_suffix(1);
    }
    return LfToCrLf(input);
}

}  // namespace

int RunMail(const Args& args, Io& io) {
    CLI::App app{
        "Send the encrypted text on standard input by e-mail through the Sealwise mail "
        "service. The service address comes from --mail-url, else the environment "
        "variable " +
            std::string(kMailServiceUrlVariable) + ", else http://" +
            std::string(kDefaultMailServiceHost) + ".",
        "mail"};
    MailForm form;
    std::optional<std::string> mailUrl;
    int timeoutSeconds = 60;
    app.add_option("--from-name", form.senderName, "your name (may be empty)")->required();
    app.add_option("--from", form.senderAddress, "your e-mail address")->required();
    app.add_option("--to", form.recipientAddress, "the recipient's e-mail address")->required();
    app.add_option("--message", form.message,
                   "a message to the recipient, sent UNENCRYPTED; never put the passphrase here");
    app.add_option("--mail-url", mailUrl, "the mail service, http://HOST[:PORT]");
    app.add_option("--timeout", timeoutSeconds, "seconds to wait for the service at most")
        ->check(CLI::Range(1, 600))
        ->capture_default_str();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    MailServiceUrl url;
    try {
        const std::optional<std::string> environment = MailServiceUrlFromEnvironment();
        url = ResolveMailServiceUrl(mailUrl, environment);
    } catch (const SealError& e) {
        PrintError(io, MessageText(e));
        return kUsage;
    }
    if (io.stdinIsTerminal) {
        PrintError(io, "the encrypted text is read from standard input",
                   "sealwise-cli encrypt-text < text.txt | sealwise-cli mail --from-name ... ");
        return kUsage;
    }

    try {
        // Four bytes per character is the most UTF-8 needs; more cannot fit into a field.
        const std::optional<std::string> input = ReadAtMost(io.in, kMaxMailFieldChars * 4 + 2);
        if (!input) throw SealError(kMailFieldTooLongId, {}, "standard input too long");
        if (!IsValidUtf8(*input)) throw SealError(405, {}, "input not UTF-8");
        form.text = ArmourFromInput(*input);
        if (form.text.empty()) throw SealError(kNoMailTextId, {}, "standard input empty");
        form.message = LfToCrLf(form.message);

        MailTransferOptions options;
        options.totalTimeout = std::chrono::seconds(timeoutSeconds);
        options.connectTimeout = std::min(options.connectTimeout, options.totalTimeout);
        const MailSendResult result = SendMail(form, url, options);
        const std::string message = MailOutcomeMessage(result.outcome);
        if (result.outcome.kind == MailOutcomeKind::kSent) {
            io.out << message << "\n";
            io.out.flush();
            return kOk;
        }
        std::string hint;
        if (!result.transportError.empty()) {
            hint = "no answer from " + MailRequestUrl(url) + " (" + result.transportError +
                   "); --mail-url or " + kMailServiceUrlVariable + " names the service";
        }
        PrintError(io, message, hint);
        return kFailure;
    } catch (const SealError& e) {
        PrintError(io, MessageText(e));
        return kFailure;
    }
}

}  // namespace sealwise::cli
