#pragma once
// The colours of the LightTab strip, taken from the palette so that the outlines stand out
// from the window's background whatever the style (a white edge vanishes on a light grey
// surface, a black one on a dark theme).
#include <QColor>
#include <QPalette>
#include <array>

namespace sealwise::gui {

// Contrast of two colours as the WCAG defines it: 1 (none) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// The least contrast an outline keeps against the surface it is drawn on.
inline constexpr double kOutlineContrast = 2.0;

struct TabColours {
    // In the order the outlines index them: outer and inner highlight line (top, left), outer
    // and inner shadow line (bottom, right).
    std::array<QColor, 4> lines;
    QColor surface;      // the panel and the active tab
    QColor inactiveTab;  // the flat tabs behind the active one
};

TabColours TabStripColours(const QPalette& palette);

}  // namespace sealwise::gui
