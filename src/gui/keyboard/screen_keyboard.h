#pragma once
// The state of the on-screen keyboard and what a click on each key does: the arrangement chosen
// from the keyboard layout, the lower-case flag toggled by "shift", and the zoom factor of the
// window. Plain C++; the window applies the results to its buttons and the passphrase box.
#include <cstdint>
#include <map>
#include <string>

#include "gui/keyboard/keyboard_layout.h"

namespace sealwise::gui {

struct KeyPress {
    enum class Kind {
        kNothing,       // the key has no effect (Tab)
        kAppend,        // append `text` to the passphrase box
        kBackspace,     // remove the last character of the box, if any
        kShiftToggled,  // the lower-case flag and the shift caption changed
        kClose,         // Enter: the entry is done, the keyboard closes
    };
    Kind kind = Kind::kNothing;
    std::string text;  // kAppend: one character, UTF-8
};

class ScreenKeyboard {
  public:
    static constexpr int kTwipsPerPixel = 15;

    // The load step: zoom 1, lower case, the captions of the arrangement for the layout.
    explicit ScreenKeyboard(uint32_t keyboardLayout);

    KeyboardLayoutType layoutType() const { return layoutType_; }
    bool lowerCase() const { return lowerCase_; }
    int zoom() const { return zoom_; }

    // The caption a key shows now (a "#<id>" reference for Tab and the space bar).
    const std::string& Caption(int index) const;

    KeyPress Click(int index);

    // Option 0 "1x", option 1 "2x". Returns whether the size changed: only a switch to the
    // other factor does.
    bool SelectZoom(int option);

    // A design rectangle at the current zoom, in twips and in pixels.
    TwipRect Scaled(const TwipRect& design) const;
    static int Pixels(int twips) { return twips / kTwipsPerPixel; }

  private:
    KeyboardLayoutType layoutType_;
    bool lowerCase_ = true;
    int zoom_ = 1;
    std::map<int, std::string> captions_;
};

}  // namespace sealwise::gui
