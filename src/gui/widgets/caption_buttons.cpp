#include "gui/widgets/caption_buttons.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "gui/art/symbols.h"

namespace sealwise::gui {

CaptionButtons::CaptionButtons(QWidget* parent) : QWidget(parent) {
    setFixedSize(2 * kCloseFromX, kCloseFromX);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void CaptionButtons::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (hoverX_ >= kCloseFromX) {
        painter.fillRect(QRect(kCloseFromX, 0, kCloseFromX, height()), QColor(214, 48, 49));
    } else if (hoverX_ >= 0) {
        painter.fillRect(QRect(0, 0, kCloseFromX, height()), QColor(0, 0, 0, 40));
    }
    const QColor ink = hoverX_ >= kCloseFromX ? Qt::white : palette().color(QPalette::WindowText);
    PaintCaptionButtons(painter, QRectF(rect()), ink);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 0, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CaptionButtons::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (event->position().x() >= kCloseFromX) {
        Q_EMIT CloseClicked();
    } else {
        Q_EMIT MinimiseClicked();
    }
}

void CaptionButtons::mouseMoveEvent(QMouseEvent* event) {
    hoverX_ = static_cast<int>(event->position().x());
    update();
}

void CaptionButtons::leaveEvent(QEvent*) {
    hoverX_ = -1;
    update();
}

void CaptionButtons::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Q_EMIT CloseClicked();
            return;
        case Qt::Key_Minus:
            Q_EMIT MinimiseClicked();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace sealwise::gui
