#pragma once
// Every sealwise-cli command runs through one of these functions, so that tests can call it
// in-process as well as through the binary. args excludes the program and command names.
#include <iosfwd>
#include <string>
#include <vector>

namespace sealwise::cli {

using Args = std::vector<std::string>;

struct Io {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool stderrIsTerminal = false;  // progress bars only on a terminal
    bool stdinIsTerminal = false;   // prompts only on a terminal
};

// Exit statuses.
constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

// Runs a whole command line (args[0] is the command name).
int Run(const Args& args, Io& io);

int RunEnvelope(const Args& args, Io& io);
int RunEncryptText(const Args& args, Io& io);
int RunDecryptText(const Args& args, Io& io);
int RunEncrypt(const Args& args, Io& io);
int RunDecrypt(const Args& args, Io& io);
int RunList(const Args& args, Io& io);
int RunVerify(const Args& args, Io& io);
int RunRate(const Args& args, Io& io);
int RunGenerate(const Args& args, Io& io);
int RunMail(const Args& args, Io& io);
int RunBench(const Args& args, Io& io);

}  // namespace sealwise::cli
