#pragma once

// Runs the test thread's message loop for a while, as the program's own loop
// would, so that posted input, timers and notifications arrive.

#include <windows.h>

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

}  // namespace temvik::testing
