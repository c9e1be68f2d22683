// The real program on the screen's DPI and size: every window of the program
// is its design scaled to the screen, or smaller where the screen is too
// small for it, wholly inside the work area, and every caption fits its
// control in the UI font. ctest runs these at 96 DPI with the other cases
// (temvik_e2e) and again in wine prefixes of their own: at 144 DPI
// (temvik_e2e_dpi144, which sets TEMVIK_E2E_DPI=144), and on small screens
// (temvik_e2e_small96, 1366 × 768; temvik_e2e_small144, 1280 × 1024 at 144 DPI).

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "caption_fit.h"
#include "e2e_support.h"
#include "run/change_time_dialog.h"
#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/power_notice.h"
#include "run/run_window.h"
#include "tools/watch_window.h"
#include "tools/window_chooser.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/set_password_dialog.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/window_catalogue.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using namespace run_ids;

// The DPI this run is meant for; the screen must have it, or a 144-DPI run
// that silently ran at 96 would prove nothing.
UINT intendedDpi() {
  const char* dpi = std::getenv("TEMVIK_E2E_DPI");
  return dpi && *dpi ? static_cast<UINT>(std::atoi(dpi)) : 96u;
}

Rect scaled(const Rect& r, UINT dpi) {
  return {atDpi(r.x, dpi), atDpi(r.y, dpi), atDpi(r.width, dpi), atDpi(r.height, dpi)};
}

void clickLabel(HWND window, int id) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

std::string controlText(HWND window, int id) { return windowText(GetDlgItem(window, id)); }

void closeAndWait(HWND w) {
  PostMessageW(w, WM_CLOSE, 0, 0);
  E2E_EVENTUALLY_TRUE(!IsWindow(w) || !IsWindowVisible(w));
}

// The windows of the catalogue the cases of this run have checked.
std::set<std::string_view>& checkedWindows() {
  static std::set<std::string_view> checked;
  return checked;
}

// Checks `window` against the design the catalogue holds under `name`.
void expectFits(HWND window, std::string_view name) {
  const CataloguedWindow& catalogued = cataloguedWindow(name);
  checkedWindows().insert(catalogued.name);
  expectWindowFits(window, catalogued.design, std::string(name).c_str());
}

TEST(ScreenDpi, TheScreenHasTheDpiThisRunIsFor) { EXPECT_EQ(screenDpi(), intendedDpi()); }

TEST(ScreenDpi, MainWindowAndItsControlsAreTheDesignScaledToTheScreen) {
  PlanFolder folder;
  E2E_START(app, folder);
  const UINT dpi = screenDpi();
  const WindowDesign& design = cataloguedWindow("main").design;
  checkedWindows().insert("main");

  // On a screen too small for it, the whole design at a smaller scale.
  const UINT layout = layoutDpi(app.hwnd(), design);
  ASSERT_NE(layout, 0u);
  const Rect r = app.windowRect();
  std::printf("note: main window at %u DPI laid out for %u: %dx%d at %d,%d\n", dpi, layout, r.width,
              r.height, r.x, r.y);
  // Where the design's place is on the screen, the window is there.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(app.hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  const Rect atItsPlace = scaled(design.rect, dpi);
  if (atItsPlace.y + atItsPlace.height <= monitor.rcWork.bottom &&
      atItsPlace.x + atItsPlace.width <= monitor.rcWork.right) {
    EXPECT_EQ(r, atItsPlace);
  }
  for (const ControlDesign& c : design.controls) {
    SCOPED_TRACE(std::string(c.designName) + " (" + std::string(c.identifier) + ")");
    EXPECT_EQ(app.clientRect(c.id), scaled(c.rect, layout));
  }
  // A list's rows are as tall as a line of its font: the program draws in
  // the font the captions are measured with.
  DWORD_PTR rowHeight = 0;
  SendMessageTimeoutW(app.control(kSequentialList), LB_GETITEMHEIGHT, 0, 0, SMTO_NORMAL, 5000,
                      &rowHeight);
  EXPECT_EQ(static_cast<int>(rowHeight), UiFont(layout).lineHeight());
}

TEST(ScreenDpi, TheMainWindowFitsTheScreen) {
  PlanFolder folder;
  E2E_START(app, folder);
  expectFits(app.hwnd(), "main");
}

TEST(ScreenDpi, EveryCaptionOfTheRunsWindowsFitsItsControl) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("背单词", "0", "1", "0", {"提示音=假"}) +
                                              itemSection("做练习", "0", "0", "1", {"提示音=假"})));
  E2E_START(app, folder);
  app.clickAsync(kRunFromStart);

  const HWND run = app.waitForWindow("计划执行中");
  ASSERT_NE(run, nullptr);
  E2E_EVENTUALLY_EQ(controlText(run, kContentBox), std::string("背单词"));
  expectFits(run, "run");

  clickLabel(run, kGiveUpLabel);
  const HWND giveUp = app.waitForWindow("放弃");
  expectFits(giveUp, "giveUp");
  clickLabel(giveUp, kKeepGoing);
  E2E_EVENTUALLY_TRUE(!IsWindow(giveUp));

  // The change-time dialog, which also cuts the item short.
  PostMessageW(run, WM_COMMAND, MAKEWPARAM(kChangeRemaining, 0), 0);
  const HWND change = app.waitForWindow("更改剩余时间");
  expectFits(change, "changeTime");
  for (const int id : {kNewHours, kNewMinutes, kNewSeconds})
    SendMessageW(GetDlgItem(change, id), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(id == kNewSeconds ? L"1" : L"0"));
  clickLabel(change, kChangeOk);

  const HWND finished = app.waitForWindow("时间到", 10s);
  expectFits(finished, "itemFinished");
  expectFits(app.waitForWindow("刚完成的项目"), "contentNote");
  PostMessageW(GetDlgItem(finished, kYesButton), BM_CLICK, 0, 0);

  const HWND complete = app.waitForWindow("计划完成", 10s);
  expectFits(complete, "planComplete");
  clickLabel(complete, kBackToMain);
  E2E_EVENTUALLY_TRUE(IsWindowVisible(app.hwnd()));
}

TEST(ScreenDpi, EveryCaptionOfThePasswordDialogsFitsItsControl) {
  using namespace password_ids;
  {
    PlanFolder folder;
    E2E_START(app, folder);
    app.menu(kSetPassword);
    const HWND first = app.waitForWindow("设置密码");
    expectFits(first, "setFirstPassword");
    PostMessageW(GetDlgItem(first, kSetCancel), BM_CLICK, 0, 0);
    E2E_EVENTUALLY_TRUE(!IsWindow(first) || !IsWindowVisible(first));
  }
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", "[密码]\n密码=pw\n"));
  E2E_START(app, folder);
  const HWND asked = app.waitForWindow("请输入密码");
  expectFits(asked, "password");
  typeInto(GetDlgItem(asked, kPasswordEntry), "pw");
  PostMessageW(GetDlgItem(asked, kPasswordOk), BM_CLICK, 0, 0);
  E2E_EVENTUALLY_TRUE(!IsWindow(asked) || !IsWindowVisible(asked));
  app.menu(kSetPassword);
  const HWND again = app.waitForWindow("请输入密码");
  ASSERT_NE(again, nullptr);
  typeInto(GetDlgItem(again, kPasswordEntry), "pw");
  PostMessageW(GetDlgItem(again, kPasswordOk), BM_CLICK, 0, 0);
  const HWND change = app.waitForWindow("设置密码");
  expectFits(change, "setPassword");
  PostMessageW(GetDlgItem(change, kSetCancel), BM_CLICK, 0, 0);
  E2E_EVENTUALLY_TRUE(!IsWindow(change) || !IsWindowVisible(change));
}

TEST(ScreenDpi, EveryCaptionOfTheAboutRenameAndUpdateWindowsFitsItsControl) {
  LocalHttpServer server;
  ASSERT_TRUE(server.ok());
  server.hold(true);  // the update check stays on screen while it waits
  SetEnvironmentVariableW(L"TEMVIK_UPDATE_PAGE", widen(server.address("/update.html")).c_str());
  PlanFolder folder;
  E2E_START(app, folder);
  SetEnvironmentVariableW(L"TEMVIK_UPDATE_PAGE", nullptr);
  app.menu(kAbout);
  const HWND about = app.waitForWindow("关于");
  expectFits(about, "about");
  closeAndWait(about);
  app.menu(kRenameSequential);
  const HWND rename = app.waitForWindow("更名");
  expectFits(rename, "rename");
  closeAndWait(rename);
  app.menu(kCheckUpdate);
  const HWND update = app.waitForWindow("检查更新");
  expectFits(update, "updateCheck");
  closeAndWait(update);
}

TEST(ScreenDpi, TheEditorsDialogsFitTheScreen) {
  PlanFolder folder;
  ASSERT_TRUE(
      folder.writeIni("time.ini", itemSection("背单词", "0", "30", "0", {"提示音=假", "播放=10"})));
  E2E_START(app, folder);
  ASSERT_TRUE(app.clickRow(kSequentialList, 0));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("背单词"));

  app.menu(kSetSync);
  const HWND sync = app.waitForWindow("设置同步");
  expectFits(sync, "setSync");
  closeAndWait(sync);

  ASSERT_TRUE(app.click(kRunProgram));
  app.clickAsync(kChooseProgram);  // modal: its loop runs inside the click
  const HWND program = app.waitForWindow("设置执行程序");
  expectFits(program, "programChooser");
  closeAndWait(program);

  ASSERT_TRUE(app.click(kEndProcesses));
  app.clickAsync(kChooseEndProcess);
  const HWND chooser = app.waitForWindow("选择结束进程");
  expectFits(chooser, "endProcessChooser");
  closeAndWait(chooser);

  ASSERT_TRUE(app.click(kForbidProcesses));
  ASSERT_TRUE(app.click(kChooseForbidden));
  const HWND forbidden = app.waitForWindow("选择禁止进程");
  expectFits(forbidden, "forbiddenChooser");
  closeAndWait(forbidden);

  ASSERT_TRUE(app.click(kPromptPoints));
  expectFits(app.waitForWindow("设置提示点"), "promptPoints");
}

TEST(ScreenDpi, EveryCaptionOfTheToolsWindowsFitsItsControl) {
  PlanFolder folder;
  E2E_START(app, folder);
  app.menu(kStopwatch);
  expectFits(app.waitForWindow("小型计时器"), "stopwatch");
  app.menu(main_ids::kStatistics);
  expectFits(app.waitForWindow("统计"), "stats");
  app.menu(kProgressWatcher);
  const HWND chooser = app.waitForWindow("进度条检测");
  expectFits(chooser, "windowChooser");
  ASSERT_NE(chooser, nullptr);
  // Watch the main window itself, whose row is there from the start.
  const HWND list = GetDlgItem(chooser, window_chooser_ids::kWindowList);
  ASSERT_TRUE(waitFor([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) > 0; }));
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(window_chooser_ids::kWindowList, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  HWND watch = nullptr;
  waitFor([&] {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == app.pid() && IsWindowVisible(w) && GetDlgItem(w, watch_ids::kCanvas)) watch = w;
    }
    return watch != nullptr;
  });
  expectFits(watch, "watch");
}

TEST(ScreenDpi, EveryCaptionOfThePowerNoticeFitsItsControl) {
  PlanFolder folder;
  ASSERT_TRUE(
      folder.writeIni("time.ini", itemSection("背单词", "0", "0", "1", {"重启=真", "提示音=假"})));
  // Should the notice reach 0, the request stops before the system's call.
  SetEnvironmentVariableW(L"TEMVIK_POWER_LOG", folder.path("power.log").c_str());
  E2E_START(app, folder);
  SetEnvironmentVariableW(L"TEMVIK_POWER_LOG", nullptr);
  app.clickAsync(kRunFromStart);
  const HWND notice = app.waitForWindow("即将重启", 15s);
  expectFits(notice, "powerNotice");
  PostMessageW(GetDlgItem(notice, power_notice_ids::kCancelPower), BM_CLICK, 0, 0);
  E2E_EVENTUALLY_TRUE(IsWindowVisible(app.hwnd()));
}

// Last in the file, so it runs after the cases above: when they all ran,
// every window of the catalogue was opened by one of them.
TEST(ScreenDpi, EveryWindowOfTheCatalogueWasChecked) {
  const ::testing::TestSuite* suite = ::testing::UnitTest::GetInstance()->current_test_suite();
  if (suite->test_to_run_count() != suite->total_test_count())
    GTEST_SKIP() << "only some ScreenDpi cases ran";
  for (const CataloguedWindow& w : windowCatalogue())
    EXPECT_EQ(checkedWindows().count(w.name), 1u) << w.name << " is opened by no ScreenDpi case";
}

}  // namespace
}  // namespace temvik::e2e
