#pragma once
// The object names of the working display and its parts, as the original frame called them;
// the display sets them and the tests and accessibility tools find the parts by them.
namespace sealwise::gui::working_display_names {

inline constexpr char kFrame[] = "FrameW";
inline constexpr char kMessage[] = "Label7";  // "please wait"
inline constexpr char kCancel[] = "CmdCancel";
inline constexpr char kProgress[] = "ProgressBar%1";  // 1: the item, 2: the run
inline constexpr char kLampPanel[] = "PictArbeitampel";
inline constexpr char kLamp[] = "AmpelL_%1";  // 5 red, 4 yellow, 3 green
inline constexpr char kCounterPanel[] = "CounterPanel";
inline constexpr char kCounterDigit[] = "ImgCount_%1";  // 0 to 4, the separator is 2
inline constexpr char kCounterTimer[] = "TmrCount";

}  // namespace sealwise::gui::working_display_names
