#pragma once
// The keyboard layout the desktop reports, as a layout handle of the key arrangement rules.
#include <cstdint>

namespace sealwise::gui {

// From the input method's locale (the active keyboard's language), e.g. "de_DE" -> 0x04070407.
uint32_t DesktopKeyboardLayout();

}  // namespace sealwise::gui
