#pragma once
// The desktop program's command line: one text (the arguments joined with blanks), of which
// only a prefix is compared, case-insensitively. The first matching option decides.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sealwise::gui {

struct CommandLineRequest {
    enum class Kind {
        None,          // open normally on files / encrypt
        FilesEncrypt,  // "/filee": files / encrypt
        FilesDecrypt,  // "/filed": files / decrypt
        EncryptPath,   // "/setencrfiles <path>": list the file or directory tree
        DecryptFile,   // "/setdecrfile <path>": prepare decrypting the container
        Usage,         // "/?": show the usage text
        Paths,         // several paths, as a file manager passes a selection
    };
    Kind kind = Kind::None;
    std::string path;                // EncryptPath, DecryptFile: the rest of the line, as passed
    std::string outputDirectory;     // DecryptFile: the path up to and including its last separator
    std::vector<std::string> paths;  // Paths: each argument
};

CommandLineRequest InterpretCommandLine(std::string_view commandLine);

// The arguments after the program's options. Read as one line first (so an unquoted path with
// blanks and every option keep their meaning); when that line means nothing and there are
// several arguments, each one is a path of its own.
CommandLineRequest InterpretArguments(const std::vector<std::string>& arguments);

// Paths from the command line, sorted by what the window does with them.
struct SortedPaths {
    std::vector<std::string> containers;  // ".vesk" files: the first is prepared for decryption
    std::vector<std::string> others;      // files and directories to encrypt
    std::vector<std::string> missing;     // paths that do not exist
};
SortedPaths SortPaths(const std::vector<std::string>& paths);

// Whether `path` names an existing regular file with the container extension (any case).
bool IsContainerFile(const std::string& path);

// The program's own options, which come before the command line above.
struct ProgramArguments {
    std::vector<std::string> rest;       // what the command line is made of
    std::optional<std::string> mailUrl;  // "--mail-url URL" or "--mail-url=URL"
    bool help = false;                   // "--help" or "-h": print the usage and end
    bool version = false;                // "--version": print the version and end
};

inline constexpr std::string_view kMailUrlOption = "--mail-url";

// Takes leading "--mail-url", "--help", "-h" and "--version" options out of the arguments after the
// program's name (the last one counts); everything from the first other argument on is left as it
// is, so a path after
// "/setencrfiles" is never taken for an option. A "--mail-url" without a value gives an empty
// address, which the mail window reports as invalid.
ProgramArguments TakeProgramOptions(std::vector<std::string> arguments);

// The arguments after the program's name as one text.
std::string JoinArguments(const std::vector<std::string>& arguments);

// The directory part of a path, up to and including its last "/" or "\"; empty when it has
// none.
std::string DirectoryWithSeparator(std::string_view path);

// The text of the usage box for the program file named `executableName` (no extension).
std::string UsageText(std::string_view executableName);

// What "--help" and "--version" print on standard output.
std::string HelpText(std::string_view executableName);
std::string VersionText();

}  // namespace sealwise::gui
