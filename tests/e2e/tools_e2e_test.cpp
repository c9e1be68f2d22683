// The tools of the real program: the stopwatch started and stopped by keys,
// and the progress-bar watcher watching a window of this test whose colour
// changes, until the program says "到终点" or starts the program chosen.

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "e2e_support.h"
#include "store/history.h"
#include "tools/stats_window.h"
#include "tools/stopwatch.h"
#include "tools/watch_window.h"
#include "tools/window_chooser.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using main_ids::kProgressWatcher;
using main_ids::kStatistics;
using main_ids::kStopwatch;

std::string labelText(HWND window, int id) { return windowText(GetDlgItem(window, id)); }

void postKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, (LPARAM{1} << 31) | (LPARAM{1} << 30) | 1);
}

TEST(StopwatchE2e, AKeyStartsItAndAnotherStopsIt) {
  PlanFolder folder;
  E2E_START(app, folder);
  app.menu(kStopwatch);
  const HWND s = app.waitForWindow("小型计时器");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(labelText(s, stopwatch_ids::kSeconds), "00");
  EXPECT_EQ(labelText(s, stopwatch_ids::kHowTo), "按任意键开始计时，再按任意键结束");
  postKey(s, 'A');
  E2E_EVENTUALLY_EQ(labelText(s, stopwatch_ids::kSeconds), std::string("01"));
  postKey(s, VK_SPACE);
  ASSERT_TRUE(app.sync());
  const std::string stopped = labelText(s, stopwatch_ids::kSeconds);
  // Stopped: the display keeps its time for the next seconds.
  EXPECT_FALSE(waitFor([&] { return labelText(s, stopwatch_ids::kSeconds) != stopped; }, 2500ms));
  EXPECT_EQ(labelText(s, stopwatch_ids::kMinutes), "00");
  EXPECT_EQ(labelText(s, stopwatch_ids::kHours), "00");
}

TEST(StatsE2e, TheToolsMenuOpensTheStatisticsOfTheHistoryBesideTheExe) {
  PlanFolder folder;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const DateTime noon{now.wYear, now.wMonth, now.wDay, 12, 0, 0};
  HistoryRecord read{noon, addSeconds(noon, 3600), "读书", 3600, 3600};
  HistoryRecord run{addSeconds(noon, 3600), addSeconds(noon, 4200), "跑步", 1800, 600,
                    HistoryEnd::GivenUp};
  ASSERT_TRUE(folder.writeBytes(kHistoryFile.substr(1),
                                historyFileStart() + historyLine(read) + historyLine(run)));
  E2E_START(app, folder);
  app.menu(kStatistics);
  const HWND stats = app.waitForWindow("统计");
  ASSERT_NE(stats, nullptr);
  E2E_EVENTUALLY_EQ(labelText(stats, stats_ids::kTimes),
                    std::string("计划时长：1小时30分　　实际用时：1小时10分"));
  EXPECT_EQ(labelText(stats, stats_ids::kCounts),
            "完成项目数：1　　放弃项目数：1　　完成比例：50%");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(stats, stats_ids::kExport)));
}

// A plain window of this process, white until told to turn green, with a
// message loop of its own so the program can capture it at any time.
class ColourWindow {
 public:
  static constexpr UINT kTurnGreen = WM_APP + 1;
  ColourWindow() {
    thread_ = std::thread([this] { run(); });
    waitFor([&] { return hwnd_.load() != nullptr; });
  }
  ~ColourWindow() {
    if (HWND h = hwnd_.load()) PostMessageW(h, WM_CLOSE, 0, 0);
    thread_.join();
  }
  [[nodiscard]] HWND hwnd() const { return hwnd_.load(); }

 private:
  static LRESULT CALLBACK proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<ColourWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    switch (msg) {
      case kTurnGreen:
        self->green_ = true;
        InvalidateRect(h, nullptr, TRUE);
        return 0;
      case WM_ERASEBKGND: {
        RECT r{};
        GetClientRect(h, &r);
        const HBRUSH b =
            CreateSolidBrush(self && self->green_ ? RGB(0, 255, 0) : RGB(255, 255, 255));
        FillRect(reinterpret_cast<HDC>(wp), &r, b);
        DeleteObject(b);
        return 1;
      }
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcW(h, msg, wp, lp);
    }
  }
  void run() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ColourWindow::proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TemvikE2eColour";
    RegisterClassW(&wc);
    // Below the watch window's place, so its pixels stay on the screen.
    HWND h = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"进度条助手",
                             WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 20, 800, 240, 160, nullptr,
                             nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
    hwnd_ = h;
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }
  std::thread thread_;
  std::atomic<HWND> hwnd_{nullptr};
  bool green_ = false;  // its own thread only
};

// The program's visible top-level window that has a canvas: the untitled
// watch window.
HWND watchWindow(const App& app) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{app.pid(), nullptr};
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == s->pid && IsWindowVisible(w) && GetDlgItem(w, watch_ids::kCanvas)) s->found = w;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Selects `row` of a list box of `window` as a click on it would.
void selectRow(HWND window, int listId, int row) {
  const HWND list = GetDlgItem(window, listId);
  SendMessageW(list, LB_SETCURSEL, row, 0);
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

// Chooses `row` of a drop-down of `window` as the user's choice would.
void chooseRow(HWND window, int dropDownId, int row) {
  const HWND box = GetDlgItem(window, dropDownId);
  SendMessageW(box, CB_SETCURSEL, row, 0);
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(dropDownId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
}

// Picks the helper's window in the open chooser and its pixel in the watch
// window; returns the watch window, watching.
HWND watchHelper(const App& app, HWND chooser) {
  const HWND list = GetDlgItem(chooser, window_chooser_ids::kWindowList);
  int row = -1;
  waitFor([&] {
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && row < 0; ++i) {
      const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, i, 0);
      std::wstring t(static_cast<size_t>(n) + 1, L'\0');
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(t.data()));
      t.resize(static_cast<size_t>(n));
      if (narrow(t) == "进度条助手") row = i;
    }
    return row >= 0;
  });
  EXPECT_GE(row, 0) << "the helper window is listed";
  if (row < 0) return nullptr;
  selectRow(chooser, window_chooser_ids::kWindowList, row);

  HWND watch = nullptr;
  EXPECT_TRUE(waitFor([&] { return (watch = watchWindow(app)) != nullptr; }));
  if (watch == nullptr) return nullptr;
  EXPECT_FALSE(IsWindowVisible(chooser)) << "hidden while watching";
  const HWND canvas = GetDlgItem(watch, watch_ids::kCanvas);
  const HWND view = GetDlgItem(watch, watch_ids::kMagnifierView);
  EXPECT_TRUE(IsWindowVisible(view)) << "the magnifier runs while picking";
  // Inside the helper's client area, which the capture shows from its
  // window's top-left corner.
  PostMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 100));
  PostMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(120, 100));
  // The pick hides the view and then shows the marker: seen from here, one
  // may come before the other.
  EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(view); }));
  EXPECT_TRUE(waitFor([&] { return IsWindowVisible(GetDlgItem(watch, watch_ids::kMarker)) != 0; }));
  return watch;
}

TEST(ProgressWatcherE2e, AWatchedPixelThatTurnsGreenEndsInTheAlert) {
  ColourWindow helper;
  ASSERT_NE(helper.hwnd(), nullptr);
  PlanFolder folder;
  E2E_START(app, folder);
  app.menu(kProgressWatcher);
  const HWND chooser = app.waitForWindow("进度条检测");
  ASSERT_NE(chooser, nullptr);
  const HWND watch = watchHelper(app, chooser);
  ASSERT_NE(watch, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(app.hwnd(), GWL_STYLE) & WS_MINIMIZEBOX, 0)
      << "no minimise box while watching";
  // Still white: no alert for a while.
  EXPECT_FALSE(app.waitForMessageBox(1000ms).has_value());

  PostMessageW(helper.hwnd(), ColourWindow::kTurnGreen, 0, 0);
  const auto box = app.waitForMessageBox();
  ASSERT_TRUE(box.has_value()) << "no alert";
  EXPECT_EQ(box->title, "到终点");
  EXPECT_EQ(box->text, "根据您的设置，该进度条已到终点！若有不准确之处，请见谅！");
  EXPECT_FALSE(IsWindow(watch) && IsWindowVisible(watch));
  EXPECT_FALSE(IsWindow(chooser) && IsWindowVisible(chooser));
  EXPECT_NE(GetWindowLongPtrW(app.hwnd(), GWL_STYLE) & WS_MINIMIZEBOX, 0);
  EXPECT_TRUE(box->press(IDOK));
  EXPECT_TRUE(app.sync());
}

// 运行程序 chosen before the watch: at the end the chosen file is opened
// through the shell, and nothing is said.
TEST(ProgressWatcherE2e, TheChosenProgramStartsWhenTheBarReachesItsEnd) {
  ColourWindow helper;
  ASSERT_NE(helper.hwnd(), nullptr);
  PlanFolder folder;
  DocumentOpener opener(folder, L".tmvk");
  ASSERT_TRUE(opener.ok());
  ASSERT_TRUE(folder.writeBytes("备份.tmvk", "1"));
  const std::string program = narrow(folder.path("备份.tmvk"));
  E2E_START(app, folder);
  app.menu(kProgressWatcher);
  const HWND chooser = app.waitForWindow("进度条检测");
  ASSERT_NE(chooser, nullptr);
  chooseRow(chooser, window_chooser_ids::kEndList, 5);  // 运行程序
  ASSERT_TRUE(app.chooseFile(program)) << "the program dialog";
  E2E_EVENTUALLY_EQ(labelText(chooser, window_chooser_ids::kProgramPath), program);
  ASSERT_NE(watchHelper(app, chooser), nullptr);
  EXPECT_FALSE(opener.opened());

  PostMessageW(helper.hwnd(), ColourWindow::kTurnGreen, 0, 0);
  E2E_EVENTUALLY_TRUE(opener.opened());
  EXPECT_EQ(opener.opened(), program);
  EXPECT_FALSE(IsWindow(chooser) && IsWindowVisible(chooser));
  EXPECT_TRUE(app.sync());
  EXPECT_FALSE(app.messageBox()) << "no alert after the program";
}

}  // namespace
}  // namespace temvik::e2e
