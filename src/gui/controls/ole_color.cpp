#include "gui/controls/ole_color.h"

#include <array>

namespace sealwise::gui {

namespace {

// System colour indices 0..24 in the order of the platform's colour table, each mapped to the
// palette role that plays the same part here.
constexpr std::array<QPalette::ColorRole, 25> kSystemRoles = {
    QPalette::Button,           // scroll bar
    QPalette::Dark,             // desktop
    QPalette::Highlight,        // active caption
    QPalette::Mid,              // inactive caption
    QPalette::Base,             // menu
    QPalette::Base,             // window
    QPalette::Shadow,           // window frame
    QPalette::WindowText,       // menu text
    QPalette::Text,             // window text
    QPalette::HighlightedText,  // caption text
    QPalette::Button,           // active border
    QPalette::Button,           // inactive border
    QPalette::Dark,             // application workspace
    QPalette::Highlight,        // highlight
    QPalette::HighlightedText,  // highlight text
    QPalette::Button,           // button face
    QPalette::Mid,              // button shadow
    QPalette::PlaceholderText,  // grey text
    QPalette::ButtonText,       // button text
    QPalette::WindowText,       // inactive caption text
    QPalette::Light,            // button highlight
    QPalette::Shadow,           // 3-D dark shadow
    QPalette::Midlight,         // 3-D light
    QPalette::ToolTipText,      // info text
    QPalette::ToolTipBase,      // info background
};

}  // namespace

QColor TranslateOleColor(OleColor color, const QPalette& palette) {
    if (color & kSystemColorFlag) {
        const OleColor index = color & ~kSystemColorFlag;
        if (index >= kSystemRoles.size()) return {};
        return palette.color(QPalette::Active, kSystemRoles[index]);
    }
    if (color > 0x00FFFFFFu) return {};  // palette-relative forms are not used here
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

OleColor OleFromColor(const QColor& color) {
    return OleRgb(color.red(), color.green(), color.blue());
}

}  // namespace sealwise::gui
