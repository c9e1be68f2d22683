#pragma once

// Other programs' windows and the screen, through the window manager and GDI.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/bmp.h"
#include "platform/desktop.h"

namespace temvik {

class Win32Desktop final : public Desktop {
 public:
  // EnumWindows, visibility and the title through the W functions.
  [[nodiscard]] std::vector<TopLevelWindow> topLevelWindows() const override;
  // PrintWindow into a screen-compatible bitmap, read with GetDIBits at the
  // bitmap's own depth (32 bits for a palette screen). When PrintWindow fails
  // or leaves the picture blank (one colour throughout, as under wine), the
  // window's rectangle is copied from the screen instead.
  [[nodiscard]] std::optional<std::vector<std::uint8_t>> captureWindow(
      std::int64_t handle) override;
  [[nodiscard]] Point cursorPosition() const override;
  // StretchBlt from the desktop window's device context into a bitmap of
  // this thread's own, then DrawIcon of the current cursor (GetCursorInfo,
  // which any thread may ask). Nothing is shared with another thread.
  [[nodiscard]] Picture magnify(Rect source, int width, int height, Point cursorAt) override;
};

// The BMP file of a bitmap (not selected into any device context) as
// captureWindow hands it over; nothing when it cannot be read.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> bitmapFile(HDC dc, HBITMAP bitmap);

}  // namespace temvik
