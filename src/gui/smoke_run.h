#pragma once
// A scripted run for the test of the installed program on a real display: when the environment
// variable SEALWISE_SMOKE_TEST is set, the program presses Start on the welcome window after a
// moment, then closes the main window through its close button.
namespace sealwise::gui {

inline constexpr char kSmokeTestVariable[] = "SEALWISE_SMOKE_TEST";

// Schedules the scripted clicks when the variable is set; returns whether it is.
bool ScheduleSmokeRun();

}  // namespace sealwise::gui
