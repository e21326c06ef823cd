// sealwise-cli encrypt [-o CONTAINER] PATH...: files and directory trees into one container.
#include <filesystem>
#include <istream>
#include <ostream>

#include "app/strings.h"
#include "cli/common.h"
#include "cli/container_message_ids.h"
#include "cli/interrupt.h"
#include "cli/job_reporter.h"
#include "cli/modern_commands.h"
#include "cli/passphrase_options.h"
#include "cli/path_args.h"
#include "files/encrypt_files_job.h"
#include "files/file_checks.h"
#include "files/input_list.h"
#include "files/message_ids.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

namespace fs = std::filesystem;

bool ConfirmOverwrite(Io& io, const std::string& container) {
    io.err << GetResText(sealwise::msg::kOverwriteQuestion, container) << "\n"
           << GetResText(msg::kYesNoChoices) << " " << std::flush;
    std::string answer;
    return std::getline(io.in, answer) && !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
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

// The list as the window's drop handler builds it: every path added, a name proposed.
std::optional<InputList> CollectInputs(const std::vector<std::string>& paths, Io& io) {
    InputList list;
    bool duplicates = false;
    for (const auto& path : paths) {
        std::error_code ec;
        if (!fs::exists(path, ec)) {
            PrintError(io, GetResText(msg::kPathMissing, path));
            return std::nullopt;
        }
        duplicates |= list.AddPath(AbsolutePath(path));
    }
    if (duplicates) {
        io.err << "sealwise-cli: note: " << GetResText(sealwise::msg::kDuplicateSkipped) << "\n";
    }
    if (list.empty()) {
        PrintError(io, GetResText(msg::kNoFilesToEncrypt));
        return std::nullopt;
    }
    list.ProposeOutputName(list.paths().front());
    return list;
}

}  // namespace

int RunEncrypt(const Args& args, Io& io) {
    CLI::App app{
        "Encrypt files and directory trees into one container. A directory adds every "
        "file below it, stored under its path relative to the directory's parent.",
        "encrypt"};
    std::string output;
    bool quiet = false, overwrite = false;
    std::vector<std::string> paths;
    KeyOptions keys;
    FormatOptions format;
    app.add_option("-o,--output", output,
                   "the container to write (default: a new random name beside the first input, "
                   "or inside an expanded directory)");
    app.add_flag("--overwrite", overwrite, "replace an existing container without asking");
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

    std::optional<InputList> list = CollectInputs(paths, io);
    if (!list) return kFailure;
    const std::string container = output.empty() ? list->containerName : output;
    if (DirExists(container)) {
        PrintError(io, GetResText(msg::kContainerIsDirectory, container));
        return kFailure;
    }
    if (FileExists(container) && !overwrite) {
        if (!io.stdinIsTerminal) {
            PrintError(io, GetResText(sealwise::msg::kNotOverwritten, container),
                       GetResText(msg::kContainerExistsHint));
            return kFailure;
        }
        if (!ConfirmOverwrite(io, container)) return kFailure;
    }

    if (format.modern()) return RunModernEncrypt(paths, container, quiet, keys, format, io);

    const std::vector<EncryptItem> items = list->EncryptItems();
    JobReporter reporter(io, io.stderrIsTerminal && !quiet);
    reporter.SetTotals(static_cast<int64_t>(items.size()), TotalBytes(items));
    EncryptSummary summary;
    try {
        Bytes key = ObtainKeyWithWarning(keys, io);
        WipeOnExit<Bytes> wipeKey(key);
        InterruptFlag interrupt;
        EncryptFilesJob job(reporter, interrupt.flag());
        summary = job.Run(items, container, key);
    } catch (const SealError& error) {
        reporter.Finish();
        return ReportFailure(io, error);
    }
    reporter.Finish();
    if (summary.outcome == JobOutcome::kCancelled) {
        PrintError(io, GetResText(msg::kEncryptCancelled));
        return kFailure;
    }
    if (output.empty() || !quiet) {
        io.out << GetResText(sealwise::msg::kSavedAs, container) << "\n";
    }
    if (summary.failedFiles > 0) {
        PrintError(io, GetResText(msg::kFilesFailed, std::to_string(summary.failedFiles)));
        return kFailure;
    }
    return kOk;
}

}  // namespace sealwise::cli
