// FCrypt: encrypting the listed files into one container (Command4).
#include <QLineEdit>
#include <memory>
#include <optional>

#include "app/strings.h"
#include "files/io/file_checks.h"
#include "files/jobs/encrypt_files_job.h"
#include "files/jobs/message_ids.h"
#include "gui/app/localizer.h"
#include "gui/controls/progress_bar.h"
#include "gui/jobs/progress_relay.h"
#include "gui/jobs/window_job_observer.h"
#include "gui/main/container_dialogs.h"
#include "gui/main/fcrypt.h"
#include "gui/working/working_display.h"
#include "models/file_page_paths.h"
#include "util/secure_wipe.h"

namespace sealwise::gui {

namespace {

constexpr int kMemorizePassword = 190;

struct EncryptRun {
    EncryptRun(QWidget& window, DesktopServices& services, JobThread& thread, ProgressRelay& relay,
               const std::atomic<bool>* cancelRequested)
        : observer(window, services, thread, relay, RunKind::kEncryptFiles),
          job(observer, cancelRequested) {}
    WindowJobObserver observer;
    EncryptFilesJob job;
    std::vector<EncryptItem> items;
    std::string container;
    Bytes key;
    EncryptSummary summary;
    std::optional<SealError> failure;
};

}  // namespace

// The overwrite question for an existing container. No opens the save dialog at once, so that
// another name can be chosen without starting again; a cancelled dialog ends the command.
bool FCrypt::ConfirmContainerName() {
    if (!FileExists(inputs_.containerName)) return true;
    const QString question = QString::fromStdString(
        MessageText(SealError(msg::kOverwriteQuestion, inputs_.containerName)));
    if (services_.ShowMessage(this, question, MessageButtons::YesNo, MessageIcon::Question,
                              kProductName) == MessageAnswer::Yes) {
        // The old container is replaced only when the new one is complete.
        return true;
    }
    const QString chosen = WithContainerExtension(
        services_.SaveFile(this, ContainerDialogFilter(), kProductName,
                           QString::fromStdString(DirectoryWithSlash(inputs_.containerName))));
    if (chosen.isEmpty()) return false;
    inputs_.containerName = chosen.toStdString();
    files_.containerName->setText(chosen);
    return true;
}

void FCrypt::EncryptFilesClicked() {
    inputs_.containerName = files_.containerName->text().toStdString();
    if (inputs_.empty() || inputs_.containerName.empty()) {
        ShowMessageId(msg::kCheckNamesAndPassword, MessageIcon::Error);
        return;
    }
    if (!ConfirmContainerName()) return;
    if (services_.ShowMessage(this, ResText(kMemorizePassword), MessageButtons::OkCancel,
                              MessageIcon::Warning, kProductName) != MessageAnswer::Ok) {
        return;
    }

    working_->SetLampPanelVisible(true);
    working_->SetLamps(kLampsAtStart);
    working_->RunProgress()->setMax(static_cast<int>(inputs_.paths().size()));
    cancelRequested_ = false;
    SetBusy(true, false);
    if (pwd_.passphrase->text().isEmpty()) {
        SetBusy(false, false);
        ShowMessageId(msg::kCheckNamesAndPassword, MessageIcon::Error);
        return;
    }

    auto run = std::make_shared<EncryptRun>(*this, services_, *jobs_, *relay_, &cancelRequested_);
    run->items = inputs_.EncryptItems();
    run->container = inputs_.containerName;
    std::string passphrase = TakePassphrase();
    run->key = MakeKeyString(passphrase);
    SecureWipe(passphrase);

    RunJob(
        [run] {
            try {
                run->summary = run->job.Run(run->items, run->container, run->key);
            } catch (const SealError& error) {
                run->failure = error;
            } catch (const std::exception& error) {
                run->failure = SealError(msg::kSystemError, error.what());
            }
            SecureWipe(run->key);
        },
        [run] { run->job.RequestCancel(); },
        [this, run] {
            EndJob();
            if (run->failure) {
                ShowFailure(*run->failure);
            } else if (run->summary.outcome == JobOutcome::kCompleted) {
                services_.ShowMessage(
                    this,
                    QString::fromStdString(MessageText(SealError(msg::kSavedAs, run->container))),
                    MessageButtons::Ok, MessageIcon::Information, kProductName);
                inputs_.Clear();
                RefreshInputList();
            }
        });
}

}  // namespace sealwise::gui
