#include "cli/common.h"

#include <ostream>

namespace sealwise::cli {

void PrintError(Io& io, const std::string& message, const std::string& hint) {
    io.err << "sealwise-cli: error: " << message << "\n";
    if (!hint.empty()) io.err << "hint: " << hint << "\n";
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
