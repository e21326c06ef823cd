// sealwise-cli encrypt [-o CONTAINER] PATH...: files and directory trees into one container.
#include <filesystem>
#include <istream>
#include <ostream>

#include "cli/common.h"
#include "cli/container_key.h"
#include "cli/interrupt.h"
#include "cli/job_reporter.h"
#include "cli/messages.h"
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
    io.err << MessageText(msg::kOverwriteQuestion, container) << "\n[y]es, [n]o: " << std::flush;
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

}  // namespace

int RunEncrypt(const Args& args, Io& io) {
    CLI::App app{"Encrypt files and directory trees into one container. A directory adds every "
                 "file below it, stored under its path relative to the directory's parent.",
                 "encrypt"};
    std::string output;
    bool quiet = false, overwrite = false;
    std::vector<std::string> paths;
    KeyOptions keys;
    app.add_option("-o,--output", output,
                   "the container to write (default: a new random name beside the first input, "
                   "or inside an expanded directory)");
    app.add_flag("--overwrite", overwrite, "replace an existing container without asking");
    app.add_flag("-q,--quiet", quiet, "no progress display");
    keys.AddTo(app);
    app.add_option("paths", paths, "files and directories to encrypt")->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    InputList list;
    bool duplicates = false;
    for (const auto& path : paths) {
        const std::string absolute = AbsolutePath(path);
        std::error_code ec;
        if (!fs::exists(absolute, ec)) {
            PrintError(io, path + ": no such file or directory");
            return kFailure;
        }
        duplicates |= list.AddPath(absolute);
    }
    if (duplicates) io.err << "sealwise-cli: note: " << MessageText(msg::kDuplicateSkipped) << "\n";
    if (list.empty()) {
        PrintError(io, "there are no files to encrypt", "the directories named hold no files");
        return kFailure;
    }
    list.ProposeOutputName(list.paths().front());
    const std::string container = output.empty() ? list.containerName : output;

    if (DirExists(container)) {
        PrintError(io, container + " is a directory", "name the container file with -o");
        return kFailure;
    }
    if (FileExists(container) && !overwrite) {
        if (!io.stdinIsTerminal) {
            PrintError(io, MessageText(msg::kNotOverwritten, container),
                       "use --overwrite to replace it, or -o to choose another name");
            return kFailure;
        }
        if (!ConfirmOverwrite(io, container)) return kFailure;
    }

    int status = kFailure;
    std::optional<Bytes> key = ObtainKey(keys, io, true, &status);
    if (!key) return status;
    WipeOnExit<Bytes> wipeKey(*key);

    const std::vector<EncryptItem> items = list.EncryptItems();
    JobReporter reporter(io, io.stderrIsTerminal && !quiet);
    reporter.SetTotals(static_cast<int64_t>(items.size()), TotalBytes(items));
    InterruptFlag interrupt;
    EncryptFilesJob job(reporter, interrupt.flag());
    EncryptSummary summary;
    try {
        summary = job.Run(items, container, *key);
    } catch (const SealError& error) {
        reporter.Finish();
        PrintError(io, MessageFor(error));
        return kFailure;
    }
    reporter.Finish();
    if (summary.outcome == JobOutcome::kCancelled) {
        PrintError(io, "cancelled; no container was written");
        return kFailure;
    }
    if (output.empty() || !quiet) io.out << MessageText(msg::kSavedAs, container) << "\n";
    if (summary.failedFiles > 0) {
        PrintError(io, std::to_string(summary.failedFiles) + " of " +
                           std::to_string(items.size()) +
                           " files could not be encrypted; the container holds the others");
        return kFailure;
    }
    return kOk;
}

}  // namespace sealwise::cli
