#include "gui/controls/qt_progress_child.h"

#include <QFrame>
#include <algorithm>

namespace sealwise::gui {

namespace {

QString CssColour(OleColor value, const QPalette& palette, QPalette::ColorRole fallback) {
    QColor colour = TranslateOleColor(value, palette);
    if (!colour.isValid()) colour = palette.color(fallback);  // untranslatable: the default
    return colour.name();
}

}  // namespace

QtProgressChild::QtProgressChild(QFrame* owner, bool vertical, bool smooth)
    : owner_(owner), bar_(new QProgressBar(owner)), smooth_(smooth) {
    bar_->setObjectName("ProgressIndicator");
    bar_->setTextVisible(false);
    bar_->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setGeometry(owner->contentsRect());
    bar_->setFocusPolicy(Qt::NoFocus);
    ApplyStyleSheet();
    bar_->show();
}

QtProgressChild::~QtProgressChild() {
    if (bar_) {
        bar_->hide();
        bar_->deleteLater();
    }
}

void QtProgressChild::SetPosition(int32_t position) {
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
}

int32_t QtProgressChild::Position() const { return bar_->value(); }

void QtProgressChild::StepIt() {
    const int64_t low = bar_->minimum(), high = bar_->maximum();
    int64_t next = static_cast<int64_t>(bar_->value()) + step_;
    if (high > low && next > high) next = low + (next - low) % (high - low);
    if (high > low && next < low) next = high - (low - next) % (high - low);
    bar_->setValue(static_cast<int>(std::clamp(next, low, high)));
}

void QtProgressChild::SetRange32(int32_t minimum, int32_t maximum) {
    bar_->setRange(minimum, maximum);
}

int32_t QtProgressChild::RangeLimit(bool lower) const {
    return lower ? bar_->minimum() : bar_->maximum();
}

void QtProgressChild::SetRange16(uint16_t minimum, uint16_t maximum) {
    bar_->setRange(minimum, maximum);
}

void QtProgressChild::SetBarColor(OleColor color) {
    barColor_ = color;
    ApplyStyleSheet();
}

void QtProgressChild::SetBackColor(OleColor color) {
    backColor_ = color;
    ApplyStyleSheet();
}

void QtProgressChild::SetBorderStyle(int32_t style) {
    switch (style) {
        case 0:
            owner_->setFrameStyle(QFrame::NoFrame);
            break;
        case 2:
            owner_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            owner_->setLineWidth(2);
            break;
        default:
            owner_->setFrameStyle(QFrame::Box | QFrame::Plain);
            owner_->setLineWidth(1);
            break;
    }
    bar_->setGeometry(owner_->contentsRect());
}

// Segmented bars draw their chunks as separate blocks; smooth bars as one filled run.
void QtProgressChild::ApplyStyleSheet() {
    const QPalette palette = owner_->palette();
    const bool vertical = bar_->orientation() == Qt::Vertical;
    QString chunk = "background-color: " + CssColour(barColor_, palette, QPalette::Highlight) + ";";
    if (!smooth_) chunk += vertical ? " height: 7px; margin: 1px;" : " width: 7px; margin: 1px;";
    bar_->setStyleSheet("QProgressBar { border: none; background-color: " +
                        CssColour(backColor_, palette, QPalette::Button) +
                        "; } QProgressBar::chunk { " + chunk + " }");
}

}  // namespace sealwise::gui
