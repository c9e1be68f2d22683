#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace temvik {

// One pixel as 0xAARRGGBB. In memory (little-endian) that is blue, green,
// red, alpha: the byte order of a 32-bit device-independent bitmap's rows.
// Alpha is not drawn.
using Pixel = std::uint32_t;

[[nodiscard]] constexpr Pixel rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return 0xFF000000u | (Pixel{red} << 16) | (Pixel{green} << 8) | Pixel{blue};
}

// The same colour as a Windows COLORREF (0x00BBGGRR).
[[nodiscard]] constexpr std::uint32_t colorRef(Pixel p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

// A picture in memory: `width` × `height` pixels, row by row from the top.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;

  Picture() = default;
  Picture(int w, int h, Pixel fill = 0)
      : width(w),
        height(h),
        pixels(w > 0 && h > 0 ? static_cast<std::size_t>(w) * static_cast<std::size_t>(h) : 0,
               fill) {}

  // Nothing to draw: no size, or not exactly width × height pixels.
  [[nodiscard]] bool empty() const {
    return width <= 0 || height <= 0 ||
           pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }
  [[nodiscard]] Pixel at(int x, int y) const { return pixels[index(x, y)]; }
  void set(int x, int y, Pixel p) { pixels[index(x, y)] = p; }

  friend bool operator==(const Picture&, const Picture&) = default;

 private:
  [[nodiscard]] std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
  }
};

// How a surface shows its picture: at its own size from the top-left
// corner, or stretched over the whole surface. The rest of the surface
// shows the window colour.
enum class PictureFit { Actual, Stretch };

}  // namespace temvik
