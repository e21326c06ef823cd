// sealwise-cli encrypt [-o CONTAINER] PATH...: files and directory trees into one container.
#include <filesystem>
#include <istream>
#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/common.h"
#include "cli/interrupt.h"
#include "cli/job_reporter.h"
#include "cli/modern_commands.h"
#include "cli/passphrase_options.h"
#include "cli/path_args.h"
#include "files/format/entry_name.h"
#include "files/io/file_checks.h"
#include "files/jobs/encrypt_files_job.h"
#include "models/input_list.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDescription =
    "Encrypt files and directory trees into one container. A directory adds every file below "
    "it, stored under its path relative to the directory's parent; hidden files are included, "
    "symbolic links to files are followed. Links to directories, devices, FIFOs, sockets and "
    "unreadable directories are left out and reported, and so are names that would not come "
    "back unchanged (a backslash, a control character, bytes that are not UTF-8): the run then "
    "ends with status 1. Names are compared exactly, so README and readme are two entries. "
    "Two different inputs that would be stored under the same name (ca/x.txt and cb/x.txt are "
    "both stored as x.txt) are refused before anything is written: name a common parent "
    "directory instead. The container replaces an existing one only when at least one file "
    "was stored, and it never holds itself.";

// Answers the question about an existing container. The container to write, or nullopt when
// nothing is to be written (status holds the exit status then).
struct Destination {
    std::optional<std::string> container;
    int status = kOk;
};

bool AskYes(Io& io, const std::string& container) {
    io.err << GetResText(Msg::OverwriteQuestion, EscapeForDisplay(container)) << "\n"
           << GetResText(Msg::YesNoChoices) << " " << std::flush;
    std::string answer;
    return std::getline(io.in, answer) && !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

Destination ChooseDestination(Io& io, std::string container, bool overwrite, bool noOverwrite) {
    for (;;) {
        if (DirExists(container)) {
            PrintError(io, GetResText(Msg::ContainerIsDirectory, EscapeForDisplay(container)));
            return {std::nullopt, kFailure};
        }
        if (!FileExists(container) || overwrite) return {container, kOk};
        if (noOverwrite) {
            // Asked for explicitly: keeping the container is the expected outcome.
            io.err << "sealwise-cli: note: "
                   << GetResText(Msg::ContainerKept, EscapeForDisplay(container)) << "\n";
            return {std::nullopt, kOk};
        }
        if (!io.stdinIsTerminal) {
            PrintError(io, GetResText(Msg::NotOverwritten, EscapeForDisplay(container)),
                       GetResText(Msg::ContainerExistsHint));
            return {std::nullopt, kFailure};
        }
        if (AskYes(io, container)) return {container, kOk};
        io.err << GetResText(Msg::NewFileName) << " " << std::flush;
        std::string name;
        if (!std::getline(io.in, name) || name.empty()) {
            io.err << "sealwise-cli: note: " << GetResText(Msg::EncryptCancelled) << "\n";
            return {std::nullopt, kFailure};
        }
        container = AbsolutePath(name);
    }
}

// The list as the window's drop handler builds it, leaving out the container itself.
std::optional<InputList> CollectInputs(const std::vector<std::string>& paths,
                                       const std::string& container, Io& io) {
    InputList list;
    list.LeaveOut(container);
    bool duplicates = false;
    for (const auto& path : paths) {
        duplicates |= list.AddPath(AbsolutePath(path));
    }
    if (duplicates) {
        io.err << "sealwise-cli: note: " << GetResText(Msg::DuplicateSkipped) << "\n";
    }
    for (const SkippedInput& skipped : list.skipped()) {
        PrintError(io,
                   GetResText(skipped.stringId, EscapeForDisplay(skipped.path), skipped.detail));
    }
    if (list.empty()) {
        if (list.skipped().empty()) PrintError(io, GetResText(Msg::NoFilesToEncrypt));
        return std::nullopt;
    }
    return list;
}

int64_t TotalBytes(const std::vector<EncryptItem>& items) {
    int64_t total = 0;
    for (const auto& item : items) {
        std::error_code ec;
        const auto size = fs::file_size(item.path, ec);
        if (!ec) total += static_cast<int64_t>(size);
    }
    return total;
}

}  // namespace

int RunEncrypt(const Args& args, Io& io) {
    CLI::App app{kDescription, "encrypt"};
    std::string output;
    bool quiet = false, overwrite = false, noOverwrite = false;
    std::vector<std::string> paths;
    KeyOptions keys;
    FormatOptions format;
    app.add_option("-o,--output", output,
                   "the container to write (default: NAME.vesk beside the first input, named "
                   "after it: report.doc gives report.vesk, the directory proj gives proj.vesk "
                   "beside proj)");
    auto* overwriteFlag =
        app.add_flag("--overwrite", overwrite, "replace an existing container without asking");
    app.add_flag("--no-overwrite", noOverwrite,
                 "keep an existing container and write nothing (status 0)")
        ->excludes(overwriteFlag);
    app.add_flag("-q,--quiet", quiet, "no progress display");
    AddPassphraseOptions(app, keys);
    AddSharedKeyOption(app, keys);
    AddFormatOptions(app, format);
    app.add_option("paths", paths, "files and directories to encrypt")->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;
    if (int rc = CheckFormatOptions(format, io); rc >= 0) return rc;
    if (format.modern() && output == "-") {
        return RunModernEncrypt(paths, "-", quiet, keys, format, io);
    }

    for (const auto& path : paths) {
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(path, ec))) {
            PrintError(io, GetResText(Msg::PathMissing, EscapeForDisplay(path)));
            return kFailure;
        }
    }
    const std::string first = AbsolutePath(paths.front());
    const Destination destination = ChooseDestination(
        io, output.empty() ? DefaultContainerName(first, DirExists(first)) : AbsolutePath(output),
        overwrite, noOverwrite);
    if (!destination.container) return destination.status;
    const std::string& container = *destination.container;

    std::optional<InputList> list = CollectInputs(paths, container, io);
    if (!list) return kFailure;
    const std::size_t skipped = list->skipped().size();

    if (format.modern()) return RunModernEncrypt(paths, container, quiet, keys, format, io);

    const std::vector<EncryptItem> items = list->EncryptItems();
    const bool showProgress = io.stderrIsTerminal && !quiet;
    JobReporter reporter(io, showProgress);
    // Sizes only for the progress line: a stat per file is not free on large trees.
    if (showProgress) reporter.SetTotals(static_cast<int64_t>(items.size()), TotalBytes(items));
    EncryptSummary summary;
    try {
        Bytes key = ObtainKeyWithWarning(keys, io);
        WipeOnExit<Bytes> wipeKey(key);
        InterruptFlag interrupt;
        EncryptFilesJob job(reporter, interrupt.stopToken());
        summary = job.Run(items, container, key);
    } catch (const SealError& error) {
        reporter.Finish();
        return ReportFailure(io, error);
    }
    reporter.Finish();
    if (summary.outcome == JobOutcome::kCancelled) {
        PrintError(io, GetResText(Msg::EncryptCancelled));
        return kFailure;
    }
    if (output.empty() || !quiet) {
        io.out << GetResText(Msg::SavedAs, EscapeForDisplay(container)) << "\n";
    }
    const std::size_t failed = static_cast<std::size_t>(summary.failedFiles) + skipped;
    if (failed > 0) {
        PrintError(io, GetResText(Msg::FilesFailed, std::to_string(failed)));
        return kFailure;
    }
    return kOk;
}

}  // namespace sealwise::cli
