// EncryptFilesPage: encrypting the listed files into one container (Command4), in the classic
// or the modern format.
#include <QCheckBox>
#include <QLineEdit>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>

#include "app/msg.h"
#include "app/strings.h"
#include "files/io/file_checks.h"
#include "files/jobs/encrypt_files_job.h"
#include "gui/app/localizer.h"
#include "gui/controls/progress_bar.h"
#include "gui/jobs/job_thread.h"
#include "gui/jobs/progress_relay.h"
#include "gui/jobs/window_job_observer.h"
#include "gui/main/container_dialogs.h"
#include "gui/main/encrypt_files_page.h"
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

struct EncryptRun : FileJobRun<EncryptFilesJob, EncryptSummary> {
    EncryptRun(QWidget& window, DesktopServices& services, JobThread& thread, ProgressRelay& relay)
        : FileJobRun(window, services, thread, relay, RunKind::kEncryptFiles) {}
    std::vector<EncryptItem> items;
    Bytes key;
};

// The modern container keeps the listed files under their entry names ("\" between
// components in the list, "/" in the container); a file added on its own keeps its own name.
std::vector<modern::NamedInput> NamedInputs(const std::vector<EncryptItem>& items) {
    std::vector<modern::NamedInput> inputs;
    for (const EncryptItem& item : items) {
        std::string name = item.relativeName;
        if (name == "\\") {
            name = std::filesystem::path(item.path).filename().string();
        } else {
            std::replace(name.begin(), name.end(), '\\', '/');
            name.erase(0, name.find_first_not_of('/'));
        }
        inputs.push_back({item.path, std::move(name)});
    }
    return inputs;
}

// Written beside its final name and given it only when the whole container is written; a
// container without one stored file replaces nothing, as in the classic format.
void RunModern(EncryptRun& run) {
    const modern::ModernWriteSummary written = modern::EncryptModernContainer(
        NamedInputs(run.items), std::filesystem::absolute(run.container).string(), run.secrets, {},
        run.observer, run.stop);
    run.summary.outcome = written.outcome;
    run.summary.failedFiles = written.failed;
}

}  // namespace

// The overwrite question for an existing container. No opens the save dialog at once, so that
// another name can be chosen without starting again; a cancelled dialog ends the command.
bool EncryptFilesPage::ConfirmContainerName() {
    if (!FileExists(inputs_.containerName)) return true;
    const QString question =
        QString::fromStdString(MessageText(Message{Msg::OverwriteQuestion, inputs_.containerName}));
    if (window_.Services().ShowMessage(&window_, question, MessageButtons::YesNo,
                                       MessageIcon::Question, kProductName) == MessageAnswer::Yes) {
        // The old container is replaced only when the new one is complete.
        return true;
    }
    const QString chosen = WithContainerExtension(window_.Services().SaveFile(
        &window_, ContainerDialogFilter(), kProductName,
        QString::fromStdString(DirectoryWithSlash(inputs_.containerName))));
    if (chosen.isEmpty()) return false;
    inputs_.containerName = chosen.toStdString();
    panel_.containerName->setText(chosen);
    return true;
}

void EncryptFilesPage::EncryptClicked() {
    inputs_.containerName = panel_.containerName->text().toStdString();
    if (inputs_.empty() || inputs_.containerName.empty()) {
        window_.ShowMessageId(Msg::CheckNamesAndPassword, MessageIcon::Error);
        return;
    }
    if (!ConfirmContainerName()) return;
    if (window_.Services().ShowMessage(&window_, ResText(Msg::MemorizePassword),
                                       MessageButtons::OkCancel, MessageIcon::Warning,
                                       kProductName) != MessageAnswer::Ok) {
        return;
    }

    window_.Working()->SetLampPanelVisible(true);
    window_.Working()->SetLamps(kLampsAtStart);
    window_.Working()->RunProgress()->setMax(static_cast<int>(inputs_.paths().size()));
    window_.CancelFlag() = false;
    window_.SetBusy(true, false);
    if (passphrase_.Empty()) {
        window_.SetBusy(false, false);
        window_.ShowMessageId(Msg::CheckNamesAndPassword, MessageIcon::Error);
        return;
    }

    auto run =
        std::make_shared<EncryptRun>(window_, window_.Services(), window_.Jobs(), window_.Relay());
    // Cancel came while the window turned busy.
    if (window_.CancelFlag()) window_.Jobs().RequestStop();
    run->items = inputs_.EncryptItems();
    run->container = inputs_.containerName;
    std::string passphrase = passphrase_.TakePassphrase();
    if (panel_.modernFormat->isChecked()) {
        run->format = StoredFormat::kModern;
        run->secrets.push_back(passphrase);
    } else {
        run->key = MakeKeyString(passphrase);
    }
    SecureWipe(passphrase);

    window_.RunJob(
        [run] {
            run->failure = FailureOf([&] {
                if (run->format == StoredFormat::kModern) {
                    RunModern(*run);
                } else {
                    run->summary = run->job.Run(run->items, run->container, run->key);
                }
            });
            SecureWipe(run->key);
            for (std::string& secret : run->secrets) SecureWipe(secret);
        },
        [this] { window_.Jobs().RequestStop(); },
        [this, run] {
            window_.EndJob();
            if (run->failure) {
                window_.ShowFailure(*run->failure);
            } else if (run->summary.outcome == JobOutcome::kCompleted) {
                window_.Services().ShowMessage(
                    &window_,
                    QString::fromStdString(MessageText(Message{Msg::SavedAs, run->container})),
                    MessageButtons::Ok, MessageIcon::Information, kProductName);
                inputs_.Clear();
                RefreshList();
            }
        });
}

}  // namespace sealwise::gui
