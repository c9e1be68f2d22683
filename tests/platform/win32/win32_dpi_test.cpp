// Windows on screens of other DPIs than 96: the design's rectangles and the
// font scale, the model keeps speaking design pixels, and a DPI change
// (WM_DPICHANGED) lays the window out again.

#include <windows.h>

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/win32_ui.h"
#include "pump.h"

namespace temvik {
namespace {

constexpr ControlId kGroup = 1, kLabel = 2, kButton = 3, kCheck = 4, kList = 5;

WindowDesign design() {
  return WindowDesign{
      .designName = "测试窗口",
      .title = "DPI",
      .rect = {60, 40, 485, 420},
      .controls =
          {
              {kGroup, "分组框1", "", ControlKind::GroupBox, {224, -8, 272, 304}, "多媒体", ""},
              {kLabel, "标签10", "", ControlKind::Label, {248, 68, 60, 16}, "支持格式：", ""},
              {kButton,
               "超级按钮5",
               "",
               ControlKind::Button,
               {376, 300, 72, 32},
               "从头执行",
               "从非同步列表的第一个项目开始执行"},
              // Odd sizes, which scale with rounding.
              {kCheck, "选择框3", "", ControlKind::CheckBox, {303, 213, 89, 17}, "使用默认", ""},
              {kList, "非同步框", "", ControlKind::ListBox, {16, 24, 168, 248}, "", ""},
          },
  };
}

class Moves : public WindowEvents {
 public:
  std::vector<Point> moves;
  void onMoved(Point p) override { moves.push_back(p); }
};

Rect outerRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Rect childRect(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

LONG fontHeight(HWND control) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW f{};
  return font && GetObjectW(font, sizeof(f), &f) ? f.lfHeight : 0;
}

// Every control at its design rectangle scaled to `dpi`, in the font of that DPI.
void expectLaidOutFor(const Win32Window& w, const WindowDesign& d, UINT dpi) {
  for (const auto& c : d.controls) {
    SCOPED_TRACE(std::string(c.designName) + " at " + std::to_string(dpi) + " DPI");
    const HWND h = w.controlHwnd(c.id);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(childRect(w.hwnd(), h), scaleToDpi(c.rect, dpi));
    EXPECT_EQ(fontHeight(h), -scaleToDpi(12, dpi));
  }
}

TEST(Win32DpiScale, DesignSizesComeBackUnchangedFromEveryCommonDpi) {
  // bounds() gives a window's size in design pixels: scaling there and back
  // must not lose or gain a pixel, whatever the rounding.
  for (const UINT dpi : {96u, 120u, 144u, 168u, 192u, 288u}) {
    for (int v = -50; v <= 2000; ++v) {
      ASSERT_EQ(scaleFromDpi(scaleToDpi(v, dpi), dpi), v) << v << " at " << dpi << " DPI";
    }
  }
  EXPECT_EQ(scaleToDpi(485, 144), 728);  // 727.5 rounds up
  EXPECT_EQ(scaleToDpi(737, 144), 1106);
  EXPECT_EQ(scaleToDpi(Rect{8, -8, 208, 304}, 144), (Rect{12, -12, 312, 456}));
}

TEST(Win32DpiWindow, At144DpiTheWindowControlsAndFontAreOneAndAHalfTimesTheDesign) {
  Win32Options options;
  options.dpi = 144;
  Win32Ui ui(options);
  Moves events;
  const WindowDesign d = design();
  auto window = ui.createWindow(d, events, nullptr);
  auto& w = static_cast<Win32Window&>(*window);
  ASSERT_NE(w.hwnd(), nullptr);
  EXPECT_EQ(w.dpi(), 144u);

  // On the screen: scaled from the monitor's corner, here the primary's (0, 0).
  EXPECT_EQ(outerRect(w.hwnd()), (Rect{90, 60, 728, 630}));
  expectLaidOutFor(w, d, 144);
  EXPECT_EQ(fontHeight(w.controlHwnd(kLabel)), -18);

  // The model still speaks design pixels.
  EXPECT_EQ(w.bounds(), d.rect);
  w.move({100, 120});
  EXPECT_EQ(outerRect(w.hwnd()), (Rect{150, 180, 728, 630}));
  EXPECT_EQ(w.bounds(), (Rect{100, 120, 485, 420}));
  ASSERT_FALSE(events.moves.empty());
  EXPECT_EQ(events.moves.back(), (Point{100, 120}));
}

TEST(Win32DpiWindow, At144DpiACentredWindowIsCentredAtItsScaledSize) {
  Win32Options options;
  options.dpi = 144;
  Win32Ui ui(options);
  Moves events;
  WindowDesign d = design();
  d.centered = true;
  d.rect = {5, 5, 320, 140};
  auto window = ui.createWindow(d, events, nullptr);
  const HWND h = static_cast<Win32Window&>(*window).hwnd();
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(outerRect(h), (Rect{work.left + (work.right - work.left - 480) / 2,
                                work.top + (work.bottom - work.top - 210) / 2, 480, 210}));
  EXPECT_EQ(window->bounds().width, 320);
  EXPECT_EQ(window->bounds().height, 140);
}

TEST(Win32DpiWindow, ADpiChangeTakesTheSuggestedRectAndLaysTheControlsOutAgain) {
  Win32Ui ui;
  Moves events;
  const WindowDesign d = design();
  auto window = ui.createWindow(d, events, nullptr);
  auto& w = static_cast<Win32Window&>(*window);
  // The test prefix runs at 96 DPI: the design as it is.
  ASSERT_EQ(w.dpi(), kDesignDpi);
  ASSERT_EQ(outerRect(w.hwnd()), d.rect);
  expectLaidOutFor(w, d, kDesignDpi);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(w.controlHwnd(kButton), WM_GETFONT, 0, 0)),
            ui.font());

  // Moved onto a 144-DPI monitor: Windows suggests where the window goes.
  RECT suggested{200, 100, 200 + 728, 100 + 630};
  SendMessageW(w.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(w.dpi(), 144u);
  EXPECT_EQ(outerRect(w.hwnd()), (Rect{200, 100, 728, 630}));
  expectLaidOutFor(w, d, 144);
  EXPECT_EQ(w.bounds().width, 485);

  // And back: every control exactly at its design rectangle, in the 96-DPI font.
  suggested = {60, 40, 60 + 485, 40 + 420};
  SendMessageW(w.hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(outerRect(w.hwnd()), d.rect);
  expectLaidOutFor(w, d, kDesignDpi);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(w.controlHwnd(kButton), WM_GETFONT, 0, 0)),
            ui.font());
}

bool inside(const Rect& r, const Rect& area) {
  return r.x >= area.x && r.y >= area.y && r.x + r.width <= area.x + area.width &&
         r.y + r.height <= area.y + area.height;
}

TEST(Win32DpiWindow, AWindowStaysInsideAShrinkingWorkAreaLaidOutAtAScaleThatFits) {
  Rect work{0, 0, 1280, 1024};
  Win32Options options;
  options.dpi = 144;
  options.workArea = &work;
  Win32Ui ui(options);
  Moves events;
  const WindowDesign d = design();
  auto window = ui.createWindow(d, events, nullptr);
  auto& w = static_cast<Win32Window&>(*window);
  ASSERT_EQ(w.dpi(), 144u);
  const Rect before = outerRect(w.hwnd());
  ASSERT_EQ(before, (Rect{90, 60, 728, 630}));

  // The task bar grows to all but the top 500 pixels: the window, 630 tall
  // at 144 DPI, can only come back inside laid out smaller.
  work = {0, 0, 1000, 500};
  SendMessageW(w.hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_TRUE(inside(outerRect(w.hwnd()), work));
  EXPECT_LT(w.dpi(), 144u);
  expectLaidOutFor(w, d, w.dpi());
  // The model still sees its design.
  EXPECT_EQ(w.bounds().width, d.rect.width);

  // Moved by the model off the bottom right: it stops at the edge.
  w.move({2000, 2000});
  const Rect moved = outerRect(w.hwnd());
  EXPECT_EQ(moved.x + moved.width, 1000);
  EXPECT_EQ(moved.y + moved.height, 500);

  // A monitor of another DPI whose work area is as small: still inside.
  work = {-1000, 0, 900, 480};
  RECT suggested{-900, 10, -900 + 485, 10 + 420};
  SendMessageW(w.hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_TRUE(inside(outerRect(w.hwnd()), work));
  EXPECT_EQ(w.dpi(), 96u);
  SendMessageW(w.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_TRUE(inside(outerRect(w.hwnd()), work));
  EXPECT_LT(w.dpi(), 144u);

  // The task bar back as it was: the design's full scale again.
  work = {0, 0, 1280, 1024};
  SendMessageW(w.hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
  EXPECT_EQ(w.dpi(), 144u);
  expectLaidOutFor(w, d, 144);
  EXPECT_EQ(outerRect(w.hwnd()).width, before.width);
  EXPECT_EQ(outerRect(w.hwnd()).height, before.height);
}

// The surface's pixels as the screen shows them, row by row.
std::vector<COLORREF> surfacePixels(HWND surface, int width, int height) {
  POINT at{0, 0};
  ClientToScreen(surface, &at);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP copy = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = SelectObject(memory, copy);
  BitBlt(memory, 0, 0, width, height, screen, at.x, at.y, SRCCOPY);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(memory, x, y));
  SelectObject(memory, old);
  DeleteObject(copy);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

TEST(Win32DpiWindow, At144DpiADrawingIsPaintedAtThatScaleWithWholePixelEdges) {
  Win32Options options;
  options.dpi = 144;
  Win32Ui ui(options);
  Moves events;
  const WindowDesign d{
      .designName = "测试窗口",
      .title = "绘图",
      .rect = {60, 40, 300, 200},
      .controls = {{1, "图表", "", ControlKind::Surface, {10, 10, 200, 100}, "", ""}},
  };
  auto window = ui.createWindow(d, events, nullptr);
  auto& w = static_cast<Win32Window&>(*window);
  constexpr COLORREF kRed = RGB(200, 0, 0), kBlue = RGB(0, 0, 200), kGreen = RGB(0, 150, 0);
  Drawing drawing;
  drawing.box({10, 10, 20, 20}, rgb(200, 0, 0));
  drawing.box({40, 10, 40, 40}, rgb(0, 0, 200), Drawing::Fill::Hatched);
  drawing.line({0, 70}, {199, 70}, rgb(0, 150, 0));
  drawing.text({100, 10, 100, 30}, "统计", Drawing::Align::Left, rgb(0, 0, 0));
  w.surfaceSetDrawing(1, drawing);
  w.show();
  w.activate();
  const HWND surface = w.controlHwnd(1);
  constexpr int kWidth = 300, kHeight = 150;  // 200 × 100 at 144 DPI
  std::vector<COLORREF> p;
  const auto at = [&](int x, int y) { return p[static_cast<std::size_t>(y * kWidth + x)]; };
  ASSERT_TRUE(testing::pumpUntil([&] {
    p = surfacePixels(surface, kWidth, kHeight);
    return at(15, 15) == kRed;
  }));
  const COLORREF paper = GetSysColor(COLOR_WINDOW);
  // The solid box covers 15…44 both ways exactly.
  EXPECT_EQ(at(44, 44), kRed);
  EXPECT_EQ(at(14, 30), paper);
  EXPECT_EQ(at(45, 30), paper);
  EXPECT_EQ(at(30, 45), paper);
  // The line is two whole rows at 105 and 106 across the surface.
  for (const int x : {0, 150, 299}) {
    EXPECT_EQ(at(x, 104), paper) << x;
    EXPECT_EQ(at(x, 105), kGreen) << x;
    EXPECT_EQ(at(x, 106), kGreen) << x;
    EXPECT_EQ(at(x, 107), paper) << x;
  }
  // The hatched box: its frame in the colour, inside both the colour and the paper.
  EXPECT_EQ(at(60, 15), kBlue);
  EXPECT_EQ(at(60, 16), kBlue);
  int blue = 0, white = 0;
  for (int y = 20; y < 70; ++y)
    for (int x = 65; x < 115; ++x)
      (at(x, y) == kBlue ? blue : white) += at(x, y) == kBlue || at(x, y) == paper;
  EXPECT_GT(blue, 200);
  EXPECT_GT(white, 1000);
  // The text is drawn inside its rectangle, 150…299 × 15…59, and nowhere else.
  int ink = 0, stray = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 120; x < kWidth; ++x)
      if (at(x, y) == RGB(0, 0, 0)) ++(x >= 150 && y >= 15 && y < 60 ? ink : stray);
  EXPECT_GT(ink, 20);
  EXPECT_EQ(stray, 0);
}

TEST(Win32DpiUi, OneFontPerDpiMadeOnceAndOfTheSameFace) {
  Win32Ui ui;
  const HFONT at96 = ui.font();
  const HFONT at144 = ui.font(144);
  EXPECT_EQ(ui.font(kDesignDpi), at96);
  EXPECT_EQ(ui.font(144), at144);
  EXPECT_NE(at96, at144);
  LOGFONTW f96{}, f144{};
  ASSERT_TRUE(GetObjectW(at96, sizeof(f96), &f96));
  ASSERT_TRUE(GetObjectW(at144, sizeof(f144), &f144));
  EXPECT_EQ(f96.lfHeight, -12);
  EXPECT_EQ(f144.lfHeight, -18);
  EXPECT_EQ(std::wstring(f96.lfFaceName), std::wstring(f144.lfFaceName));
}

}  // namespace
}  // namespace temvik
