#include "gui/app/command_line.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace sealwise::gui {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

constexpr std::string_view kFilesEncrypt = "/filee";
constexpr std::string_view kFilesDecrypt = "/filed";
constexpr std::string_view kEncryptPath = "/setencrfiles ";
constexpr std::string_view kDecryptFile = "/setdecrfile ";
constexpr std::string_view kUsage = "/?";

bool Exists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error) && !error;
}

}  // namespace

bool IsContainerFile(const std::string& path) {
    std::error_code error;
    return path.size() > 5 &&
           StartsWithNoCase(std::string_view(path).substr(path.size() - 5), ".vesk") &&
           std::filesystem::is_regular_file(path, error) && !error;
}

CommandLineRequest InterpretCommandLine(std::string_view line) {
    using Kind = CommandLineRequest::Kind;
    // A plain path, as file managers pass it: an existing container prepares its decryption,
    // any other existing file or directory is listed for encryption.
    const std::string whole(line);
    if (Exists(whole)) {
        if (IsContainerFile(whole))
            return {Kind::DecryptFile, whole, DirectoryWithSeparator(whole), {}};
        return {Kind::EncryptPath, whole, {}, {}};
    }
    if (StartsWithNoCase(line, kFilesEncrypt)) return {Kind::FilesEncrypt, {}, {}, {}};
    if (StartsWithNoCase(line, kFilesDecrypt)) return {Kind::FilesDecrypt, {}, {}, {}};
    if (StartsWithNoCase(line, kEncryptPath)) {
        const std::string path(line.substr(kEncryptPath.size()));
        if (path.empty()) return {};
        return {Kind::EncryptPath, path, {}, {}};
    }
    if (StartsWithNoCase(line, kDecryptFile)) {
        const std::string path(line.substr(kDecryptFile.size()));
        return {Kind::DecryptFile, path, DirectoryWithSeparator(path), {}};
    }
    if (line.starts_with(kUsage)) return {Kind::Usage, {}, {}, {}};
    return {};
}

CommandLineRequest InterpretArguments(const std::vector<std::string>& arguments) {
    CommandLineRequest request = InterpretCommandLine(JoinArguments(arguments));
    if (request.kind != CommandLineRequest::Kind::None || arguments.size() < 2) return request;
    request.kind = CommandLineRequest::Kind::Paths;
    request.paths = arguments;
    return request;
}

SortedPaths SortPaths(const std::vector<std::string>& paths) {
    SortedPaths sorted;
    for (const std::string& path : paths) {
        if (!Exists(path)) {
            sorted.missing.push_back(path);
        } else if (IsContainerFile(path)) {
            sorted.containers.push_back(path);
        } else {
            sorted.others.push_back(path);
        }
    }
    return sorted;
}

ProgramArguments TakeProgramOptions(std::vector<std::string> arguments) {
    ProgramArguments result;
    const std::string withValue = std::string(kMailUrlOption) + "=";
    std::size_t next = 0;
    while (next < arguments.size()) {
        const std::string& argument = arguments[next];
        if (argument == "--help" || argument == "-h") {
            result.help = true;
            ++next;
        } else if (argument == "--version") {
            result.version = true;
            ++next;
        } else if (argument == kMailUrlOption) {
            const bool hasValue = next + 1 < arguments.size();
            result.mailUrl = hasValue ? arguments[next + 1] : std::string();
            next += hasValue ? 2 : 1;
        } else if (argument.starts_with(withValue)) {
            result.mailUrl = argument.substr(withValue.size());
            ++next;
        } else {
            break;
        }
    }
    result.rest.assign(std::make_move_iterator(arguments.begin() + static_cast<long>(next)),
                       std::make_move_iterator(arguments.end()));
    return result;
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string joined;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) joined += ' ';
        joined += arguments[i];
    }
    return joined;
}

std::string DirectoryWithSeparator(std::string_view path) {
    const auto last = path.find_last_of("/\\");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

// The options the program actually understands, one alternative per line so that no line
// is broken inside an option.
std::string UsageText(std::string_view executableName) {
    const std::string program(executableName);
    return "Parameters for Sealwise:\n" + program + " [--mail-url <address>]\n" +
           "  [/setEncrFiles <file or directory>]\n"
           "  [/setDecrFile <file>]\n"
           "  [/fileE] | [/fileD]\n"
           "  [<file.vesk>] | [<files or directories>...]";
}

std::string HelpText(std::string_view executableName) {
    const std::string program(executableName);
    return "Usage: " + program + " [OPTION]... [/fileE | /fileD | /setEncrFiles PATH |\n" +
           std::string(program.size() + 8, ' ') +
           "/setDecrFile FILE | /? | PATH...]\n"
           "Encrypts texts, files and directory trees with a passphrase (desktop program).\n"
           "\n"
           "  /fileE              open on file encryption\n"
           "  /fileD              open on file decryption\n"
           "  /setEncrFiles PATH  list a file or a directory tree for encryption\n"
           "  /setDecrFile FILE   prepare decrypting a container\n"
           "  PATH...             files and directories to encrypt; the first .vesk container\n"
           "                      given is prepared for decryption\n"
           "  /?                  show the parameters in a window\n"
           "  --mail-url URL      the mail service the e-mail window sends to\n"
           "  -h, --help          print this help and exit\n"
           "  --version           print the version and exit\n"
           "\n"
           "The welcome window opens first; the main window applies these when Start is pressed.\n"
           "For scripts use sealwise-cli.\n";
}

std::string VersionText() { return std::string("sealwise ") + SEALWISE_VERSION_STRING + "\n"; }

}  // namespace sealwise::gui
