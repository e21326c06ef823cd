// sealwise-cli decrypt [-C OUTDIR] CONTAINER: restores every entry below the output directory.
#include <filesystem>
#include <ostream>

#include "cli/common.h"
#include "cli/container_key.h"
#include "cli/interrupt.h"
#include "cli/job_reporter.h"
#include "cli/messages.h"
#include "cli/path_args.h"
#include "files/decrypt_container_job.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {

int RunDecrypt(const Args& args, Io& io) {
    CLI::App app{"Restore every file of a container below an output directory, recreating its "
                 "directory structure.",
                 "decrypt"};
    std::string container, outputDirectory;
    bool overwrite = false, keep = false, quiet = false;
    KeyOptions keys;
    app.add_option("-C,--directory", outputDirectory,
                   "where to restore the files (default: the container's directory; created "
                   "when missing)");
    auto* overwriteFlag =
        app.add_flag("--overwrite", overwrite, "replace existing files without asking");
    app.add_flag("--no-overwrite", keep, "keep existing files (their entries are skipped)")
        ->excludes(overwriteFlag);
    app.add_flag("-q,--quiet", quiet, "no progress display");
    keys.AddTo(app);
    app.add_option("container", container, "the container to decrypt")->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    if (outputDirectory.empty()) outputDirectory = ParentDirectory(container);
    std::error_code ec;
    std::filesystem::create_directories(outputDirectory, ec);
    if (ec) {
        PrintError(io, "cannot create the output directory " + outputDirectory + ": " +
                           ec.message());
        return kFailure;
    }

    int status = kFailure;
    std::optional<Bytes> key = ObtainKey(keys, io, false, &status);
    if (!key) return status;
    WipeOnExit<Bytes> wipeKey(*key);

    const OverwritePolicy policy = overwrite ? OverwritePolicy::kOverwrite
                                   : keep    ? OverwritePolicy::kKeep
                                   : io.stdinIsTerminal ? OverwritePolicy::kAsk
                                                        : OverwritePolicy::kKeep;
    JobReporter reporter(io, io.stderrIsTerminal && !quiet, policy);
    InterruptFlag interrupt;
    DecryptContainerJob job(reporter, interrupt.flag());
    DecryptSummary summary;
    try {
        summary = job.Run(container, outputDirectory, *key);
    } catch (const SealError& error) {
        reporter.Finish();
        PrintError(io, MessageFor(error));
        return kFailure;
    }
    reporter.Finish();
    if (summary.outcome == JobOutcome::kCancelled) {
        PrintError(io, "cancelled; the files restored so far were kept");
        return kFailure;
    }
    return summary.failed > 0 || reporter.notOverwritten() > 0 ? kFailure : kOk;
}

}  // namespace sealwise::cli
