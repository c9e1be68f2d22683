#pragma once

// Runs the test thread's message loop for a while, as the program's own loop
// would, so that posted input, timers and notifications arrive.

#include <windows.h>

#include <functional>

namespace temvik::testing {

// Dispatches messages until `done` holds or `timeoutMs` passed; returns `done()`.
inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return done();
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

inline void pumpFor(DWORD ms) {
  pumpUntil([] { return false; }, ms);
}

}  // namespace temvik::testing
