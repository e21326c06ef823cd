#include "gui/controls/tab_colours.h"

#include <cmath>
#include <initializer_list>

namespace sealwise::gui {

namespace {

double Channel(double value) {
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Channel(rgb.redF()) + 0.7152 * Channel(rgb.greenF()) +
           0.0722 * Channel(rgb.blueF());
}

// The first role that stands out from `surface`; the window text always does.
QColor FirstContrasting(const QPalette& palette, const QColor& surface,
                        std::initializer_list<QPalette::ColorRole> roles) {
    for (const QPalette::ColorRole role : roles) {
        const QColor colour = palette.color(QPalette::Active, role);
        if (ContrastRatio(colour, surface) >= kOutlineContrast) return colour;
    }
    return palette.color(QPalette::Active, QPalette::WindowText);
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TabColours TabStripColours(const QPalette& palette) {
    TabColours colours;
    colours.surface = palette.color(QPalette::Active, QPalette::Window);
    // Inactive tabs sit a shade back from the surface, towards the darker side on a light
    // theme and the lighter side on a dark one.
    const bool light = Luminance(colours.surface) > 0.5;
    colours.inactiveTab = light ? colours.surface.darker(110) : colours.surface.lighter(125);
    // The outer lines carry the shape and must be seen; the inner ones only add relief.
    const QColor outline = FirstContrasting(palette, colours.surface,
                                            {QPalette::Dark, QPalette::Shadow, QPalette::Mid});
    const QColor shadow =
        FirstContrasting(palette, colours.surface, {QPalette::Shadow, QPalette::Dark});
    colours.lines = {outline, palette.color(QPalette::Active, QPalette::Light), shadow,
                     palette.color(QPalette::Active, QPalette::Mid)};
    return colours;
}

}  // namespace sealwise::gui
