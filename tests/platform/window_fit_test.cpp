// Where a window goes on a screen of any size: wholly inside the work area
// whenever it can be, at the largest scale that gets it there, moved no
// further than it must.

#include "platform/window_fit.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace temvik::testing {
namespace {

bool inside(const Rect& r, const Rect& area) {
  return r.x >= area.x && r.y >= area.y && r.x + r.width <= area.x + area.width &&
         r.y + r.height <= area.y + area.height;
}

Point sizeAt(Point design, Point frame, int layout, int dpi) {
  return {atDpi(design.x, layout) + frameBeyondLayout(frame.x, layout, dpi),
          atDpi(design.y, layout) + frameBeyondLayout(frame.y, layout, dpi)};
}

TEST(WindowFitTest, AWindowLiesInsideTheWorkAreaAtTheLargestScaleThatFits) {
  std::mt19937 rng(20261209);
  const auto between = [&](int low, int high) {
    return low + static_cast<int>(rng() % static_cast<unsigned>(high - low + 1));
  };
  constexpr int kDpis[] = {96, 120, 144, 168, 192, 288};
  for (int round = 0; round < 5000; ++round) {
    const int dpi = kDpis[rng() % std::size(kDpis)];
    const Point design{between(120, 1000), between(80, 900)};
    // Caption, menu bar and borders, at the monitor's DPI.
    const Point frame{atDpi(between(0, 16), dpi), atDpi(between(0, 60), dpi)};
    const Rect work{between(-3000, 3000), between(-2000, 2000), between(300, 2600),
                    between(240, 1600)};
    const Point wanted{work.x + between(-400, work.width + 400),
                       work.y + between(-400, work.height + 400)};
    SCOPED_TRACE("round " + std::to_string(round));

    const WindowFit fit = fitWindow(design, wanted, frame, work, dpi);
    const Rect& r = fit.rect;
    ASSERT_LE(fit.dpi, dpi);
    ASSERT_GE(2 * fit.dpi, dpi);
    const Point size = sizeAt(design, frame, fit.dpi, dpi);
    ASSERT_EQ((Point{r.width, r.height}), size);
    if (fit.dpi == dpi) {
      // The design scaled to the monitor, as every window that fits has it.
      ASSERT_EQ((Point{r.width, r.height}), (Point{atDpi(design.x, dpi), atDpi(design.y, dpi)}));
    } else {
      // One step larger would not have fitted.
      const Point larger = sizeAt(design, frame, fit.dpi + 1, dpi);
      ASSERT_TRUE(larger.x > work.width || larger.y > work.height);
    }
    if (r.width <= work.width && r.height <= work.height) {
      ASSERT_TRUE(inside(r, work));
      // Moved no further than it must: a corner already inside stays put.
      if (wanted.x >= work.x && wanted.x + r.width <= work.x + work.width) {
        ASSERT_EQ(r.x, wanted.x);
      }
      if (wanted.y >= work.y && wanted.y + r.height <= work.y + work.height) {
        ASSERT_EQ(r.y, wanted.y);
      }
    } else {
      // Too large even at half the scale: its top-left corner, with the
      // caption and the menus, is still on the screen.
      ASSERT_LE(2 * fit.dpi - dpi, 1);
      ASSERT_GE(r.x, work.x);
      ASSERT_GE(r.y, work.y);
    }
  }
}

TEST(WindowFitTest, TheMainWindowOnSmallScreensKeepsItsBottomRowInReach) {
  // 485 × 737 with a 23-px caption, a 20-px menu bar and 3-px borders at
  // 96 DPI, placed at (50, 50), over a task bar 40 px (60 px at 144 DPI) tall.
  struct Screen {
    int dpi, width, height, taskBar;
  };
  for (const Screen s : {Screen{96, 1366, 768, 40}, Screen{144, 1920, 1080, 60},
                         Screen{144, 1280, 1024, 60}, Screen{96, 1280, 1024, 40}}) {
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height) + " at " +
                 std::to_string(s.dpi));
    const Rect work{0, 0, s.width, s.height - s.taskBar};
    const Point frame{atDpi(6, s.dpi), atDpi(49, s.dpi)};
    const WindowFit fit =
        fitWindow({485, 737}, {atDpi(50, s.dpi), atDpi(50, s.dpi)}, frame, work, s.dpi);
    EXPECT_TRUE(inside(fit.rect, work));
    EXPECT_EQ(fit.dpi == s.dpi, atDpi(737, s.dpi) + atDpi(50, s.dpi) <= work.height);
  }
}

}  // namespace
}  // namespace temvik::testing
