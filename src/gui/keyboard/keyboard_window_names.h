#pragma once
// The object names of the on-screen keyboard and its controls, as the window's layout has
// always called them; the window sets them and the tests find the controls by them.
namespace sealwise::gui::keyboard_window_names {

inline constexpr char kWindow[] = "FrmTast";
inline constexpr char kKey[] = "cmdNr";           // array: one button per key index
inline constexpr char kZoomOption[] = "Option1";  // array: 0 "1x", 1 "2x"

}  // namespace sealwise::gui::keyboard_window_names
