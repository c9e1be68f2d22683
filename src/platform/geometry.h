#pragma once

namespace temvik {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Design pixels (drawn at 96 DPI) at `dpi`, rounded to the nearest pixel,
// halves away from zero.
[[nodiscard]] constexpr int atDpi(int designPx, int dpi) {
  const long long product = static_cast<long long>(designPx) * dpi;
  return static_cast<int>(product >= 0 ? (product + 48) / 96 : -((-product + 48) / 96));
}

}  // namespace temvik
