#pragma once

// Internal to the Win32 backend: how many dots per inch a window or monitor
// has, and design pixels (drawn at 96 DPI) scaled to them.
//
// The functions that tell a window's or a monitor's own DPI came with
// Windows 10 (1607) and 8.1; they are looked up at run time, so the program
// still starts on older systems, where every window gets the system DPI.

#include <windows.h>

#include "platform/geometry.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace temvik {

// The DPI of the window designs: at 96 DPI a design pixel is a screen pixel.
inline constexpr UINT kDesignDpi = 96;

// Design pixels at `dpi`, rounded to the nearest pixel; and back.
[[nodiscard]] int scaleToDpi(int designPx, UINT dpi);
[[nodiscard]] int scaleFromDpi(int px, UINT dpi);
// Each of x, y, width and height scaled on its own, so that controls of one
// design size stay of one size.
[[nodiscard]] Rect scaleToDpi(const Rect& design, UINT dpi);

// The DPI of the whole system (the primary monitor's when the program started).
[[nodiscard]] UINT systemDpi();
// A monitor's DPI; the system DPI where Windows cannot tell it.
[[nodiscard]] UINT monitorDpi(HMONITOR monitor);
// The DPI a window is drawn at; its monitor's where Windows cannot tell it.
[[nodiscard]] UINT windowDpi(HWND window);
// Asks Windows to scale the caption and frame of a window on a monitor whose
// DPI changes. Needed only by per-monitor (v1) awareness; call it during
// WM_NCCREATE. Does nothing where the function does not exist.
void enableNonClientDpiScaling(HWND window);

}  // namespace temvik
