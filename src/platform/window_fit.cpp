#include "platform/window_fit.h"

#include <algorithm>

namespace temvik {
namespace {

// The window's size laid out at `layoutDpi` on a monitor of `dpi`: the
// design scaled, plus what of the frame the scale does not take.
Point sizeAt(Point design, Point frame, int layoutDpi, int dpi) {
  const auto one = [&](int designPx, int framePx) {
    return atDpi(designPx, layoutDpi) + frameBeyondLayout(framePx, layoutDpi, dpi);
  };
  return {one(design.x, frame.x), one(design.y, frame.y)};
}

int placed(int wanted, int size, int low, int high) {
  return std::max(low, std::min(wanted, high - size));
}

}  // namespace

WindowFit fitWindow(Point design, Point wanted, Point frame, const Rect& workArea, int dpi) {
  dpi = std::max(dpi, 1);
  const auto fits = [&](Point size) {
    return size.x <= workArea.width && size.y <= workArea.height;
  };
  int layout = dpi;
  Point size = sizeAt(design, frame, layout, dpi);
  for (int smaller = dpi - 1; !fits(size) && smaller >= (dpi + 1) / 2; --smaller) {
    layout = smaller;
    size = sizeAt(design, frame, layout, dpi);
  }
  return {layout,
          {placed(wanted.x, size.x, workArea.x, workArea.x + workArea.width),
           placed(wanted.y, size.y, workArea.y, workArea.y + workArea.height), size.x, size.y}};
}

}  // namespace temvik
