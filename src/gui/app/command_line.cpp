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

}  // namespace

CommandLineRequest InterpretCommandLine(std::string_view line) {
    using Kind = CommandLineRequest::Kind;
    // A plain path, as file managers pass it: an existing container prepares its decryption,
    // any other existing file or directory is listed for encryption.
    std::error_code error;
    const auto status = std::filesystem::status(std::string(line), error);
    if (!line.empty() && !error && std::filesystem::exists(status)) {
        const std::string path(line);
        const bool container = std::filesystem::is_regular_file(status) && path.size() > 5 &&
                               StartsWithNoCase(line.substr(line.size() - 5), ".vesk");
        if (container) return {Kind::DecryptFile, path, DirectoryWithSeparator(path)};
        return {Kind::EncryptPath, path, {}};
    }
    if (StartsWithNoCase(line, kFilesEncrypt)) return {Kind::FilesEncrypt, {}, {}};
    if (StartsWithNoCase(line, kFilesDecrypt)) return {Kind::FilesDecrypt, {}, {}};
    if (StartsWithNoCase(line, kEncryptPath)) {
        const std::string path(line.substr(kEncryptPath.size()));
        if (path.empty()) return {};
        return {Kind::EncryptPath, path, {}};
    }
    if (StartsWithNoCase(line, kDecryptFile)) {
        const std::string path(line.substr(kDecryptFile.size()));
        return {Kind::DecryptFile, path, DirectoryWithSeparator(path)};
    }
    if (line.starts_with(kUsage)) return {Kind::Usage, {}, {}};
    return {};
}

ProgramArguments TakeProgramOptions(std::vector<std::string> arguments) {
    ProgramArguments result;
    const std::string withValue = std::string(kMailUrlOption) + "=";
    std::size_t next = 0;
    while (next < arguments.size()) {
        const std::string& argument = arguments[next];
        if (argument == kMailUrlOption) {
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

// The options the program actually understands: one file or directory to encrypt, or one
// container to decrypt (also as a plain path), or the bare file modes.
std::string UsageText(std::string_view executableName) {
    return "Parameters for Sealwise:\n" + std::string(executableName) +
           " [--mail-url <address>] [/setEncrFiles <file or directory>]|[/setDecrFile <file>]|"
           "[/fileE]|[/fileD]|[<file.vesk>]|[<file or directory>]";
}

}  // namespace sealwise::gui
