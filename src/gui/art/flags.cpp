#include "gui/art/flags.h"

namespace sealwise::gui {

namespace {

void PaintStripes(QPainter& painter, const QRectF& area, std::initializer_list<QColor> colours,
                  std::initializer_list<double> shares, bool vertical) {
    double total = 0;
    for (const double share : shares) total += share;
    double offset = 0;
    auto colour = colours.begin();
    for (const double share : shares) {
        const double size = (vertical ? area.width() : area.height()) * share / total;
        const QRectF stripe = vertical
                                  ? QRectF(area.left() + offset, area.top(), size, area.height())
                                  : QRectF(area.left(), area.top() + offset, area.width(), size);
        painter.fillRect(stripe.adjusted(0, 0, vertical ? 0.5 : 0, vertical ? 0 : 0.5), *colour++);
        offset += size;
    }
}

// The British flag: blue ground, white and red diagonal crosses, white and red upright cross.
void PaintUnionFlag(QPainter& painter, const QRectF& area) {
    const double h = area.height();
    painter.fillRect(area, QColor(1, 33, 105));
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QLineF falling(area.topLeft(), area.bottomRight());
    const QLineF rising(area.bottomLeft(), area.topRight());
    painter.setPen(QPen(Qt::white, h * 0.2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(falling);
    painter.drawLine(rising);
    painter.setPen(QPen(QColor(200, 16, 46), h * 0.07, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(falling);
    painter.drawLine(rising);
    const QPointF centre = area.center();
    painter.fillRect(QRectF(area.left(), centre.y() - h / 6, area.width(), h / 3), Qt::white);
    painter.fillRect(QRectF(centre.x() - h / 6, area.top(), h / 3, h), Qt::white);
    const QColor red(200, 16, 46);
    painter.fillRect(QRectF(area.left(), centre.y() - h / 10, area.width(), h / 5), red);
    painter.fillRect(QRectF(centre.x() - h / 10, area.top(), h / 5, h), red);
}

}  // namespace

void PaintFlag(QPainter& painter, const QRectF& area, FlagKind kind) {
    painter.save();
    painter.setClipRect(area);
    switch (kind) {
        case FlagKind::German:
            PaintStripes(painter, area, {QColor(0, 0, 0), QColor(221, 0, 0), QColor(255, 206, 0)},
                         {1, 1, 1}, false);
            break;
        case FlagKind::Spanish:
            PaintStripes(painter, area,
                         {QColor(170, 21, 27), QColor(241, 191, 0), QColor(170, 21, 27)}, {1, 2, 1},
                         false);
            break;
        case FlagKind::French:
            PaintStripes(painter, area,
                         {QColor(0, 85, 164), QColor(255, 255, 255), QColor(239, 65, 53)},
                         {1, 1, 1}, true);
            break;
        case FlagKind::English:
            PaintUnionFlag(painter, area);
            break;
    }
    painter.restore();
}

}  // namespace sealwise::gui
