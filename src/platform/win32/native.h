#pragma once

// Internal to the Win32 backend: names and ids its pieces share.

#include <windows.h>

#include "platform/win32/resource_ids.h"

namespace temvik {

inline constexpr wchar_t kWindowClass[] = L"TemvikWindow";
// The drawing surface control.
inline constexpr wchar_t kSurfaceClass[] = L"TemvikSurface";
// The message-only window that runs posted functions on the UI thread.
inline constexpr wchar_t kPostWindowClass[] = L"TemvikPosts";
inline constexpr int kAppIconId = TEMVIK_APP_ICON;
inline constexpr int kEndTuneId = TEMVIK_END_TUNE;
// What the notification area sends a window about clicks on its icon.
inline constexpr UINT kTrayMessage = WM_APP + 1;
// Wakes the UI thread to run what was posted to it.
inline constexpr UINT kPostWakeMessage = WM_APP + 2;
// The title of a message box whose caller gave none.
inline constexpr wchar_t kProgramTitle[] = L"Temvik";

}  // namespace temvik
