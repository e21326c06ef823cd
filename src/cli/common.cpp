#include "cli/common.h"

#include <ostream>

namespace sealwise::cli {

void PrintError(Io& io, const std::string& message, const std::string& hint) {
    io.err << "sealwise-cli: error: " << message << "\n";
    if (!hint.empty()) io.err << "hint: " << hint << "\n";
}

int ParseArgs(CLI::App& app, const Args& args, Io& io) {
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 parses a reversed list
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        io.out << app.help();
        return kOk;
    } catch (const CLI::CallForAllHelp&) {
        io.out << app.help("", CLI::AppFormatMode::All);
        return kOk;
    } catch (const CLI::ParseError& e) {
        PrintError(io, e.what(), "run 'sealwise-cli " + app.get_name() + " --help' for usage");
        return kUsage;
    }
    return -1;
}

}  // namespace sealwise::cli
