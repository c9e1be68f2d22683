#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "run/power_notice.h"
#include "store/settings.h"
#include "tools/magnifier.h"
#include "tools/watch_window.h"
#include "tools/window_chooser.h"

namespace temvik {

// What happens when the bar reaches its end: the alert alone, a power
// action (shut down, restart and log off after the notice the run shows
// before the power goes), locking the computer, or a program the user chose.
enum class WatchEnd { Alert, ShutDown, Restart, LogOff, Lock, RunProgram };

struct WatchEndChoice {
  WatchEnd end;
  std::string_view caption;
};
// The rows of the chooser's 到终点后 list, in order; the first is the one a
// new watch starts with.
inline constexpr std::array<WatchEndChoice, 6> kWatchEnds{{
    {WatchEnd::Alert, "仅提示"},
    {WatchEnd::ShutDown, "关机"},
    {WatchEnd::Restart, "重启"},
    {WatchEnd::LogOff, "注销"},
    {WatchEnd::Lock, "锁定"},
    {WatchEnd::RunProgram, "运行程序"},
}};

// Whether the end point's colour changed enough: the taken colour less the
// current one, as signed whole COLORREF values (0x00BBGGRR), above 1000. A
// colour that went up, or down by 1000 or less, does not count.
[[nodiscard]] bool endReached(std::uint32_t takenColorRef, std::uint32_t currentColorRef);

// The canvas as the watch window shows it: the capture (a BMP file) at
// the top-left corner over the canvas's white; nothing, or a file that
// cannot be read, leaves it all white.
[[nodiscard]] Picture canvasPicture(const std::optional<std::vector<std::uint8_t>>& capture);

// The progress-bar watcher: the user picks a window in the chooser and a
// point in the live picture of it; every 50 ms the window is captured again
// and, once the point's colour has changed enough, the user is told in a
// box above every program, or what they chose for the end is done instead.
// One watch at a time; nothing is kept, and each opening starts with the
// alert alone.
class ProgressWatcher {
 public:
  static constexpr std::uint64_t kCompareMs = 50;
  static constexpr float kZoom = 5.0f;

  // `settings` gives the seconds of the notice before a power action.
  ProgressWatcher(Services& services, RetiredWindows& retired, const SettingsValues& settings);
  ~ProgressWatcher();
  ProgressWatcher(const ProgressWatcher&) = delete;
  ProgressWatcher& operator=(const ProgressWatcher&) = delete;

  // The menu item: opens the chooser over `owner` (the main window). While
  // the tool runs, its visible window comes to the front instead.
  void open(Window& owner);

  // --- what the tool's windows hand on
  // A window was chosen: the chooser hides, the watch window opens with one
  // capture of it and the magnifier running.
  void startPicking(std::int64_t handle);
  // The canvas was clicked at `at`: the watch starts.
  void takeEndPoint(Point at);
  // A row of 到终点后 was selected. 运行程序 without a program asks for
  // one first, and a cancel there keeps the end that was chosen before.
  void chooseEnd(WatchEnd end);
  // "选择程序…": a program chosen in the file dialog becomes the end.
  bool chooseProgram();
  // The comparison timer fired.
  void compare();
  // The watch window is closing: the tool ends.
  void stop();

  [[nodiscard]] bool magnifierRunning() const { return magnifier_.running(); }

 private:
  void showCapture();
  void showEnd();
  // The bar reached its end, the tool's windows are gone: do what was chosen.
  void finish(WatchEnd end, const std::string& program);
  // The canvas's colour at `at` as a COLORREF; the canvas's white beyond
  // what the capture covers.
  [[nodiscard]] std::uint32_t colourAt(Point at) const;

  Services& services_;
  const SettingsValues& settings_;
  WindowChooser chooser_;
  WatchWindow watch_;
  Magnifier magnifier_;
  Window* owner_ = nullptr;
  std::int64_t watched_ = 0;
  Point endPoint_;
  std::uint32_t endColour_ = 0;  // COLORREF
  bool watching_ = false;
  Picture canvas_;  // what the canvas shows, without the marker
  WatchEnd end_ = WatchEnd::Alert;
  std::string program_;                                   // for WatchEnd::RunProgram
  FileDialog programDialog_{FileDialog::Kind::Open, ""};  // all files, as the program chooser
  PowerNotice notice_;
};

}  // namespace temvik
