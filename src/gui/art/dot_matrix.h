#pragma once
// Dot-matrix digits of the elapsed-time counter: light dots on a dark ground, 5 x 7 dots per
// digit, and a narrow separator image with two dots.
#include <QPainter>
#include <QRectF>
#include <QSize>

namespace sealwise::gui {

constexpr int kSeparatorGlyph = -1;

// The size in pixels of a digit image and of the separator image.
QSize DotMatrixSize(int glyph);

// Paints digit 0..9, or the separator for kSeparatorGlyph, filling `area`.
void PaintDotMatrix(QPainter& painter, const QRectF& area, int glyph);

}  // namespace sealwise::gui
