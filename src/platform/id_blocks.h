#pragma once

// The register of control and menu ids. Each window numbers its controls
// and menu items in a block of 100 of its own, starting at the block + 1,
// so an id in a log or a failed test tells whose it is. A new window takes
// the next free block here; tests/ui/window_layout_test.cpp checks that the
// ids of every window in the catalogue stay inside the blocks it names.

namespace temvik::id_blocks {

inline constexpr int kSize = 100;

inline constexpr int kMainWindow = 1000;
inline constexpr int kRunWindow = 1100;
inline constexpr int kRunMenus = 1200;  // the run window's tray menu
inline constexpr int kItemFinished = 1300;
inline constexpr int kGiveUp = 1400;
inline constexpr int kChangeTime = 1500;
inline constexpr int kPlanComplete = 1600;
inline constexpr int kContentNote = 1700;
inline constexpr int kPowerNotice = 1800;
inline constexpr int kMainMenus = 1900;
inline constexpr int kPromptPoints = 2000;
inline constexpr int kProcessChooser = 2300;
inline constexpr int kProgramChooser = 2400;
inline constexpr int kPassword = 2500;
inline constexpr int kSetPassword = 2600;
inline constexpr int kRename = 2700;
inline constexpr int kAbout = 2800;
inline constexpr int kUpdateCheck = 2900;
inline constexpr int kStopwatch = 3000;
inline constexpr int kWindowChooser = 3100;
inline constexpr int kWatchWindow = 3200;
inline constexpr int kStats = 3300;
inline constexpr int kSetSync = 4100;

}  // namespace temvik::id_blocks
