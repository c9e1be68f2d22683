#pragma once

// Drives the real temvik.exe from another process: a fresh program folder
// with prepared plan files, the running program, its main window, its
// message boxes and its popup menus. Every wait polls a condition until a
// deadline; nothing sleeps for a fixed time.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace temvik::e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// How long a condition may take before a wait gives up. Generous: wine on a
// shared, busy machine is slow, and a passing wait returns at once.
inline constexpr Millis kTimeout = 15s;
// How long the program may take from CreateProcess to a ready main window.
inline constexpr Millis kStartTimeout = 30s;

[[nodiscard]] std::wstring widen(std::string_view utf8);
[[nodiscard]] std::string narrow(std::wstring_view utf16);

// Polls `condition` every few milliseconds until it holds or `timeout`
// passes; returns its last value.
bool waitFor(const std::function<bool()>& condition, Millis timeout = kTimeout);

// The temvik.exe under test, as a Windows path: the environment variable
// TEMVIK_EXE when set, otherwise the path the build compiled in. A Unix path
// ("/work/...") is turned into its wine drive form ("Z:\work\...").
[[nodiscard]] std::wstring temvikExePath();
[[nodiscard]] std::wstring windowsPath(std::string_view path);

// Starts `exe` with `dir` as its current folder and waits until it ends by
// itself: its exit code, or nothing when it did not start or still ran after
// `timeout` (it is killed then).
[[nodiscard]] std::optional<DWORD> runToExit(const std::wstring& exe, const std::wstring& dir,
                                             Millis timeout = kTimeout);

// A fresh folder under the temp folder holding a copy of temvik.exe, so the
// program finds (and writes) its plan files there. Removed with everything
// in it when destroyed.
class PlanFolder {
 public:
  PlanFolder();
  // A folder that already holds a temvik.exe (an unpacked or installed
  // release), used as it is and left in place when destroyed.
  explicit PlanFolder(std::wstring existingDir);
  ~PlanFolder();
  PlanFolder(const PlanFolder&) = delete;
  PlanFolder& operator=(const PlanFolder&) = delete;

  [[nodiscard]] bool ok() const { return error_.empty(); }
  [[nodiscard]] const std::string& error() const { return error_; }
  [[nodiscard]] const std::wstring& dir() const { return dir_; }
  [[nodiscard]] const std::wstring& exe() const { return exe_; }
  [[nodiscard]] std::wstring path(std::string_view fileName) const;

  // Writes a plan file from UTF-8 text: lone LF become CR LF, then the text
  // is encoded in GBK (code page 936) as the program expects.
  bool writeIni(std::string_view fileName, std::string_view utf8Text);
  bool writeBytes(std::string_view fileName, std::string_view bytes);
  [[nodiscard]] std::optional<std::string> readBytes(std::string_view fileName) const;
  // The file decoded from GBK; empty when it does not exist.
  [[nodiscard]] std::string readText(std::string_view fileName) const;
  [[nodiscard]] bool exists(std::string_view fileName) const;

 private:
  std::wstring dir_;
  std::wstring exe_;
  std::string error_;
  bool owned_ = true;
};

// A process for the program to end: a copy of the running test program
// under another name in the plan folder, started to do nothing but wait.
// Every instance still running is ended when the helper is destroyed.
class IdleHelper {
 public:
  IdleHelper(const PlanFolder& folder, std::string_view exeName);
  ~IdleHelper();
  IdleHelper(const IdleHelper&) = delete;
  IdleHelper& operator=(const IdleHelper&) = delete;

  [[nodiscard]] bool ok() const { return copied_; }
  // Starts one more instance; false when it could not be started.
  bool start();
  // True when the newest instance ends within `timeout`.
  [[nodiscard]] bool endsWithin(Millis timeout) const;
  [[nodiscard]] bool running() const;

 private:
  std::wstring path_;
  bool copied_ = false;
  std::vector<HANDLE> processes_;
};

// Stands in for the program that opens documents of one type: while it
// lives, the shell opens a file with `extension` (".html") by starting a copy
// of this test program from the plan folder, which writes the path it was
// given into a file there and ends. The file class is set in
// HKEY_CLASSES_ROOT and put back as it was when the opener is destroyed.
class DocumentOpener {
 public:
  DocumentOpener(const PlanFolder& folder, std::wstring_view extension);
  ~DocumentOpener();
  DocumentOpener(const DocumentOpener&) = delete;
  DocumentOpener& operator=(const DocumentOpener&) = delete;

  [[nodiscard]] bool ok() const { return ok_; }
  // The path the shell asked it to open, once it has run.
  [[nodiscard]] std::optional<std::string> opened() const;

 private:
  const PlanFolder& folder_;
  std::wstring extension_;
  std::wstring progId_;
  std::optional<std::wstring> previous_;
  bool ok_ = false;
};

// A web server on 127.0.0.1 for the program to read from: it answers GET
// requests for the paths it was given, 404 for others. A held path answers
// only once released. Answers one request at a time, on a thread of its
// own, until destroyed.
class LocalHttpServer {
 public:
  LocalHttpServer();
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  [[nodiscard]] bool ok() const { return port_ != 0; }
  // "http://127.0.0.1:<port>" + path.
  [[nodiscard]] std::string address(std::string_view path) const;
  void serve(const std::string& path, std::string body);
  // Announces the whole body, then sends one byte every 100 ms.
  void trickle(const std::string& path, std::string body);
  // Announces the whole body, sends its first half and closes.
  void cutShort(const std::string& path, std::string body);
  void hold(bool held);
  // An address on 127.0.0.1 where no server listens: connecting is refused.
  [[nodiscard]] static std::string refusingAddress(std::string_view path);
  [[nodiscard]] int requests(const std::string& path) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  unsigned short port_ = 0;
};

enum class Button { Left, Right };

// A top-level message box (#32770) of the program.
struct MessageBoxWindow {
  HWND hwnd = nullptr;
  std::string title;
  std::string text;  // the static with id 0xFFFF
  [[nodiscard]] bool hasButton(int id) const;
  // Presses a button by id (IDOK 1, IDYES 6, IDNO 7) and waits until the box is gone.
  bool press(int id) const;
  // The same with the real mouse: moves the pointer onto the button and clicks.
  bool clickButton(int id) const;
};

// The program running from a PlanFolder. The constructor starts it and waits
// for its main window to finish starting up; check ready(). The destructor
// kills the process if it still runs.
class App {
 public:
  explicit App(const PlanFolder& folder, Millis timeout = kStartTimeout);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  [[nodiscard]] bool ready() const { return hwnd_ != nullptr && error_.empty(); }
  [[nodiscard]] const std::string& error() const { return error_; }
  [[nodiscard]] HWND hwnd() const { return hwnd_; }
  [[nodiscard]] DWORD pid() const { return pid_; }
  [[nodiscard]] bool running() const;
  // Exit code once ended; STILL_ACTIVE while it runs.
  [[nodiscard]] DWORD exitCode() const;

  // Returns once the program's UI thread has handled everything sent to it
  // before; false when it does not answer in time.
  bool sync(Millis timeout = kTimeout) const;

  // --- reading the main window
  [[nodiscard]] std::string title() const;
  // The window's outer rectangle on the screen.
  [[nodiscard]] Rect windowRect() const;
  [[nodiscard]] HWND control(int id) const;
  // Text through WM_GETTEXT (edit boxes give what was typed).
  [[nodiscard]] std::string text(int id) const;
  [[nodiscard]] std::string className(int id) const;
  [[nodiscard]] LONG_PTR style(int id) const;
  [[nodiscard]] bool enabled(int id) const;
  [[nodiscard]] bool visible(int id) const;
  [[nodiscard]] bool checked(int id) const;
  // The control's rectangle in the main window's client coordinates.
  [[nodiscard]] Rect clientRect(int id) const;
  [[nodiscard]] std::vector<std::string> rows(int listId) const;
  [[nodiscard]] int selection(int listId) const;
  // The alpha of the layered main window; nothing when it cannot be read.
  [[nodiscard]] std::optional<int> layeredAlpha() const;

  // --- acting on the main window
  // Clears the edit box and types `utf8` one UTF-16 unit at a time
  // (WM_CHAR), so the program sees user edits.
  void type(int id, std::string_view utf8) const;
  // Presses a button or check box and returns when the program has handled
  // it. False when it did not return in time: a modal box opened (use
  // clickAsync for buttons that open one).
  bool click(int id, Millis timeout = kTimeout) const;
  // Presses a button without waiting for the program (for buttons that open
  // a modal box).
  void clickAsync(int id) const;
  // Moves the real pointer over a row of a list box. False when the row is
  // not in view.
  bool pointAtRow(int listId, int row) const;
  // Moves the real pointer and waits until it is there.
  static bool movePointer(POINT to);
  // Presses and releases a mouse button where the pointer is (real input).
  static void mouseDown(Button button);
  static void mouseUp(Button button);
  // pointAtRow + a left click.
  bool clickRow(int listId, int row) const;
  // Real key presses (to the window that has the keyboard focus).
  static void pressKey(WORD virtualKey);
  // The program's window with the keyboard focus (a control, or a window
  // with no control focused), or null.
  [[nodiscard]] HWND focus() const;
  // Sends a menu command as a chosen menu item does.
  void menu(int menuItemId) const;
  // Asks the window to close, as its close box does.
  void close() const;
  bool waitForExit(Millis timeout = kTimeout) const;
  // Kills the program if it still runs.
  void kill();

  // --- windows the program opens
  // The program's visible top-level window with this title, or null.
  [[nodiscard]] HWND window(std::string_view title) const;
  [[nodiscard]] HWND waitForWindow(std::string_view title, Millis timeout = kTimeout) const;
  // The program's visible common file dialog (open or save), or null.
  [[nodiscard]] HWND fileDialog() const;
  // Waits for the file dialog, types `path` as its file name and presses its
  // OK button; true when the dialog then closed.
  bool chooseFile(std::string_view path, Millis timeout = kTimeout) const;
  // The same for a save dialog on a file that exists: answers its question
  // whether to replace the file with 是.
  bool chooseFileOver(std::string_view path, Millis timeout = kTimeout) const;
  // The first visible message box of the program, if any (file dialogs are
  // not message boxes).
  [[nodiscard]] std::optional<MessageBoxWindow> messageBox() const;
  [[nodiscard]] std::optional<MessageBoxWindow> waitForMessageBox(Millis timeout = kTimeout) const;
  // The visible popup menu window (#32768) of the program, or null.
  [[nodiscard]] HWND popupMenu() const;
  // Item texts of a popup menu window; nothing when the menu cannot be read
  // from this process (wine keeps menus private to their process).
  [[nodiscard]] static std::optional<std::vector<std::string>> menuItems(HWND popupMenuWindow);

 private:
  [[nodiscard]] std::vector<HWND> topLevelWindows() const;
  HWND acceptFileName(std::string_view path, Millis timeout) const;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND hwnd_ = nullptr;
  std::string error_;
};

// Text of any window: WM_GETTEXT with a timeout.
[[nodiscard]] std::string windowText(HWND hwnd);
// Empties an edit box of any window and types `utf8` into it, one UTF-16
// unit at a time (WM_CHAR), as App::type does.
void typeInto(HWND edit, std::string_view utf8);
[[nodiscard]] std::string windowClass(HWND hwnd);

}  // namespace temvik::e2e
