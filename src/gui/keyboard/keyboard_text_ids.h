#pragma once
// Base ids of the texts the on-screen keyboard shows or gives to screen readers.
namespace sealwise::gui::ids {

inline constexpr int kScreenKeyboardTitle = 169;
inline constexpr int kSpaceKey = 129;
inline constexpr int kTabKey = 130;
// Keys that type a character are named by their place ("Row %s, key %d"), so that a screen
// reader does not speak the passphrase aloud while it is typed.
inline constexpr int kKeyAtPlace = 540;
inline constexpr int kBackspaceKeyName = 541;
inline constexpr int kShiftKeyName = 542;
inline constexpr int kEnterKeyName = 543;
inline constexpr int kNormalSize = 544;
inline constexpr int kDoubleSize = 545;

}  // namespace sealwise::gui::ids
