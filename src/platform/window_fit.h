#pragma once

// Where a window goes so that the whole of it can be reached: inside the
// work area of its monitor (the screen less the task bar), laid out at the
// largest scale that fits when its design is larger than that.

#include "platform/geometry.h"

namespace temvik {

struct WindowFit {
  int dpi = 0;  // what the window's design is laid out for
  Rect rect;    // the window on the screen
};

// `design` is the window's design size (at 96 DPI, frame included), `wanted`
// the screen point its top-left corner is meant to go to, `frame` how much
// of the window at `dpi` is caption, menu bar and borders (which stay at the
// monitor's size whatever the layout), `workArea` the monitor's work area.
//
// At `dpi` the window has its design size scaled, as everywhere else; when
// that does not fit, the layout DPI is the largest one down to half of
// `dpi` at which the window fits. The window then moves no further than it
// must to lie inside the work area; one larger than the work area even at
// half scale keeps its top-left corner on the screen.
// What of a window's frame (`framePx` at `monitorDpi`) lies beyond its
// design scaled to `layoutDpi`: the frame keeps the monitor's size.
[[nodiscard]] constexpr int frameBeyondLayout(int framePx, int layoutDpi, int monitorDpi) {
  return framePx - framePx * layoutDpi / monitorDpi;
}

[[nodiscard]] WindowFit fitWindow(Point design, Point wanted, Point frame, const Rect& workArea,
                                  int dpi);

}  // namespace temvik
