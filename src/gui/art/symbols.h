#pragma once
// Small pictures of the windows: rating stars and their empty places, traffic-light lamps, the
// program's seal logo, the minimise/close image and the pictures of the welcome panels.
#include <QColor>
#include <QPainter>
#include <QRectF>

namespace sealwise::gui {

// A gold five-pointed star, or (filled false) the pale outline of an empty place.
void PaintStar(QPainter& painter, const QRectF& area, bool filled);

// A round lamp: lit in its colour, or dark (only a faint rim on the housing).
void PaintLamp(QPainter& painter, const QRectF& area, const QColor& colour, bool lit);

// The program's logo: a sheet of paper with a gold seal.
void PaintLogo(QPainter& painter, const QRectF& area);

// The caption image: a minimise sign in the left half and a close sign in the right half.
void PaintCaptionButtons(QPainter& painter, const QRectF& area, const QColor& ink);

enum class ProductPicture { CommandLine, OnlineVersion, OnlineGuide };
void PaintProductPicture(QPainter& painter, const QRectF& area, ProductPicture picture);

}  // namespace sealwise::gui
