#include "gui/main/decrypt_files_page.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>

#include "app/msg.h"
#include "app/strings.h"
#include "files/jobs/decrypt_container_job.h"
#include "gui/app/localizer.h"
#include "gui/jobs/job_thread.h"
#include "gui/jobs/progress_relay.h"
#include "gui/jobs/window_job_observer.h"
#include "gui/main/container_dialogs.h"
#include "gui/main/file_job_run.h"
#include "gui/main/main_window.h"
#include "gui/main/passphrase_controller.h"
#include "gui/main/stored_format.h"
#include "gui/working/working_display.h"
#include "models/file_page_paths.h"
#include "modern/modern_jobs.h"
#include "util/secure_wipe.h"

namespace sealwise::gui {

namespace {

struct DecryptRun : FileJobRun<DecryptContainerJob, DecryptSummary> {
    DecryptRun(QWidget& window, DesktopServices& services, JobThread& thread, ProgressRelay& relay)
        : FileJobRun(window, services, thread, relay, RunKind::kDecryptContainer) {}
    std::string outputDirectory;
    std::vector<Bytes> keys;   // the candidates, best first
    bool modernSound = false;  // every entry of a modern container restored or kept
};

void RunModern(DecryptRun& run) {
    const modern::ModernRestoreSummary restored = modern::DecryptModernContainer(
        run.container, run.outputDirectory, run.secrets, run.observer, run.stop);
    run.summary.outcome = restored.outcome;
    run.modernSound = !restored.damaged && restored.failed == 0;
}

void RunDecrypt(DecryptRun& run) {
    run.failure = FailureOf([&] {
        // A directory typed into the field that does not exist yet is made.
        std::error_code ignored;
        std::filesystem::create_directories(run.outputDirectory, ignored);
        if (run.format == StoredFormat::kModern) {
            RunModern(run);
        } else {
            run.summary = run.job.Run(run.container, run.outputDirectory, run.keys);
        }
    });
    SecureWipe(run.keys);
    for (std::string& secret : run.secrets) SecureWipe(secret);
}

}  // namespace

DecryptFilesPage::DecryptFilesPage(MainWindow& window, DecryptPanel panel,
                                   PassphraseController& passphrase)
    : window_(window), panel_(panel), passphrase_(passphrase) {
    connect(panel_.decryptFile, &QLineEdit::textChanged, this, &DecryptFilesPage::ContainerEdited);
    connect(panel_.outputPath, &QLineEdit::editingFinished, this,
            &DecryptFilesPage::ValidateOutputPath);
    connect(panel_.browseDecryptFile, &QPushButton::clicked, this,
            &DecryptFilesPage::BrowseContainerClicked);
    connect(panel_.browseOutputPath, &QPushButton::clicked, this,
            &DecryptFilesPage::BrowseOutputPathClicked);
    connect(passphrase_.Panel().decryptFiles, &QPushButton::clicked, this,
            &DecryptFilesPage::DecryptClicked);
}

void DecryptFilesPage::Prepare(const std::string& container, const std::string& outputDirectory) {
    panel_.decryptFile->setText(QString::fromStdString(container));
    panel_.outputPath->setText(QString::fromStdString(outputDirectory));
}

// The output directory follows the container chosen.
void DecryptFilesPage::ContainerEdited(const QString& text) {
    if (text.isEmpty()) return;
    panel_.outputPath->setText(QString::fromStdString(DirectoryWithSlash(text.toStdString())));
}

void DecryptFilesPage::ValidateOutputPath() {
    const std::string validated = ValidatedOutputDirectory(
        panel_.outputPath->text().toStdString(), panel_.decryptFile->text().toStdString());
    panel_.outputPath->setText(QString::fromStdString(validated));
}

void DecryptFilesPage::BrowseContainerClicked() {
    const QString chosen = window_.Services().OpenFile(
        &window_, ContainerDialogFilter(), ResText(Msg::SelectFileToDecrypt), QString());
    if (!chosen.isEmpty()) panel_.decryptFile->setText(chosen);
}

void DecryptFilesPage::BrowseOutputPathClicked() {
    const QString folder = window_.Services().BrowseFolder(&window_, QString());
    panel_.outputPath->setText(folder.isEmpty() ? QString::fromStdString(OutputDirectoryAfterCancel(
                                                      panel_.decryptFile->text().toStdString()))
                                                : folder);
    ValidateOutputPath();
}

void DecryptFilesPage::DecryptClicked() {
    ValidateOutputPath();
    const std::string container = panel_.decryptFile->text().toStdString();
    const std::string output = panel_.outputPath->text().toStdString();
    if (passphrase_.Empty() || container.empty() || output.empty()) {
        window_.ShowMessageId(Msg::CheckNamesAndPassword, MessageIcon::Error);
        return;
    }
    auto run =
        std::make_shared<DecryptRun>(window_, window_.Services(), window_.Jobs(), window_.Relay());
    run->format = modern::DetectContainerFormat(container);
    DecryptSecrets secrets;
    try {
        secrets = passphrase_.TakeDecryptSecrets(run->format, [this] {
            window_.Working()->SetLampPanelVisible(true);
            window_.Working()->SetLamps(kLampsAtStart);
            window_.SetBusy(true, false);
        });
    } catch (const SealError& error) {
        window_.ShowFailure(error);  // a missing key: nothing has changed
        return;
    }
    run->secrets = std::move(secrets.texts);
    run->keys = std::move(secrets.keys);
    run->container = container;
    run->outputDirectory = output;

    window_.RunJob([run] { RunDecrypt(*run); }, [this] { window_.Jobs().RequestStop(); },
                   [this, run] {
                       window_.EndJob();
                       if (run->failure) {
                           window_.ShowFailure(*run->failure);
                       } else if (run->summary.outcome == JobOutcome::kCompleted &&
                                  run->summary.failed == 0 &&
                                  (run->format == StoredFormat::kClassic || run->modernSound)) {
                           window_.ShowResultNote(FileDecryptedNote(run->format));
                       }
                   });
}

}  // namespace sealwise::gui
