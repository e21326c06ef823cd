#pragma once
// The key arrangement of the on-screen keyboard: 66 keys with their design positions (in twips)
// and German captions, the caption changes of the US English and Spanish arrangements, and the
// choice of arrangement from the keyboard layout the desktop reports. Plain C++, so it can be
// tested without a window.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sealwise::gui {

enum class KeyboardLayoutType : uint8_t { kGerman = 0, kEnglish = 1, kSpanish = 2 };

// A rectangle in twips (15 twips = 1 pixel).
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect&) const = default;
};

struct KeyDefinition {
    int index;            // element of cmdNr
    int row;              // 1 to 5, top to bottom
    int position;         // 1-based, left to right within the row (numeric block included)
    TwipRect rect;        // design position
    std::string caption;  // German design caption, UTF-8 ("&&" shows and types one "&")
};

// Indices of the keys with a rule of their own.
namespace keys {
inline constexpr int kEnter = 11;
inline constexpr int kBackspace = 12;
inline constexpr int kTab = 13;
inline constexpr int kSpace = 18;
inline constexpr int kFirstLetter = 19;  // "A"; the letters run to "Z" at 44
inline constexpr int kLastLetter = 44;
inline constexpr int kUmlautO = 47;
inline constexpr int kUmlautU = 48;
inline constexpr int kUmlautA = 49;
inline constexpr int kCedilla = 52;  // "ç" on the Spanish arrangement
inline constexpr int kShift = 67;
}  // namespace keys

// The 66 keys (indices 0 to 15 and 18 to 67) in the order of their rows.
const std::vector<KeyDefinition>& DesignKeys();

// The window's client size and the two size options "1x" and "2x" at zoom 1.
inline constexpr TwipRect kKeyboardClientArea{0, 0, 7350, 2295};
inline constexpr TwipRect kZoomOptionRects[2] = {{120, 60, 600, 255}, {720, 60, 600, 255}};

// Caption changes that turn the German design into `type`'s arrangement.
const std::map<int, std::string>& CaptionChanges(KeyboardLayoutType type);

// The high and the low 16 bits of a keyboard layout handle (device part, language id).
constexpr uint16_t HIWORD(uint32_t dwValue) { return static_cast<uint16_t>(dwValue >> 16); }
constexpr uint16_t LOWORD(uint32_t dwValue) { return static_cast<uint16_t>(dwValue & 0xFFFF); }

// A keyboard layout handle as the desktop would report it for a language id: the language id
// in both halves.
constexpr uint32_t KeyboardLayoutHandle(uint16_t langId) {
    return (static_cast<uint32_t>(langId) << 16) | langId;
}

// German for the device part 0xF0C0 or the language id 0x0407; Spanish for Spain (0x040A and
// 0x0C0A, which differ only in their sort order, not in their keys); otherwise English.
KeyboardLayoutType LayoutTypeFromKeyboardLayout(uint32_t keyboardLayout);

}  // namespace sealwise::gui
