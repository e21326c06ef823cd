#include "gui/controls/rounded_panel.h"

#include <QPainter>

namespace sealwise::gui {

namespace {
constexpr int kOutlineWidth = 2;
}

RoundedPanel::RoundedPanel(QWidget* parent) : QWidget(parent) {
    setMinimumSize(kMinimumSide, kMinimumSide);
}

void RoundedPanel::SetOutlineColor(const QColor& colour) {
    outline_ = colour;
    update();
}

void RoundedPanel::SetFillColor(const QColor& colour) {
    fill_ = colour;
    update();
}

void RoundedPanel::SetCornerEllipse(int size) {
    if (size < 0) return;
    cornerEllipse_ = size;
    update();
}

void RoundedPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The corners outside the rounding show the holder's background.
    const QWidget* holder = parentWidget();
    painter.fillRect(rect(), (holder ? holder : this)->palette().color(QPalette::Window));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(outline_.isValid()
                       ? QPen(outline_, kOutlineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
                       : QPen(Qt::NoPen));
    painter.setBrush(fill_.isValid() ? QBrush(fill_) : QBrush(Qt::NoBrush));
    // The pen is centred on the edge: inset by half its width so both lines stay visible.
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = cornerEllipse_ / 2.0;
    painter.drawRoundedRect(area, radius, radius);
}

}  // namespace sealwise::gui
