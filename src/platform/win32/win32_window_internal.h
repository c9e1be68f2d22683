#pragma once

// Internal to Win32Window, whose members are defined in win32_window.cpp and
// the files it names: the ids, sizes and small helpers more than one of them
// uses.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/date_time.h"
#include "platform/geometry.h"
#include "platform/win32/dpi.h"
#include "platform/window_design.h"

namespace temvik {

inline constexpr UINT_PTR kListSubclassId = 1;
inline constexpr UINT_PTR kButtonSubclassId = 2;
inline constexpr int kTooltipWidthPx = 360;

// The room below a drop-down's closed box that its rows drop into, in
// design pixels: ten rows of the UI font. The dropped list grows no taller
// than its rows need.
inline constexpr int kDroppedRowsPx = 180;

// The native window's rectangle of a control designed at `design`, at `dpi`:
// the design scaled; a combo box's window also holds its dropped list (the
// closed box takes the height of its font).
inline Rect nativeControlRect(ControlKind kind, const Rect& design, UINT dpi) {
  Rect r = scaleToDpi(design, dpi);
  if (kind == ControlKind::DropDown) r.height += scaleToDpi(kDroppedRowsPx, dpi);
  return r;
}

inline HINSTANCE instance() { return GetModuleHandleW(nullptr); }

inline std::wstring windowText(HWND h) {
  const int length = GetWindowTextLengthW(h);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), length + 1)));
  return text;
}

// A calendar's selection as a date at 00:00:00.
inline DateTime calendarSelection(HWND calendar) {
  SYSTEMTIME t{};
  if (!SendMessageW(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&t))) return {};
  return {t.wYear, t.wMonth, t.wDay, 0, 0, 0};
}

// Counts a stretch in which the code, not the user, changes controls.
class Quiet {
 public:
  explicit Quiet(int& depth) : depth_(depth) { ++depth_; }
  ~Quiet() { --depth_; }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  int& depth_;
};

}  // namespace temvik
