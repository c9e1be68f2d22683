#pragma once

// One running copy of the program per program folder: the plan files beside
// the exe have one reader and writer, and the timed plan one scheduler.

#include <windows.h>

#include <functional>
#include <string>

namespace temvik {

// The first copy that runs from a folder holds it for its lifetime: a
// named mutex of the session (Local\) and a message-only window, both named
// after the folder's identity. A later start from the same folder, however
// its path is spelled, asks the first copy to come forward and ends.
class Win32SingleCopy {
 public:
  // Works out which folder the exe runs from; takes nothing yet.
  Win32SingleCopy();
  ~Win32SingleCopy();
  Win32SingleCopy(const Win32SingleCopy&) = delete;
  Win32SingleCopy& operator=(const Win32SingleCopy&) = delete;

  // True when this copy is the folder's first one and runs on. False when
  // another copy runs from it: that one has been asked to come forward (or
  // did not listen within about 2 s, then it is left alone), and this copy
  // ends. Never waits on the first copy itself: its message is posted.
  bool claimFolder();
  // First copy: `comeForward` runs on this thread, from whichever message
  // loop is running, each time a later copy starts from the folder.
  void listen(std::function<void()> comeForward);

  // "V<volume serial>-<file index>" of the folder, in hex; where the file
  // system gives no index, "P" and the folder's full long path, upper-cased.
  [[nodiscard]] const std::wstring& identity() const { return identity_; }

 private:
  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
  // The session's name of the mutex: derived from the identity alone.
  [[nodiscard]] std::wstring mutexName() const;
  // Finds the first copy's window and posts it the request; false when the
  // window is not there.
  [[nodiscard]] bool askFirstCopy() const;

  std::wstring identity_;
  HANDLE mutex_ = nullptr;
  HWND window_ = nullptr;
  std::function<void()> comeForward_;
};

}  // namespace temvik
