#pragma once
// The four flag images of a window (ImageDE, ImageEN, ImageES, ImageFR) and the language switch.
#include <array>

class QWidget;

namespace sealwise::gui {

class FlagImage;

struct LanguageFlag {
    const char* objectName;
    int languageOffset;
};

// Flag names with the language offset each one selects.
inline constexpr std::array<LanguageFlag, 4> kLanguageFlags = {{
    {"ImageDE", 0},
    {"ImageEN", 900},
    {"ImageES", 1900},
    {"ImageFR", 2900},
}};

// Creates the four flags as children of `parent`, in the order German, English, Spanish,
// French, each with its accessible name.
std::array<FlagImage*, 4> CreateLanguageFlags(QWidget* parent);

// Frames the flag of the current language and clears the frame of the other three.
void MarkLanguageFlag(QWidget* window);

}  // namespace sealwise::gui
