#include "gui/widgets/painted_image.h"

#include <QPainter>
#include <QPixmap>

namespace sealwise::gui {

PaintedImage::PaintedImage(QSize size, Painter painter, QWidget* parent)
    : QWidget(parent), size_(size), painter_(std::move(painter)) {
    setFixedSize(size_);
    setAttribute(Qt::WA_TranslucentBackground);
}

QPixmap PaintedImage::Render(qreal devicePixelRatio) const {
    QPixmap pixmap(size_ * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (painter_) painter_(painter, QRectF(QPointF(0, 0), QSizeF(size_)));
    return pixmap;
}

void PaintedImage::SetPainter(Painter painter) {
    painter_ = std::move(painter);
    update();
}

void PaintedImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (painter_) painter_(painter, QRectF(rect()));
}

}  // namespace sealwise::gui
