#include "gui/main/window_shape.h"

#include <QPainterPath>
#include <QPolygon>

namespace sealwise::gui {

QRegion RoundedWindowRegion(QSize size, int cornerEllipse) {
    QPainterPath path;
    const qreal radius = cornerEllipse / 2.0;
    path.addRoundedRect(QRectF(0, 0, size.width(), size.height()), radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

}  // namespace sealwise::gui
