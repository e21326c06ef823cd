// FCrypt: running a job on the job thread, and what every job does at its end.
#include <QAccessible>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/strings.h"
#include "gui/app/localizer.h"
#include "gui/jobs/job_thread.h"
#include "gui/jobs/progress_relay.h"
#include "gui/main/fcrypt.h"
#include "util/secure_wipe.h"

namespace sealwise::gui {

namespace {

// Returns the window to idle however the end of a job is left.
class IdleOnExit {
  public:
    explicit IdleOnExit(std::function<void()> end) : end_(std::move(end)) {}
    ~IdleOnExit() { end_(); }
    IdleOnExit(const IdleOnExit&) = delete;
    IdleOnExit& operator=(const IdleOnExit&) = delete;

  private:
    std::function<void()> end_;
};

}  // namespace

bool FCrypt::JobRunning() const { return jobs_->Running(); }

void FCrypt::RunJob(std::function<void()> work, std::function<void()> cancel,
                    std::function<void()> finished) {
    jobActive_ = true;
    runningCancel_ = std::move(cancel);
    if (!busy_) SetBusy(true, false);
    relay_->Start();
    try {
        jobs_->Start(std::move(work), [this, finished = std::move(finished)] {
            IdleOnExit idle([this] { EndJob(); });
            try {
                finished();
            } catch (const SealError& error) {
                EndJob();
                ShowFailure(error);
            } catch (const std::exception& error) {
                EndJob();
                ShowFailure(SealError(Msg::SystemError, error.what()));
            }
        });
    } catch (const std::exception& error) {  // no thread could be started
        EndJob();
        ShowFailure(SealError(Msg::SystemError, error.what()));
    }
}

// Idle again: the last progress shown, the cancel hook gone, the passphrase box empty.
void FCrypt::EndJob() {
    if (!jobActive_) return;
    jobActive_ = false;
    relay_->Stop();
    runningCancel_ = nullptr;
    std::string left = TakePassphrase();
    SecureWipe(left);
    // The keys were wiped by the run: the next one typed is key 1 again.
    if (keyEntry_.sharedSecurity()) ApplyKeyEntry(keyEntry_.OnScrollChanged(1));
    SetBusy(false, false);
}

std::string FCrypt::TakePassphrase() {
    QString text = pwd_.passphrase->text();
    // setText, unlike clear(), also drops the box's undo history.
    pwd_.passphrase->setText(QString());
    QByteArray utf8 = text.toUtf8();
    std::string passphrase(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    utf8.fill('\0');
    text.fill(QChar(0));  // the box let go of it: this is the only copy left
    return passphrase;
}

void FCrypt::ShowMessageId(Msg stringId, MessageIcon icon) {
    services_.ShowMessage(this, ResText(stringId), MessageButtons::Ok, icon, kProductName);
}

void FCrypt::ShowResultNote(Msg stringId) {
    pwd_.resultNote->setProperty(kTagProperty, ReferenceTo(stringId));  // follows the language
    pwd_.resultNote->setText(ResText(stringId));
    pwd_.resultNote->show();
    noteTimer_->start();
    QAccessibleEvent shown(pwd_.resultNote, QAccessible::Alert);
    QAccessible::updateAccessibility(&shown);
}

void FCrypt::ShowFailure(const SealError& error) {
    services_.ShowMessage(this, QString::fromStdString(MessageText(error)), MessageButtons::Ok,
                          MessageIcon::Error, kProductName);
}

// Closing during a job cancels it; the window closes when the job has ended.
void FCrypt::closeEvent(QCloseEvent* event) {
    if (busy_) {
        closeAfterJob_ = true;
        CancelClicked();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace sealwise::gui
