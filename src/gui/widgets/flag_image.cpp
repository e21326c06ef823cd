#include "gui/widgets/flag_image.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace sealwise::gui {

namespace {
constexpr QSize kFlagImageSize(30, 22);
constexpr int kFlagInset = 3;
}  // namespace

FlagImage::FlagImage(FlagKind kind, QWidget* parent) : QFrame(parent), kind_(kind) {
    setFixedSize(kFlagImageSize);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setLineWidth(1);
    SetMarked(false);
}

void FlagImage::SetMarked(bool marked) {
    const bool wasMarked = IsMarked();
    setFrameStyle(marked ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    update();
    if (wasMarked != marked) {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent changed(this, checked);
        QAccessible::updateAccessibility(&changed);
    }
}

void FlagImage::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        const QRectF flag =
            QRectF(rect()).adjusted(kFlagInset, kFlagInset, -kFlagInset, -kFlagInset);
        PaintFlag(painter, flag, kind_);
        painter.setPen(QPen(QColor(0, 0, 0, 60), 0));
        painter.drawRect(flag);
        if (hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 0, Qt::DotLine));
            painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
        }
    }
    QFrame::paintEvent(event);  // the border, when marked
}

void FlagImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Press();
    }
}

void FlagImage::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        Q_EMIT clicked();
        return;
    }
    QFrame::keyPressEvent(event);
}

}  // namespace sealwise::gui
