#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"
#include "platform/window.h"
#include "store/comma_list.h"

namespace temvik {

// Ends every running process with one of these names, compared without
// regard to letter case, with or without ".exe", from one snapshot of the
// process table, name by name in order. Never this program's own process.
// Returns how many were ended.
int endProcessesNamed(Processes& processes, const std::vector<std::string>& names);

// True for the media a player plays (MP3, WAV, MID); pictures and videos
// open in the system's viewer instead.
[[nodiscard]] bool isPlayableSound(std::string_view path);

// Plays a media file for the end of an item: sounds in `player`, anything
// else opened through the shell.
void playMedia(MediaPlayer& player, Shell& shell, const std::string& path);

// A forced shut down, restart or log-off: the main window closes first,
// which ends the program, and then the power goes.
void carryOutPower(Window& mainWindow, Power& power, PowerAction action);

inline constexpr std::string_view kLockCommand = "Rundll32 USER32.dll ,LockWorkStation";

}  // namespace temvik
