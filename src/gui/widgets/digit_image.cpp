#include "gui/widgets/digit_image.h"

#include <QPainter>

namespace sealwise::gui {

DigitImage::DigitImage(int glyph, QWidget* parent) : QWidget(parent), glyph_(glyph) {
    setFixedSize(DotMatrixSize(glyph));
}

void DigitImage::SetDigit(int digit) {
    if (glyph_ == kSeparatorGlyph || digit < 0 || digit > 9 || digit == glyph_) return;
    glyph_ = digit;
    update();
}

void DigitImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintDotMatrix(painter, QRectF(rect()), glyph_);
}

}  // namespace sealwise::gui
