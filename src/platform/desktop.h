#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/picture.h"

namespace temvik {

// A top-level window of any program, as the desktop lists it.
struct TopLevelWindow {
  std::int64_t handle = 0;  // the native handle; 0 is none
  bool visible = false;
  std::string title;
};

// Other programs' windows and the screen: listing, capture, the pointer.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // UI thread. Every top-level window, in the system's order.
  [[nodiscard]] virtual std::vector<TopLevelWindow> topLevelWindows() const = 0;
  // UI thread. The window as it looks now, as an in-memory BMP file
  // (platform/bmp.h); nothing when the window is gone or cannot be taken.
  [[nodiscard]] virtual std::optional<std::vector<std::uint8_t>> captureWindow(
      std::int64_t handle) = 0;

  // Any thread. Where the pointer is, in screen pixels.
  [[nodiscard]] virtual Point cursorPosition() const = 0;
  // Any thread. The screen's pixels in `source` stretched to `width` ×
  // `height`, with the pointer's current shape drawn at its own size, its
  // top-left corner at `cursorAt` in the result. Parts off the screen are
  // black.
  [[nodiscard]] virtual Picture magnify(Rect source, int width, int height, Point cursorAt) = 0;
};

}  // namespace temvik
