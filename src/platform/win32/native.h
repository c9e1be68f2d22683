#pragma once

// Internal to the Win32 backend: names and ids its pieces share.

#include <windows.h>

#include "platform/win32/resource_ids.h"

namespace temvik {

inline constexpr wchar_t kWindowClass[] = L"TemvikWindow";
inline constexpr int kAppIconId = TEMVIK_APP_ICON;
// The title of a message box whose caller gave none.
inline constexpr wchar_t kProgramTitle[] = L"Temvik";

}  // namespace temvik
