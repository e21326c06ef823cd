// sealwise-cli generate: one random 32-character passphrase, as the "Create random" button
// makes it.
#include <ostream>

#include "cli/common.h"
#include "passphrase/generator.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {

int RunGenerate(const Args& args, Io& io) {
    CLI::App app{
        "Print a random passphrase of 32 characters drawn uniformly from the 94 "
        "characters blank to '}' (it may begin or end with a blank) and a newline.",
        "generate"};
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    std::string passphrase = GeneratePassphrase();
    WipeOnExit<std::string> wipePassphrase(passphrase);
    io.out << passphrase << "\n";
    return FinishOutput(io) ? kOk : kFailure;
}

}  // namespace sealwise::cli
