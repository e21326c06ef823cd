// FCrypt: the busy state of a running job and its Cancel button.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "gui/controls/light_tab.h"
#include "gui/controls/progress_bar.h"
#include "gui/main/fcrypt.h"
#include "gui/working/working_display.h"

namespace sealwise::gui {

void FCrypt::SetBusy(bool busy, bool scanning) {
    busy_ = busy;
    pwd_.lampPanel->setVisible(!busy);
    // The tab strip goes with its panels: a tab change during a job would reset the mode.
    for (QWidget* frame :
         {static_cast<QWidget*>(mainTabs_), text_.frame, files_.frame, pwd_.frame}) {
        frame->setEnabled(!busy);
    }
    if (busy) {
        pwd_.resultNote->hide();
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
void FCrypt::CancelClicked() {
    cancelRequested_ = true;
    if (runningCancel_) runningCancel_();
}

// The working display takes the place of the quality display and the rows below it.
void FCrypt::PlaceWorkingDisplay() {
    if (!working_ || !pwd_.lowerRows) return;
    const QRect rows(pwd_.lowerRows->mapTo(this, QPoint(0, 0)), pwd_.lowerRows->size());
    const int top = pwd_.quality->mapTo(this, QPoint(0, 0)).y();
    working_->setGeometry(rows.left(), top, rows.width(), rows.bottom() + 1 - top);
}

}  // namespace sealwise::gui
