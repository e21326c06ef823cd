// sealwise-cli mail: posts the armour on stdin, with sender, recipient and an optional message,
// to the mail service, and reports its answer; or, with --print-mailto, prints a mailto: link
// that hands the armour to the desktop's mail program.
#include <algorithm>
#include <chrono>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "app/strings.h"
#include "cli/common.h"
#include "cli/text_input.h"
#include "mail/armour_shape.h"
#include "mail/control_escape.h"
#include "mail/mailto_link.h"
#include "mail/send_mail.h"
#include "text/line_breaks.h"
#include "util/errors.h"
#include "util/text_codec.h"

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

// The armour on standard input, checked: SealError when it is too long, not UTF-8, empty or
// not armour at all.
std::string ReadArmour(std::istream& in) {
    // Four bytes per character is the most UTF-8 needs; more cannot fit into a field.
    const std::optional<std::string> input = ReadAtMost(in, kMaxMailFieldChars * 4 + 2);
    if (!input) throw SealError(Msg::MailFieldTooLong, {}, "standard input too long");
    if (!IsValidUtf8(*input)) throw SealError(Msg::InputNotUtf8, {}, "input not UTF-8");
    std::string armour = ArmourFromInput(*input);
    if (armour.empty()) throw SealError(Msg::NoMailText, {}, "standard input empty");
    if (!IsWellFormedArmour(armour))
        throw SealError(Msg::MailTextNotArmour, {}, "input is not armour");
    return armour;
}

int PrintMailto(const MailForm& form, Io& io) {
    const std::string link = BuildMailtoLink({form.recipientAddress, GetResText(Msg::MailtoSubject),
                                              HandOffBody(form.message, form.text)});
    io.out << link << "\n";
    if (link.size() > kMailtoCommonLimit) {
        io.err << "sealwise-cli: warning: "
               << GetResText(Msg::LongMailto, {}, std::to_string(link.size())) << "\n";
    }
    return FinishOutput(io) ? kOk : kFailure;
}

}  // namespace

int RunMail(const Args& args, Io& io) {
    CLI::App app{
        "Send the encrypted text on standard input by e-mail through a Sealwise mail "
        "service, named by --mail-url or else the environment variable " +
            std::string(kMailServiceUrlVariable) +
            ". With --print-mailto, print a mailto: link instead that opens your own mail "
            "program with the encrypted text (no service needed).",
        "mail"};
    MailForm form;
    std::optional<std::string> mailUrl;
    int timeoutSeconds = 60;
    bool printMailto = false;
    app.add_option("--from-name", form.senderName, "your name (may be empty)");
    app.add_option("--from", form.senderAddress, "your e-mail address");
    app.add_option("--to", form.recipientAddress, "the recipient's e-mail address");
    app.add_option("--message", form.message,
                   "a message to the recipient, sent UNENCRYPTED; never put the passphrase here");
    app.add_option("--mail-url", mailUrl, "the mail service, http(s)://HOST[:PORT]");
    app.add_option("--timeout", timeoutSeconds, "seconds to wait for the service at most")
        ->check(CLI::Range(1, 600))
        ->capture_default_str();
    app.add_flag("--print-mailto", printMailto,
                 "print a mailto: link with the encrypted text as its body (--to and --message "
                 "go into it; links over 2000 characters are too long for some mail programs)");
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    if (!printMailto) {
        for (const char* option : {"--from-name", "--from", "--to"}) {
            if (app.count(option) == 0) {
                PrintError(io, std::string(option) + " is required", "sealwise-cli mail --help");
                return kUsage;
            }
        }
    }
    if (!IsValidUtf8(form.message) || !IsValidUtf8(form.senderName)) {
        PrintError(io, GetResText(Msg::InputNotUtf8));
        return kUsage;
    }
    std::optional<MailServiceUrl> url;
    if (!printMailto) {
        try {
            url = ResolveMailServiceUrl(mailUrl, MailServiceUrlFromEnvironment());
        } catch (const SealError& e) {
            PrintError(io, MessageText(e));
            return kUsage;
        }
        if (!url) {
            PrintError(io, GetResText(Msg::NoMailService),
                       "--print-mailto hands the text to your mail program; --mail-url or " +
                           std::string(kMailServiceUrlVariable) + " names a service");
            return kUsage;
        }
    }
    if (io.stdinIsTerminal) {
        PrintError(io, "the encrypted text is read from standard input",
                   "sealwise-cli encrypt-text < text.txt | sealwise-cli mail --from-name ... ");
        return kUsage;
    }

    try {
        form.text = ReadArmour(io.in);
        form.message = LfToCrLf(form.message);
        if (printMailto) return PrintMailto(form, io);

        MailTransferOptions options;
        options.totalTimeout = std::chrono::seconds(timeoutSeconds);
        options.connectTimeout = std::min(options.connectTimeout, options.totalTimeout);
        const MailSendResult result = SendMail(form, *url, options);
        // The answer comes from the network: nothing in it may steer the terminal.
        const std::string message = EscapeForTerminal(MailOutcomeMessage(result.outcome));
        if (result.outcome.kind == MailOutcomeKind::kSent) {
            io.out << message << "\n";
            io.out.flush();
            return kOk;
        }
        std::string hint;
        if (!result.transportError.empty()) {
            hint = "no answer from " + MailRequestUrl(*url) + " (" +
                   EscapeForTerminal(result.transportError) + "); --mail-url or " +
                   kMailServiceUrlVariable +
                   " names the service, --print-mailto hands the "
                   "text to your mail program";
        }
        PrintError(io, message, hint);
        return kFailure;
    } catch (const SealError& e) {
        PrintError(io, MessageText(e));
        return kFailure;
    }
}

}  // namespace sealwise::cli
