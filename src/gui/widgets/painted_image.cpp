#include "gui/widgets/painted_image.h"

#include <QPainter>

namespace sealwise::gui {

PaintedImage::PaintedImage(QSize size, Painter painter, QWidget* parent)
    : QWidget(parent), size_(size), painter_(std::move(painter)) {
    setFixedSize(size_);
    setAttribute(Qt::WA_TranslucentBackground);
}

void PaintedImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (painter_) painter_(painter, QRectF(rect()));
}

}  // namespace sealwise::gui
