#pragma once
// The four language flags, drawn for any size (German, British, Spanish, French).
#include <QPainter>
#include <QRectF>

namespace sealwise::gui {

enum class FlagKind { German, English, Spanish, French };

void PaintFlag(QPainter& painter, const QRectF& area, FlagKind kind);

}  // namespace sealwise::gui
