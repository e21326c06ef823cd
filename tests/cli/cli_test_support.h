#pragma once
// Runs sealwise-cli commands in-process with a given standard input.
#include <sstream>
#include <string>

#include "cli/commands.h"

namespace sealwise::cli {

struct Result {
    int status;
    std::string out, err;
};

inline Result RunCli(const Args& args, const std::string& input = {},
                     bool stdinIsTerminal = false) {
    std::istringstream in(input);
    std::ostringstream out, err;
    Io io{in, out, err};
    io.stdinIsTerminal = stdinIsTerminal;
    const int status = Run(args, io);
    return {status, out.str(), err.str()};
}

}  // namespace sealwise::cli
