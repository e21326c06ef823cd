// Dispatches the first argument to its command and answers --help, help COMMAND and --version.
#include <ostream>
#include <string_view>

#include "app/strings.h"
#include "cli/cli_message_ids.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/help_format.h"
#include "cli/interrupt.h"

namespace sealwise::cli {
namespace {

struct Command {
    std::string_view name;
    int summaryId;
    int (*run)(const Args&, Io&);
};

constexpr Command kCommands[] = {
    {"envelope", msg::kFirstCommandSummary + 0, RunEnvelope},
    {"encrypt-text", msg::kFirstCommandSummary + 1, RunEncryptText},
    {"decrypt-text", msg::kFirstCommandSummary + 2, RunDecryptText},
    {"encrypt", msg::kFirstCommandSummary + 3, RunEncrypt},
    {"decrypt", msg::kFirstCommandSummary + 4, RunDecrypt},
    {"list", msg::kFirstCommandSummary + 5, RunList},
    {"verify", msg::kVerifySummary, RunVerify},
    {"rate", msg::kFirstCommandSummary + 6, RunRate},
    {"generate", msg::kFirstCommandSummary + 7, RunGenerate},
    {"mail", msg::kFirstCommandSummary + 8, RunMail},
    {"bench", msg::kFirstCommandSummary + 9, RunBench},
};

const Command* Find(std::string_view name) {
    for (const auto& c : kCommands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

void PrintUsage(std::ostream& out) {
    out << GetResText(msg::kUsageLine) << "\n\n"
        << GetResText(msg::kToolPurpose) << "\n\n"
        << GetResText(msg::kCommandsHeading) << "\n";
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
        << GetResText(msg::kHelpCommandHint) << "\n"
        << GetResText(msg::kExitStatusLine) << "\n";
}

int UnknownCommand(Io& io, const std::string& name) {
    PrintError(io, GetResText(msg::kUnknownCommand, name), GetResText(msg::kCommandListHint));
    return kUsage;
}

}  // namespace

int SummaryIdOf(std::string_view command) {
    if (command.rfind("sealwise-cli ", 0) == 0) command.remove_prefix(13);
    const Command* c = Find(command);
    return c != nullptr ? c->summaryId : 0;
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
