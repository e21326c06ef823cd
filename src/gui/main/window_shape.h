#pragma once
// The main window has no system frame: its own title drags it and its corners are rounded.
#include <QRegion>
#include <QSize>
#include <Qt>

namespace sealwise::gui {

constexpr int kWindowCornerEllipse = 20;

// A rounded-rectangle region over the whole window, corner ellipse 20 x 20 pixels.
QRegion RoundedWindowRegion(QSize size, int cornerEllipse = kWindowCornerEllipse);

// A press with the left button drags the window, unless it is maximised.
inline bool StartsWindowDrag(Qt::MouseButton button, bool maximised) {
    return button == Qt::LeftButton && !maximised;
}

}  // namespace sealwise::gui
