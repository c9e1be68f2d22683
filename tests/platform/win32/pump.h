#pragma once

// Runs the test thread's message loop for a while, as the program's own loop
// would, so that posted input, timers and notifications arrive.

#include <windows.h>

#include <windowsx.h>

#include <algorithm>
#include <functional>

#include "platform/win32/win32_ui.h"

namespace temvik::testing {

// Dispatches messages until `done` holds or `timeoutMs` passed; returns `done()`.
// `done` is checked after each batch of messages and at least every 10 ms, so
// it may wait for things outside the message queue too (processes, files).
// A queue that never runs dry (a loop of posted messages) ends at the timeout.
inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (GetTickCount64() < end && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return done();
      }
      Win32Ui::dispatch(msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)), QS_ALLINPUT);
  }
}

inline void pumpFor(DWORD ms) {
  pumpUntil([] { return false; }, ms);
}

// Moves the pointer as the user does (an absolute move, as a mouse sends it)
// and waits until this thread's window under the new place has seen the
// move there. Under wine the pointer may report its new place while a press
// sent next still lands at the old one; once the move reached the window, a
// press lands where it should. The move is sent again until then, in case
// one got lost. False when the move never arrived, as when another
// program's window lies over the place.
inline bool movePointer(POINT to, DWORD timeoutMs = 5000) {
  POINT was{};
  GetCursorPos(&was);
  bool arrived = was.x == to.x && was.y == to.y;  // nothing to move
  const HWND under = WindowFromPoint(to);
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = (to.x * 65536 + cx - 1) / cx;  // 65536ths of the screen: the first of the pixel's
  move.mi.dy = (to.y * 65536 + cy - 1) / cy;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  ULONGLONG sendAt = 0;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (!arrived && now >= sendAt) {
      SendInput(1, &move, sizeof(INPUT));
      sendAt = now + 300;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      if (msg.message == WM_MOUSEMOVE && msg.hwnd == under) {
        POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        ClientToScreen(under, &at);
        if (at.x == to.x && at.y == to.y) arrived = true;
      }
      Win32Ui::dispatch(msg);
    }
    POINT at{};
    if (arrived && GetCursorPos(&at) && at.x == to.x && at.y == to.y) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace temvik::testing
