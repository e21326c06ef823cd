#pragma once
// Colours as the saved layouts hold them: 0x00BBGGRR for a plain colour, 0x80000000 + n for
// system colour n (taken from the application palette here).
#include <QColor>
#include <QPalette>
#include <cstdint>

namespace sealwise::gui {

using OleColor = uint32_t;

constexpr OleColor kSystemColorFlag = 0x80000000u;
constexpr OleColor kSysAppWorkspace = 0x8000000Cu;
constexpr OleColor kSysHighlight = 0x8000000Du;
constexpr OleColor kSysButtonFace = 0x8000000Fu;

constexpr OleColor OleRgb(int red, int green, int blue) {
    return static_cast<OleColor>(red & 0xFF) | static_cast<OleColor>(green & 0xFF) << 8 |
           static_cast<OleColor>(blue & 0xFF) << 16;
}

// The colour for drawing; an invalid QColor when the value names no colour (the caller then
// treats it as "no colour", the -1 of the old messages).
QColor TranslateOleColor(OleColor color, const QPalette& palette);

// A plain (non-system) colour value for a QColor.
OleColor OleFromColor(const QColor& color);

}  // namespace sealwise::gui
