// FCrypt: the decrypt page (container, output directory) and decrypting a container (Command5).
#include <fcntl.h>

#include <QLineEdit>
#include <QPushButton>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/strings.h"
#include "files/io/posix_io.h"
#include "files/jobs/decrypt_container_job.h"
#include "files/jobs/message_ids.h"
#include "gui/app/localizer.h"
#include "gui/app/string_ids.h"
#include "gui/jobs/job_thread.h"
#include "gui/jobs/progress_relay.h"
#include "gui/jobs/window_job_observer.h"
#include "gui/main/container_dialogs.h"
#include "gui/main/fcrypt.h"
#include "gui/main/stored_format.h"
#include "gui/working/working_display.h"
#include "models/file_page_paths.h"
#include "modern/modern_restore.h"
#include "util/secure_wipe.h"

namespace sealwise::gui {

namespace {

constexpr int kSelectFileToDecrypt = 122;

struct DecryptRun {
    DecryptRun(QWidget& window, DesktopServices& services, JobThread& thread, ProgressRelay& relay)
        : observer(window, services, thread, relay, RunKind::kDecryptContainer),
          job(observer, thread.NewStopToken()) {}
    WindowJobObserver observer;
    DecryptContainerJob job;  // ends early only when the job thread requests stop
    std::string container;
    std::string outputDirectory;
    std::vector<Bytes> keys;  // the candidates, best first
    DecryptSummary summary;
    std::optional<SealError> failure;
    StoredFormat format = StoredFormat::kClassic;
    std::vector<std::string> secrets;  // the modern format: passphrase or shared keys
    std::atomic<bool> cancelModern{false};
    bool modernSound = false;  // every entry of a modern container restored or kept
};

void RunModern(DecryptRun& run) {
    const UniqueFd fd(::open(run.container.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) throw SystemErrorAt(errno, run.container);
    modern::FdSource source(fd.get());
    modern::ModernRestoreJob job(run.observer, &run.cancelModern);
    const modern::ModernRestoreSummary restored =
        job.Run(source, run.container, run.outputDirectory, run.secrets);
    run.summary.outcome = restored.outcome;
    run.modernSound = !restored.damaged && restored.failed == 0;
}

void RunDecrypt(DecryptRun& run) {
    try {
        // A directory typed into the field that does not exist yet is made.
        std::error_code ignored;
        std::filesystem::create_directories(run.outputDirectory, ignored);
        if (run.format == StoredFormat::kModern) {
            RunModern(run);
        } else {
            run.summary = run.job.Run(run.container, run.outputDirectory, run.keys);
        }
    } catch (const SealError& error) {
        run.failure = error;
    } catch (const std::exception& error) {
        run.failure = SealError(msg::kSystemError, error.what());
    }
    SecureWipe(run.keys);
    for (std::string& secret : run.secrets) SecureWipe(secret);
}

}  // namespace

void FCrypt::ConnectDecryptHandlers() {
    connect(files_.decryptFile, &QLineEdit::textChanged, this, &FCrypt::DecryptFileEdited);
    connect(files_.outputPath, &QLineEdit::editingFinished, this, &FCrypt::ValidateOutputPath);
    connect(files_.browseDecryptFile, &QPushButton::clicked, this,
            &FCrypt::BrowseDecryptFileClicked);
    connect(files_.browseOutputPath, &QPushButton::clicked, this, &FCrypt::BrowseOutputPathClicked);
    connect(pwd_.decryptFiles, &QPushButton::clicked, this, &FCrypt::DecryptFilesClicked);
    connect(pwd_.encryptFiles, &QPushButton::clicked, this, &FCrypt::EncryptFilesClicked);
}

// The output directory follows the container chosen.
void FCrypt::DecryptFileEdited(const QString& text) {
    if (text.isEmpty()) return;
    files_.outputPath->setText(QString::fromStdString(DirectoryWithSlash(text.toStdString())));
}

void FCrypt::ValidateOutputPath() {
    const std::string validated = ValidatedOutputDirectory(
        files_.outputPath->text().toStdString(), files_.decryptFile->text().toStdString());
    files_.outputPath->setText(QString::fromStdString(validated));
}

void FCrypt::BrowseDecryptFileClicked() {
    const QString chosen =
        services_.OpenFile(this, ContainerDialogFilter(), ResText(kSelectFileToDecrypt), QString());
    if (!chosen.isEmpty()) files_.decryptFile->setText(chosen);
}

void FCrypt::BrowseOutputPathClicked() {
    const QString folder = services_.BrowseFolder(this, QString());
    files_.outputPath->setText(folder.isEmpty() ? QString::fromStdString(OutputDirectoryAfterCancel(
                                                      files_.decryptFile->text().toStdString()))
                                                : folder);
    ValidateOutputPath();
}

void FCrypt::DecryptFilesClicked() {
    ValidateOutputPath();
    const std::string container = files_.decryptFile->text().toStdString();
    const std::string output = files_.outputPath->text().toStdString();
    if (pwd_.passphrase->text().isEmpty() || container.empty() || output.empty()) {
        ShowMessageId(msg::kCheckNamesAndPassword, MessageIcon::Error);
        return;
    }
    auto run = std::make_shared<DecryptRun>(*this, services_, *jobs_, *relay_);
    run->format = FormatOfContainer(container);
    const bool modern = run->format == StoredFormat::kModern;
    if (keyEntry_.sharedSecurity()) {
        try {
            if (modern) {
                run->secrets = keyEntry_.TakeSharedKeyTexts();
            } else {
                run->keys = keyEntry_.CombineKeyCandidates();
            }
        } catch (const SealError& error) {
            ShowFailure(error);  // a missing key: nothing has changed
            return;
        }
    }
    working_->SetLampPanelVisible(true);
    working_->SetLamps(kLampsAtStart);
    SetBusy(true, false);
    std::string passphrase = TakePassphrase();
    if (!keyEntry_.sharedSecurity()) {
        if (modern) {
            run->secrets.push_back(passphrase);
        } else {
            run->keys = CandidateKeys(passphrase);
        }
    }
    SecureWipe(passphrase);
    run->container = container;
    run->outputDirectory = output;

    RunJob([run] { RunDecrypt(*run); },
           [this, run] {
               run->cancelModern = true;
               jobs_->RequestStop();
           },
           [this, run] {
               EndJob();
               if (run->failure) {
                   ShowFailure(*run->failure);
               } else if (run->summary.outcome == JobOutcome::kCompleted &&
                          run->summary.failed == 0 &&
                          (run->format == StoredFormat::kClassic || run->modernSound)) {
                   ShowResultNote(FileDecryptedNote(run->format));
               }
           });
}

}  // namespace sealwise::gui
