// sealwise-cli decrypt [-C OUTDIR] CONTAINER: restores every entry below the output directory.
#include <filesystem>
#include <ostream>

#include "app/strings.h"
#include "cli/common.h"
#include "cli/container_message_ids.h"
#include "cli/interrupt.h"
#include "cli/job_reporter.h"
#include "cli/passphrase_options.h"
#include "cli/path_args.h"
#include "files/decrypt_container_job.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {

int RunDecrypt(const Args& args, Io& io) {
    CLI::App app{
        "Restore every file of a container below an output directory, recreating its "
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
    AddPassphraseOptions(app, keys);
    AddSharedKeyOption(app, keys);
    app.add_option("container", container, "the container to decrypt")->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    if (outputDirectory.empty()) outputDirectory = ParentDirectory(container);
    std::error_code ec;
    std::filesystem::create_directories(outputDirectory, ec);
    if (ec) {
        PrintError(io, GetResText(msg::kCannotCreateOutput, outputDirectory) + " " + ec.message());
        return kFailure;
    }

    const OverwritePolicy policy = overwrite            ? OverwritePolicy::kOverwrite
                                   : keep               ? OverwritePolicy::kKeep
                                   : io.stdinIsTerminal ? OverwritePolicy::kAsk
                                                        : OverwritePolicy::kKeep;
    JobReporter reporter(io, io.stderrIsTerminal && !quiet, policy);
    DecryptSummary summary;
    try {
        Bytes key = ObtainKey(keys, PassphraseUse::kDecrypt);
        WipeOnExit<Bytes> wipeKey(key);
        reporter.SetTotalsFromContainer(container, key);
        InterruptFlag interrupt;
        DecryptContainerJob job(reporter, interrupt.flag());
        summary = job.Run(container, outputDirectory, key);
    } catch (const SealError& error) {
        reporter.Finish();
        return ReportFailure(io, error);
    }
    reporter.Finish();
    if (summary.outcome == JobOutcome::kCancelled) {
        PrintError(io, GetResText(msg::kDecryptCancelled));
        return kFailure;
    }
    return summary.failed > 0 || reporter.notOverwritten() > 0 ? kFailure : kOk;
}

}  // namespace sealwise::cli
