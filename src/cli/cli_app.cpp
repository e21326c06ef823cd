// Dispatches the first argument to its command and answers --help and --version.
#include <functional>
#include <ostream>
#include <string_view>

#include "cli/commands.h"
#include "cli/common.h"

namespace sealwise::cli {
namespace {

struct Command {
    std::string_view name;
    std::string_view summary;
    int (*run)(const Args&, Io&);
};

constexpr Command kCommands[] = {
    {"envelope", "encrypt or decrypt raw bytes with the cipher envelope (stdin to stdout)",
     RunEnvelope},
    {"encrypt-text", "encrypt the text on stdin into Base64 armour", RunEncryptText},
    {"decrypt-text", "decrypt Base64 armour on stdin and print the text", RunDecryptText},
    {"encrypt", "encrypt files and directory trees into one container", RunEncrypt},
    {"decrypt", "restore the files of a container below a directory", RunDecrypt},
    {"list", "list the entries of a container with their sizes", RunList},
    {"verify", "check every entry of a container without writing anything", RunVerify},
    {"rate", "rate a passphrase: score, verdict, stars and lamps", RunRate},
    {"generate", "print a random 32-character passphrase", RunGenerate},
    {"mail", "send the armour on stdin by e-mail through the mail service", RunMail},
    {"bench", "measure the throughput of each processing stage on this machine", RunBench},
};

void PrintUsage(std::ostream& out) {
    out << "Usage: sealwise-cli COMMAND [OPTIONS]...\n\n"
           "Sealwise protects texts, files and directory trees with a passphrase.\n\n"
           "Commands:\n";
    for (const auto& c : kCommands) {
        out << "  " << c.name << std::string(14 - c.name.size(), ' ') << c.summary << "\n";
    }
    out << "\nRun 'sealwise-cli COMMAND --help' for the options of a command.\n"
           "Exit status: 0 success, 1 failure, 2 wrong usage.\n";
}

}  // namespace

int Run(const Args& args, Io& io) {
    if (args.empty()) {
        PrintUsage(io.err);
        return kUsage;
    }
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(io.out);
        return kOk;
    }
    if (name == "--version" || name == "-V") {
        io.out << "sealwise-cli " << SEALWISE_VERSION_STRING << "\n";
        return kOk;
    }
    for (const auto& c : kCommands) {
        if (c.name == name) return c.run(Args(args.begin() + 1, args.end()), io);
    }
    PrintError(io, "unknown command '" + name + "'", "run 'sealwise-cli --help' for the list");
    return kUsage;
}

}  // namespace sealwise::cli
