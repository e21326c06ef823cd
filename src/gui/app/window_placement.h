#pragma once
// Where windows open: centred on the screen of the window they come from, and tool windows
// next to the controls they serve, inside the screen and never over those controls.
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace sealwise::gui {

// Space left between a tool window and what it must not cover.
inline constexpr int kPlacementGap = 8;

// The top-left corner that centres `size` in `area`, moved inside `area` where it is smaller.
QPoint CentredIn(const QRect& area, const QSize& size);

// The top-left corner for a tool window of `size` (frame included) that serves `controls` of
// the window `owner` (all in screen coordinates) on the available area `screen`: beside the
// owner, else below it, else below or above the controls; the first place that lies on the
// screen without covering the controls wins. On a screen too small for that, the window
// still lies on the screen and leaves `field` (the box typed into, inside the controls)
// free, covering as little of the other controls as it can.
QPoint PlaceBesideControls(const QRect& screen, const QRect& owner, const QRect& controls,
                           const QRect& field, const QSize& size);

// Centres `window` on the available area of the screen that shows `reference` (the primary
// screen without one).
void CentreOnScreenOf(QWidget* window, const QWidget* reference);

// The available area of the screen that shows `widget`.
QRect AvailableScreenArea(const QWidget* widget);

}  // namespace sealwise::gui
