// Dispatches the first argument to its command and answers --help, help COMMAND and --version.
#include <ostream>
#include <string_view>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/help_format.h"
#include "cli/interrupt.h"

namespace sealwise::cli {
namespace {

struct Command {
    std::string_view name;
    Msg summaryId;
    int (*run)(const Args&, Io&);
};

constexpr Command kCommands[] = {
    {"envelope", Msg::EnvelopeSummary, RunEnvelope},
    {"encrypt-text", Msg::EncryptTextSummary, RunEncryptText},
    {"decrypt-text", Msg::DecryptTextSummary, RunDecryptText},
    {"encrypt", Msg::EncryptSummary, RunEncrypt},
    {"decrypt", Msg::DecryptSummary, RunDecrypt},
    {"list", Msg::ListSummary, RunList},
    {"verify", Msg::VerifySummary, RunVerify},
    {"rate", Msg::RateSummary, RunRate},
    {"generate", Msg::GenerateSummary, RunGenerate},
    {"mail", Msg::MailSummary, RunMail},
    {"bench", Msg::BenchSummary, RunBench},
};

const Command* Find(std::string_view name) {
    for (const auto& c : kCommands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

void PrintUsage(std::ostream& out) {
    out << GetResText(Msg::UsageLine) << "\n\n"
        << GetResText(Msg::ToolPurpose) << "\n\n"
        << GetResText(Msg::CommandsHeading) << "\n";
    constexpr std::size_t kIndent = 16;
    for (const auto& c : kCommands) {
        std::string summary = WrapText(GetResText(c.summaryId), 80 - kIndent);
        for (auto at = summary.find('\n'); at != std::string::npos;
             at = summary.find('\n', at + 1)) {
            summary.insert(at + 1, kIndent, ' ');
        }
        out << "  " << c.name << std::string(kIndent - 2 - c.name.size(), ' ') << summary << "\n";
    }
    out << "\n"
        << GetResText(Msg::HelpCommandHint) << "\n"
        << GetResText(Msg::ExitStatusLine) << "\n";
}

int UnknownCommand(Io& io, const std::string& name) {
    PrintError(io, GetResText(Msg::UnknownCommand, name), GetResText(Msg::CommandListHint));
    return kUsage;
}

}  // namespace

std::optional<Msg> SummaryIdOf(std::string_view command) {
    if (command.rfind("sealwise-cli ", 0) == 0) command.remove_prefix(13);
    const Command* c = Find(command);
    if (c == nullptr) return std::nullopt;
    return c->summaryId;
}

int Run(const Args& args, Io& io) {
    if (args.empty()) {
        PrintUsage(io.err);
        return kUsage;
    }
    const std::string& name = args[0];
    if (name == "help" && args.size() > 1) {
        // "help COMMAND" is "COMMAND --help".
        const Command* c = Find(args[1]);
        if (c == nullptr) return UnknownCommand(io, args[1]);
        return c->run({"--help"}, io);
    }
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(io.out);
        return kOk;
    }
    if (name == "--version" || name == "-V") {
        io.out << "sealwise-cli " << SEALWISE_VERSION_STRING << "\n";
        return kOk;
    }
    const Command* c = Find(name);
    if (c == nullptr) return UnknownCommand(io, name);
    ClearInterruptSignal();
    const int status = c->run(Args(args.begin() + 1, args.end()), io);
    // A job stopped by a signal has run its cancel path; report it as the signal would.
    if (status != kOk && InterruptSignal() != 0) return 128 + InterruptSignal();
    return status;
}

}  // namespace sealwise::cli
