#pragma once

// Internal to Win32Window, whose members are defined in win32_window.cpp and
// the files it names: the ids, sizes and small helpers more than one of them
// uses.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/date_time.h"

namespace temvik {

inline constexpr UINT_PTR kListSubclassId = 1;
inline constexpr UINT_PTR kButtonSubclassId = 2;
inline constexpr int kTooltipWidthPx = 360;

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
