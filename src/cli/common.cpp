#include "cli/common.h"

#include <ostream>

#include "app/strings.h"
#include "files/entry_name.h"
#include "util/errors.h"

namespace sealwise::cli {

void PrintError(Io& io, const std::string& message, const std::string& hint) {
    io.err << "sealwise-cli: error: " << message << "\n";
    if (!hint.empty()) io.err << "hint: " << hint << "\n";
}

int ReportFailure(Io& io, const SealError& error) {
    // The argument may be a name read from a container: print it escaped.
    PrintError(io, MessageText(SealError(error.stringId(), EscapeForDisplay(error.argument()))));
    return kFailure;
}

bool FinishOutput(Io& io) {
    io.out.flush();
    if (io.out) return true;
    ReportFailure(io, SealError(416, {}, "writing the output failed"));
    return false;
}

bool WriteOutput(Io& io, std::string_view data) {
    io.out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return FinishOutput(io);
}

int ParseArgs(CLI::App& app, const Args& args, Io& io) {
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 parses a reversed list
    // Help and usage lines name the full command ("sealwise-cli encrypt").
    const std::string command = app.get_name();
    if (command.rfind("sealwise-cli", 0) != 0) app.name("sealwise-cli " + command);
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        io.out << app.help();
        return kOk;
    } catch (const CLI::CallForAllHelp&) {
        io.out << app.help("", CLI::AppFormatMode::All);
        return kOk;
    } catch (const CLI::ParseError& e) {
        PrintError(io, e.what(), "run '" + app.get_name() + " --help' for usage");
        return kUsage;
    }
    return -1;
}

}  // namespace sealwise::cli
