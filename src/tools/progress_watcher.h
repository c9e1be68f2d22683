#pragma once

#include <cstdint>

#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "tools/magnifier.h"
#include "tools/watch_window.h"
#include "tools/window_chooser.h"

namespace temvik {

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
// box above every program. One watch at a time; nothing is kept.
class ProgressWatcher {
 public:
  static constexpr std::uint64_t kCompareMs = 50;
  static constexpr float kZoom = 5.0f;

  ProgressWatcher(Services& services, RetiredWindows& retired);
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
  // The comparison timer fired.
  void compare();
  // The watch window is closing: the tool ends.
  void stop();

  [[nodiscard]] bool magnifierRunning() const { return magnifier_.running(); }

 private:
  void showCapture();
  // The canvas's colour at `at` as a COLORREF; the canvas's white beyond
  // what the capture covers.
  [[nodiscard]] std::uint32_t colourAt(Point at) const;

  Services& services_;
  WindowChooser chooser_;
  WatchWindow watch_;
  Magnifier magnifier_;
  Window* owner_ = nullptr;
  std::int64_t watched_ = 0;
  Point endPoint_;
  std::uint32_t endColour_ = 0;  // COLORREF
  bool watching_ = false;
  Picture canvas_;  // what the canvas shows, without the marker
};

}  // namespace temvik
