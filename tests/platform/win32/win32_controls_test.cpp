// The month calendar and the drawing surface on real windows.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/win32/win32_ui.h"
#include "pump.h"

namespace temvik {
namespace {

using testing::pumpFor;
using testing::pumpUntil;

constexpr ControlId kCalendar = 21, kSurface = 22, kEdit = 23;
constexpr int kSurfaceWidth = 120, kSurfaceHeight = 90;

WindowDesign design() {
  return WindowDesign{
      .designName = "设置同步",
      .title = "设置同步",
      .rect = {80, 60, 460, 300},
      .controls =
          {
              {kCalendar, "月历1", "", ControlKind::MonthCalendar, {8, 8, 240, 180}, "", ""},
              {kSurface,
               "画板1",
               "",
               ControlKind::Surface,
               {270, 8, kSurfaceWidth, kSurfaceHeight},
               "",
               ""},
              {kEdit, "编辑框1", "", ControlKind::Edit, {270, 120, 48, 24}, "0", ""},
          },
  };
}

struct Recorder : WindowEvents {
  std::vector<std::string> log;
  void onChanged(ControlId id) override { log.push_back("changed:" + std::to_string(id)); }
  void onMouseDownAt(ControlId id, MouseButton b, Point at) override {
    log.push_back("down:" + std::to_string(id) + (b == MouseButton::Left ? ":L:" : ":R:") +
                  std::to_string(at.x) + "," + std::to_string(at.y));
  }
  void onTextTyped(ControlId id) override { log.push_back("typed:" + std::to_string(id)); }
  [[nodiscard]] int count(const std::string& entry) const {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
  }
};

// The colour on the screen at a point of a control, as the user sees it.
COLORREF screenPixel(HWND control, int x, int y) {
  POINT at{x, y};
  ClientToScreen(control, &at);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP pixel = CreateCompatibleBitmap(screen, 1, 1);
  const HGDIOBJ old = SelectObject(memory, pixel);
  BitBlt(memory, 0, 0, 1, 1, screen, at.x, at.y, SRCCOPY);
  const COLORREF colour = GetPixel(memory, 0, 0);
  SelectObject(memory, old);
  DeleteObject(pixel);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return colour;
}

// A real left click at a point of a control, through the system's input.
// The pointer moves in the same input (SetCursorPos may land only later).
// Presses and releases the left button at a point of a control, as the
// mouse's messages reach it. (Real input would also prove the system's
// routing, at the price of a press that wine now and then delivers seconds
// late, to whatever window is then at the old place.)
void clickAt(HWND control, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(control, WM_LBUTTONUP, 0, at);
}

SYSTEMTIME systemDate(int year, int month, int day) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  return t;
}

class Win32ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = ui_.createWindow(design(), events_, nullptr);
    events_.log.clear();
  }
  HWND hwnd() { return static_cast<Win32Window&>(*window_).hwnd(); }
  HWND item(ControlId id) { return GetDlgItem(hwnd(), id); }
  void showOnTop() {
    window_->show();
    window_->activate();
    pumpFor(50);
    events_.log.clear();
  }
  // What the calendar tells its window when the user picks a date.
  void notifyFromCalendar(UINT code, HWND from) {
    NMSELCHANGE change{};
    change.nmhdr.hwndFrom = from;
    change.nmhdr.idFrom = kCalendar;
    change.nmhdr.code = code;
    SendMessageW(item(kCalendar), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&change.stSelStart));
    change.stSelEnd = change.stSelStart;
    SendMessageW(hwnd(), WM_NOTIFY, kCalendar, reinterpret_cast<LPARAM>(&change));
  }

  Win32Ui ui_;
  Recorder events_;
  std::unique_ptr<Window> window_;
};

// ------------------------------------------------------------ month calendar

TEST_F(Win32ControlsTest, CalendarIsTheNativeControlStartingOnToday) {
  wchar_t cls[64] = {};
  GetClassNameW(item(kCalendar), cls, 64);
  EXPECT_STREQ(cls, MONTHCAL_CLASSW);
  SYSTEMTIME today{};
  GetLocalTime(&today);
  EXPECT_EQ(window_->calendarDate(kCalendar), (DateTime{today.wYear, today.wMonth, today.wDay}));
}

TEST_F(Win32ControlsTest, CalendarDateRoundTripsAndTheCodesChangesRaiseNothing) {
  window_->calendarSetDate(kCalendar, {2026, 3, 15, 10, 20, 30});
  EXPECT_EQ(window_->calendarDate(kCalendar), (DateTime{2026, 3, 15, 0, 0, 0}));
  SYSTEMTIME shown{};
  SendMessageW(item(kCalendar), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.wYear, 2026);
  EXPECT_EQ(shown.wMonth, 3);
  EXPECT_EQ(shown.wDay, 15);

  window_->calendarSetDate(kCalendar, {2027, 2, 29});  // no such day
  window_->calendarSetDate(kCalendar, {2026, 0, 1});
  EXPECT_EQ(window_->calendarDate(kCalendar), (DateTime{2026, 3, 15}));
  window_->calendarSetDate(kCalendar, {2028, 2, 29});
  EXPECT_EQ(window_->calendarDate(kCalendar), (DateTime{2028, 2, 29}));
  pumpFor(30);
  EXPECT_TRUE(events_.log.empty()) << events_.log.front();
}

TEST_F(Win32ControlsTest, UsersPickRaisesOnChangedOnceAndOnlyFromTheCalendar) {
  window_->calendarSetDate(kCalendar, {2026, 3, 15});
  // The calendar moves its selection itself, then tells its window twice.
  const SYSTEMTIME picked = systemDate(2026, 3, 20);
  SendMessageW(item(kCalendar), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&picked));
  notifyFromCalendar(MCN_SELCHANGE, item(kEdit));  // the right id from another control
  EXPECT_TRUE(events_.log.empty());
  notifyFromCalendar(MCN_SELCHANGE, item(kCalendar));
  notifyFromCalendar(MCN_SELECT, item(kCalendar));
  EXPECT_EQ(events_.log, std::vector<std::string>{"changed:21"});
  EXPECT_EQ(window_->calendarDate(kCalendar), (DateTime{2026, 3, 20}));

  // A notification without a new date (the months scrolled back) says nothing.
  notifyFromCalendar(MCN_SELCHANGE, item(kCalendar));
  EXPECT_EQ(events_.log.size(), 1u);
  // Nor does one that follows a change made by the code.
  window_->calendarSetDate(kCalendar, {2026, 4, 1});
  notifyFromCalendar(MCN_SELCHANGE, item(kCalendar));
  EXPECT_EQ(events_.log.size(), 1u);
}

TEST_F(Win32ControlsTest, ClickOnAnotherDayOfTheCalendarRaisesOnChanged) {
  window_->calendarSetDate(kCalendar, {2026, 3, 15});
  showOnTop();
  // Looks for a day of March other than the 15th on the calendar's face.
  const HWND calendar = item(kCalendar);
  RECT client{};
  GetClientRect(calendar, &client);
  POINT target{-1, -1};
  int targetDay = 0;
  for (int y = client.bottom / 3; y < client.bottom && target.x < 0; y += 3)
    for (int x = 2; x < client.right && target.x < 0; x += 3) {
      MCHITTESTINFO hit{};
      hit.cbSize = sizeof(hit);
      hit.pt = {x, y};
      SendMessageW(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if (hit.uHit == MCHT_CALENDARDATE && hit.st.wMonth == 3 && hit.st.wDay != 15 &&
          hit.st.wDay > 1) {
        target = {x, y};
        targetDay = hit.st.wDay;
      }
    }
  ASSERT_GE(target.x, 0) << "no day of March found on the calendar";
  clickAt(calendar, target.x, target.y);
  EXPECT_TRUE(pumpUntil([&] { return !events_.log.empty(); }));
  pumpFor(50);
  EXPECT_EQ(events_.log, std::vector<std::string>{"changed:21"});
  EXPECT_EQ(window_->calendarDate(kCalendar), (DateTime{2026, 3, targetDay}));
}

// ------------------------------------------------------------ surface

TEST_F(Win32ControlsTest, SurfaceShowsItsPictureStretchedOverItself) {
  showOnTop();
  Picture quarters(2, 2);
  quarters.set(0, 0, rgb(255, 0, 0));
  quarters.set(1, 0, rgb(0, 255, 0));
  quarters.set(0, 1, rgb(0, 0, 255));
  quarters.set(1, 1, rgb(255, 255, 0));
  window_->surfaceSetPicture(kSurface, quarters, PictureFit::Stretch);
  const HWND surface = item(kSurface);
  const int w = kSurfaceWidth, h = kSurfaceHeight;
  EXPECT_TRUE(pumpUntil([&] { return screenPixel(surface, w / 4, h / 4) == RGB(255, 0, 0); }));
  EXPECT_EQ(screenPixel(surface, 3 * w / 4, h / 4), RGB(0, 255, 0));
  EXPECT_EQ(screenPixel(surface, w / 4, 3 * h / 4), RGB(0, 0, 255));
  EXPECT_EQ(screenPixel(surface, w - 1, h - 1), RGB(255, 255, 0));
}

TEST_F(Win32ControlsTest, SurfaceShowsItsPictureAtItsOwnSizeAndTheWindowColourAround) {
  showOnTop();
  Picture capture(40, 30, rgb(10, 20, 30));
  capture.set(39, 29, rgb(200, 100, 50));
  window_->surfaceSetPicture(kSurface, capture, PictureFit::Actual);
  const HWND surface = item(kSurface);
  EXPECT_TRUE(pumpUntil([&] { return screenPixel(surface, 5, 5) == RGB(10, 20, 30); }));
  EXPECT_EQ(screenPixel(surface, 39, 29), RGB(200, 100, 50));
  EXPECT_EQ(screenPixel(surface, 40, 29), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(screenPixel(surface, 39, 30), GetSysColor(COLOR_WINDOW));

  // An empty picture leaves the window colour.
  window_->surfaceSetPicture(kSurface, {}, PictureFit::Actual);
  EXPECT_TRUE(pumpUntil([&] { return screenPixel(surface, 5, 5) == GetSysColor(COLOR_WINDOW); }));
}

TEST_F(Win32ControlsTest, SurfaceReportsPressesWithTheirPointUnlessDisabled) {
  showOnTop();
  const HWND surface = item(kSurface);
  clickAt(surface, 30, 41);
  EXPECT_TRUE(pumpUntil([&] { return !events_.log.empty(); }));
  EXPECT_EQ(events_.log, std::vector<std::string>{"down:22:L:30,41"});

  SendMessageW(surface, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 88));
  EXPECT_EQ(events_.log.back(), "down:22:R:7,88");

  // The canvas is disabled once its point is taken: no second pick.
  window_->setEnabled(kSurface, false);
  events_.log.clear();
  clickAt(surface, 60, 20);
  pumpFor(100);
  EXPECT_TRUE(events_.log.empty()) << events_.log.front();
}

}  // namespace
}  // namespace temvik
