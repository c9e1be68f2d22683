#pragma once

// FakeDesktop: the headless desktop of other programs' windows (the Win32
// twin: win32_desktop.{h,cpp}).

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace temvik::headless {

// Other programs' windows and a screen the test paints. The pointer and the
// screen may be read from any thread.
class FakeDesktop final : public Desktop {
 public:
  [[nodiscard]] std::vector<TopLevelWindow> topLevelWindows() const override;
  [[nodiscard]] std::optional<std::vector<std::uint8_t>> captureWindow(
      std::int64_t handle) override;
  [[nodiscard]] Point cursorPosition() const override;
  // Nearest-pixel stretch of the painted screen; the pointer is one pixel
  // of kCursorColour at `cursorAt`.
  [[nodiscard]] Picture magnify(Rect source, int width, int height, Point cursorAt) override;

  static constexpr Pixel kCursorColour = rgb(1, 2, 3);
  // A window with its title and its look (an empty picture: it cannot be
  // taken); returns its handle.
  std::int64_t addWindow(std::string title, bool visible, Picture look = Picture(40, 30));
  void setLook(std::int64_t handle, Picture look);
  void closeWindow(std::int64_t handle);
  void setScreen(Picture screen);
  void setCursor(Point at);
  [[nodiscard]] int captures() const;
  [[nodiscard]] int magnifications() const;
  [[nodiscard]] Rect lastMagnifiedSource() const;

 private:
  struct Shown {
    TopLevelWindow window;
    Picture look;
  };
  mutable std::mutex mutex_;
  std::vector<Shown> windows_;
  std::int64_t next_ = 0x1000;
  Picture screen_;
  Point cursor_;
  int captures_ = 0;
  int magnifications_ = 0;
  Rect lastSource_;
};

}  // namespace temvik::headless
