#pragma once
// Helpers shared by the commands: error output and option parsing with CLI11.
#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "app/msg.h"
#include "cli/commands.h"

namespace sealwise {
class SealError;
}

namespace sealwise::cli {

// "sealwise-cli: error: MESSAGE" and, when given, "hint: HINT", with the prefixes in the current
// language. A message that starts with the string table's own "Error:" loses it, so that the
// prefix never appears twice.
void PrintError(Io& io, const std::string& message, const std::string& hint = {});
// "sealwise-cli: warning: MESSAGE" and "sealwise-cli: note: MESSAGE".
void PrintWarning(Io& io, const std::string& message);
void PrintNote(Io& io, const std::string& message);

// The text of a core failure in the current language. Where the core gives one general message
// for several causes (114: empty text, empty passphrase, input that is not armour), the
// command line names the cause instead.
std::string CliMessageText(const SealError& error);

// Prints a core failure as CliMessageText does and returns the failure status.
int ReportFailure(Io& io, const SealError& error);

// Flushes the output; reports that writing failed (OutputNotWritten) and returns false when it did.
bool FinishOutput(Io& io);
// Writes data to the output and finishes it as above.
bool WriteOutput(Io& io, std::string_view data);

// The one-line summary of a command; nullopt for an unknown command.
std::optional<Msg> SummaryIdOf(std::string_view command);

// Parses args with app; on --help prints it and returns kOk, on bad usage prints the error and
// returns kUsage; returns -1 when the command should go on.
int ParseArgs(CLI::App& app, const Args& args, Io& io);

}  // namespace sealwise::cli
