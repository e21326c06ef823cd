// MainWindow: the busy state, running a job on the job thread, what every job does at its end,
// and the messages of jobs.
#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/strings.h"
#include "gui/app/localizer.h"
#include "gui/controls/light_tab.h"
#include "gui/controls/progress_bar.h"
#include "gui/jobs/job_thread.h"
#include "gui/jobs/progress_relay.h"
#include "gui/main/main_window.h"
#include "gui/main/passphrase_controller.h"
#include "gui/main/text_page.h"
#include "gui/widgets/widget_factory.h"
#include "gui/working/working_display.h"
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

void MainWindow::SetBusy(bool busy, bool scanning) {
    busy_ = busy;
    const PassphrasePanel& pwd = passphrase_->Panel();
    pwd.lampPanel->setVisible(!busy);
    // The tab strip goes with its panels: a tab change during a job would reset the mode.
    for (QWidget* frame :
         {static_cast<QWidget*>(mainTabs_), text_->Panel().frame, files_.frame, pwd.frame}) {
        frame->setEnabled(!busy);
    }
    if (busy) {
        pwd.resultNote->hide();
        PlaceWorkingDisplay();
        working_->show();
        working_->raise();
        if (!waitCursorShown_) QApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursorShown_ = true;
        working_->SetProgressVisible(!scanning);
        if (scanning) {
            working_->SetLampPanelVisible(false);
        } else {
            working_->ItemProgress()->setPosition(0);
            working_->RunProgress()->setPosition(0);
            working_->TickCounter();  // the timer is still stopped: this resets the counter
            working_->CounterTimer()->start();
        }
    } else {
        working_->hide();
        if (waitCursorShown_) QApplication::restoreOverrideCursor();
        waitCursorShown_ = false;
        working_->SetLampPanelVisible(false);
        if (scanning) {
            working_->SetProgressVisible(true);
        } else {
            working_->CounterTimer()->stop();
        }
    }
    QCoreApplication::processEvents();
    if (!busy && closeAfterJob_) QTimer::singleShot(0, this, &QWidget::close);
}

// Only raises the request; the running job sees it at its next check.
void MainWindow::CancelClicked() {
    cancelRequested_ = true;
    if (runningCancel_) runningCancel_();
}

// The working display takes the place of the quality display and the rows below it.
void MainWindow::PlaceWorkingDisplay() {
    if (!working_ || !passphrase_) return;
    const PassphrasePanel& pwd = passphrase_->Panel();
    const QRect rows(pwd.lowerRows->mapTo(this, QPoint(0, 0)), pwd.lowerRows->size());
    const int top = pwd.quality->mapTo(this, QPoint(0, 0)).y();
    working_->setGeometry(rows.left(), top, rows.width(), rows.bottom() + 1 - top);
}

bool MainWindow::JobRunning() const { return jobs_->Running(); }

void MainWindow::RunJob(std::function<void()> work, std::function<void()> cancel,
                        std::function<void()> finished) {
    jobActive_ = true;
    runningCancel_ = std::move(cancel);
    if (!busy_) SetBusy(true, false);
    relay_->Start();
    // Also when no thread could be started.
    const std::optional<SealError> notStarted = FailureOf([&] {
        jobs_->Start(std::move(work), [this, finished = std::move(finished)] {
            IdleOnExit idle([this] { EndJob(); });
            if (const std::optional<SealError> failure = FailureOf(finished)) {
                EndJob();
                ShowFailure(*failure);
            }
        });
    });
    if (notStarted) {
        EndJob();
        ShowFailure(*notStarted);
    }
}

// Idle again: the last progress shown, the cancel hook gone, the passphrase box empty.
void MainWindow::EndJob() {
    if (!jobActive_) return;
    jobActive_ = false;
    relay_->Stop();
    runningCancel_ = nullptr;
    std::string left = passphrase_->TakePassphrase();
    SecureWipe(left);
    // The keys were wiped by the run: the next one typed is key 1 again.
    if (passphrase_->SharedSecurity()) ApplyKeyEntry(KeyEntry().OnScrollChanged(1));
    SetBusy(false, false);
}

void MainWindow::ShowMessageId(Msg stringId, MessageIcon icon) {
    services_.ShowMessage(this, ResText(stringId), MessageButtons::Ok, icon, kProductName);
}

void MainWindow::ShowResultNote(Msg stringId) {
    // The tag makes the note follow the language.
    passphrase_->Panel().resultNote->setProperty(kTagProperty, Ref(stringId));
    passphrase_->Panel().resultNote->setText(ResText(stringId));
    passphrase_->Panel().resultNote->show();
    noteTimer_->start();
    QAccessibleEvent shown(passphrase_->Panel().resultNote, QAccessible::Alert);
    QAccessible::updateAccessibility(&shown);
}

void MainWindow::ShowFailure(const SealError& error) {
    services_.ShowMessage(this, QString::fromStdString(MessageText(error)), MessageButtons::Ok,
                          MessageIcon::Error, kProductName);
}

// Closing during a job cancels it; the window closes when the job has ended.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        closeAfterJob_ = true;
        CancelClicked();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace sealwise::gui
