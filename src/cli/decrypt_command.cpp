// sealwise-cli decrypt [-C OUTDIR] CONTAINER: restores every entry below the output directory.
#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/common.h"
#include "cli/interrupt.h"
#include "cli/job_reporter.h"
#include "cli/modern_commands.h"
#include "cli/passphrase_options.h"
#include "cli/path_args.h"
#include "files/format/container_key.h"
#include "files/format/entry_name.h"
#include "files/jobs/decrypt_container_job.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

// --no-overwrite given: keeping existing files is what was asked for, so each one gets a
// note and the run still succeeds.
class KeepingReporter : public JobReporter {
  public:
    KeepingReporter(Io& io, bool showProgress)
        : JobReporter(io, showProgress, OverwritePolicy::kKeep), io_(io) {}

    OverwriteAnswer AskOverwrite(const std::string& path) override {
        Finish();  // clears the progress line
        io_.err << "sealwise-cli: " << GetResText(Msg::KeptExisting, EscapeForDisplay(path))
                << "\n";
        return {};
    }

  private:
    Io& io_;
};

}  // namespace

int RunDecrypt(const Args& args, Io& io) {
    CLI::App app{
        "Restore every file of a container below an output directory, recreating its "
        "directory structure.",
        "decrypt"};
    std::string container, outputDirectory;
    bool overwrite = false, keep = false, quiet = false, noSync = false;
    KeyOptions keys;
    app.add_option("-C,--directory", outputDirectory,
                   "where to restore the files (default: the container's directory; created "
                   "when missing, once the passphrase has proved right)");
    auto* overwriteFlag =
        app.add_flag("--overwrite", overwrite, "replace existing files without asking");
    app.add_flag("--no-overwrite", keep,
                 "keep existing files: their entries are skipped with a note, and the run "
                 "still succeeds")
        ->excludes(overwriteFlag);
    app.add_flag("--no-sync", noSync,
                 "do not wait until the restored files are on disk; they get there when the "
                 "system writes them back (files that replace existing ones are still flushed "
                 "first)");
    app.add_flag("-q,--quiet", quiet, "no progress display");
    AddPassphraseOptions(app, keys);
    AddSharedKeyOption(app, keys);
    app.add_option("container", container,
                   "the container to decrypt ('-': a modern one on standard input)")
        ->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    if (outputDirectory.empty()) outputDirectory = ParentDirectory(container);
    // Without a terminal to ask on, existing files are kept too, but that is a failure: the
    // caller did not say that keeping them is fine.
    const OverwritePolicy policy = overwrite            ? OverwritePolicy::kOverwrite
                                   : io.stdinIsTerminal ? OverwritePolicy::kAsk
                                                        : OverwritePolicy::kKeep;
    if (IsModernContainerArgument(container)) {
        return RunModernDecrypt(container, outputDirectory, keep ? OverwritePolicy::kKeep : policy,
                                quiet, keys, io);
    }
    const bool showProgress = io.stderrIsTerminal && !quiet;
    std::unique_ptr<JobReporter> reporter =
        keep ? std::make_unique<KeepingReporter>(io, showProgress)
             : std::make_unique<JobReporter>(io, showProgress, policy);
    DecryptSummary summary;
    try {
        std::vector<Bytes> candidates = ObtainCandidateKeys(keys);
        WipeOnExit<std::vector<Bytes>> wipeKeys(candidates);
        reporter->SetTotalsFromContainer(container, ChooseContainerKey(container, candidates));
        InterruptFlag interrupt;
        DecryptContainerJob job(*reporter, interrupt.stopToken());
        job.SetSyncRestoredFiles(!noSync);
        summary = job.Run(container, outputDirectory, candidates);
    } catch (const SealError& error) {
        reporter->Finish();
        return ReportFailure(io, error);
    }
    reporter->Finish();
    if (summary.outcome == JobOutcome::kCancelled) {
        PrintError(io, GetResText(Msg::DecryptCancelled));
        return kFailure;
    }
    return summary.failed > 0 || reporter->notOverwritten() > 0 ? kFailure : kOk;
}

}  // namespace sealwise::cli
