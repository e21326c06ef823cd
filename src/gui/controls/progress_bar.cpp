#include "gui/controls/progress_bar.h"

#include <QProgressBar>
#include <algorithm>
#include <cstdint>

namespace sealwise::gui {

ProgressBar::ProgressBar(QWidget* parent) : QFrame(parent), bar_(new QProgressBar(this)) {
    bar_->setObjectName(kIndicatorName);
    bar_->setTextVisible(false);
    bar_->setFocusPolicy(Qt::NoFocus);
    setBorderStyle(Border::Thin);
    ShowRange();
    ApplyStyleSheet();
}

void ProgressBar::setMin(int minimum) {
    if (minimum == minimum_) return;
    minimum_ = minimum;
    ShowRange();
}

void ProgressBar::setMax(int maximum) {
    if (maximum == maximum_) return;
    maximum_ = maximum;
    ShowRange();
}

void ProgressBar::setPosition(int position) {
    if (position == position_) return;
    position_ = position;
    ShowPosition();
}

void ProgressBar::setStep(int step) { step_ = step; }

void ProgressBar::StepIt() {
    const int64_t low = bar_->minimum(), high = bar_->maximum();
    int64_t next = static_cast<int64_t>(bar_->value()) + step_;
    if (high > low && next > high) next = low + (next - low) % (high - low);
    if (high > low && next < low) next = high - (low - next) % (high - low);
    position_ = static_cast<int>(std::clamp(next, low, high));
    bar_->setValue(position_);
}

void ProgressBar::setSmooth(bool smooth) {
    if (smooth == smooth_) return;
    smooth_ = smooth;
    ApplyStyleSheet();
}

Qt::Orientation ProgressBar::Orientation() const { return bar_->orientation(); }

void ProgressBar::setOrientation(Qt::Orientation orientation) {
    if (orientation == bar_->orientation()) return;
    bar_->setOrientation(orientation);
    ApplyStyleSheet();  // segments run along the bar
}

void ProgressBar::setBorderStyle(Border border) {
    border_ = border;
    switch (border) {
        case Border::None:
            setFrameStyle(QFrame::NoFrame);
            break;
        case Border::Sunken:
            setFrameStyle(QFrame::Panel | QFrame::Sunken);
            setLineWidth(2);
            break;
        case Border::Thin:
            setFrameStyle(QFrame::Box | QFrame::Plain);
            setLineWidth(1);
            break;
    }
    bar_->setGeometry(contentsRect());
}

void ProgressBar::setBarColor(const QColor& colour) {
    if (colour == barColor_) return;
    barColor_ = colour;
    ApplyStyleSheet();
}

void ProgressBar::setBackColor(const QColor& colour) {
    if (colour == backColor_) return;
    backColor_ = colour;
    ApplyStyleSheet();
}

void ProgressBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    bar_->setGeometry(contentsRect());
}

void ProgressBar::ShowRange() {
    bar_->setRange(minimum_, maximum_);
    ShowPosition();
}

void ProgressBar::ShowPosition() {
    bar_->setValue(std::clamp(position_, bar_->minimum(), bar_->maximum()));
}

// Segmented bars draw their chunks as separate blocks; smooth bars as one filled run.
void ProgressBar::ApplyStyleSheet() {
    const QPalette& colours = palette();
    const QColor bar =
        barColor_.isValid() ? barColor_ : colours.color(QPalette::Active, QPalette::Highlight);
    const QColor back =
        backColor_.isValid() ? backColor_ : colours.color(QPalette::Active, QPalette::Button);
    const bool vertical = bar_->orientation() == Qt::Vertical;
    QString chunk = "background-color: " + bar.name() + ";";
    if (!smooth_) chunk += vertical ? " height: 7px; margin: 1px;" : " width: 7px; margin: 1px;";
    bar_->setStyleSheet("QProgressBar { border: none; background-color: " + back.name() +
                        "; } QProgressBar::chunk { " + chunk + " }");
}

}  // namespace sealwise::gui
