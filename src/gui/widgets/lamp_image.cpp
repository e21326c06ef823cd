#include "gui/widgets/lamp_image.h"

#include <QPainter>

#include "gui/art/symbols.h"

namespace sealwise::gui {

LampImage::LampImage(QColor colour, int diameter, QWidget* parent)
    : QWidget(parent), colour_(colour) {
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TranslucentBackground);
}

void LampImage::SetLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    update();
}

void LampImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintLamp(painter, QRectF(rect()), colour_, lit_);
}

}  // namespace sealwise::gui
