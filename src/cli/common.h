#pragma once
// Helpers shared by the commands: error output and option parsing with CLI11.
#include <CLI/CLI.hpp>
#include <string>

#include "cli/commands.h"

namespace sealwise::cli {

// "sealwise-cli: error: MESSAGE" and, when given, "hint: HINT".
void PrintError(Io& io, const std::string& message, const std::string& hint = {});

// Parses args with app; on --help prints it and returns kOk, on bad usage prints the error and
// returns kUsage; returns -1 when the command should go on.
int ParseArgs(CLI::App& app, const Args& args, Io& io);

}  // namespace sealwise::cli
