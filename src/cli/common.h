#pragma once
// Helpers shared by the commands: error output and option parsing with CLI11.
#include <CLI/CLI.hpp>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace sealwise {
class SealError;
}

namespace sealwise::cli {

// "sealwise-cli: error: MESSAGE" and, when given, "hint: HINT".
void PrintError(Io& io, const std::string& message, const std::string& hint = {});

// Prints a core failure in the current language and returns the failure status.
int ReportFailure(Io& io, const SealError& error);

// Flushes the output; reports that writing failed (message 416) and returns false when it did.
bool FinishOutput(Io& io);
// Writes data to the output and finishes it as above.
bool WriteOutput(Io& io, std::string_view data);

// Parses args with app; on --help prints it and returns kOk, on bad usage prints the error and
// returns kUsage; returns -1 when the command should go on.
int ParseArgs(CLI::App& app, const Args& args, Io& io);

}  // namespace sealwise::cli
