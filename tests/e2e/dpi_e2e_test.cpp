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
#include <string>

#include "caption_fit.h"
#include "e2e_support.h"
#include "run/change_time_dialog.h"
#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/run_window.h"
#include "timed/set_sync_dialog.h"
#include "tools/stopwatch.h"
#include "tools/watch_window.h"
#include "tools/window_chooser.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/process_chooser.h"
#include "ui/dialogs/program_chooser.h"
#include "ui/dialogs/prompt_point_editor.h"
#include "ui/dialogs/rename_dialog.h"
#include "ui/dialogs/set_password_dialog.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_ids.h"
#include "update/update_check.h"

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

TEST(ScreenDpi, TheScreenHasTheDpiThisRunIsFor) { EXPECT_EQ(screenDpi(), intendedDpi()); }

TEST(ScreenDpi, MainWindowAndItsControlsAreTheDesignScaledToTheScreen) {
  PlanFolder folder;
  E2E_START(app, folder);
  const UINT dpi = screenDpi();
  const WindowDesign& design = mainWindowDesign();

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
  expectWindowFits(app.hwnd(), mainWindowDesign(), "main window");
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
  expectWindowFits(run, runWindowDesign(), "run window");

  clickLabel(run, kGiveUpLabel);
  const HWND giveUp = app.waitForWindow("放弃");
  expectWindowFits(giveUp, giveUpDesign(), "give-up dialog");
  clickLabel(giveUp, kKeepGoing);
  E2E_EVENTUALLY_TRUE(!IsWindow(giveUp));

  // The change-time dialog, which also cuts the item short.
  PostMessageW(run, WM_COMMAND, MAKEWPARAM(kChangeRemaining, 0), 0);
  const HWND change = app.waitForWindow("更改剩余时间");
  expectWindowFits(change, changeTimeDesign(), "change-time dialog");
  for (const int id : {kNewHours, kNewMinutes, kNewSeconds})
    SendMessageW(GetDlgItem(change, id), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(id == kNewSeconds ? L"1" : L"0"));
  clickLabel(change, kChangeOk);

  const HWND finished = app.waitForWindow("时间到", 10s);
  expectWindowFits(finished, itemFinishedDesign(), "item-finished dialog");
  PostMessageW(GetDlgItem(finished, kYesButton), BM_CLICK, 0, 0);

  const HWND complete = app.waitForWindow("计划完成", 10s);
  expectWindowFits(complete, planCompleteDesign(), "plan-complete window");
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
    expectWindowFits(first, setPasswordDesign(false),
                     "set-password dialog without the old password");
    PostMessageW(GetDlgItem(first, kSetCancel), BM_CLICK, 0, 0);
    E2E_EVENTUALLY_TRUE(!IsWindow(first) || !IsWindowVisible(first));
  }
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", "[密码]\n密码=pw\n"));
  E2E_START(app, folder);
  const HWND asked = app.waitForWindow("请输入密码");
  expectWindowFits(asked, passwordDialogDesign(), "password dialog");
  typeInto(GetDlgItem(asked, kPasswordEntry), "pw");
  PostMessageW(GetDlgItem(asked, kPasswordOk), BM_CLICK, 0, 0);
  E2E_EVENTUALLY_TRUE(!IsWindow(asked) || !IsWindowVisible(asked));
  app.menu(kSetPassword);
  const HWND again = app.waitForWindow("请输入密码");
  ASSERT_NE(again, nullptr);
  typeInto(GetDlgItem(again, kPasswordEntry), "pw");
  PostMessageW(GetDlgItem(again, kPasswordOk), BM_CLICK, 0, 0);
  const HWND change = app.waitForWindow("设置密码");
  expectWindowFits(change, setPasswordDesign(true), "set-password dialog");
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
  const auto closeAndWait = [](HWND w) {
    PostMessageW(w, WM_CLOSE, 0, 0);
    E2E_EVENTUALLY_TRUE(!IsWindow(w) || !IsWindowVisible(w));
  };
  app.menu(kAbout);
  const HWND about = app.waitForWindow("关于");
  expectWindowFits(about, aboutDesign(), "about window");
  closeAndWait(about);
  app.menu(kRenameSequential);
  const HWND rename = app.waitForWindow("更名");
  expectWindowFits(rename, renameDesign(), "rename dialog");
  closeAndWait(rename);
  app.menu(kCheckUpdate);
  const HWND update = app.waitForWindow("检查更新");
  expectWindowFits(update, updateCheckDesign(), "update check");
  closeAndWait(update);
}

TEST(ScreenDpi, TheEditorsDialogsFitTheScreen) {
  PlanFolder folder;
  ASSERT_TRUE(
      folder.writeIni("time.ini", itemSection("背单词", "0", "30", "0", {"提示音=假", "播放=10"})));
  E2E_START(app, folder);
  ASSERT_TRUE(app.clickRow(kSequentialList, 0));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("背单词"));
  const auto closeAndWait = [](HWND w) {
    PostMessageW(w, WM_CLOSE, 0, 0);
    E2E_EVENTUALLY_TRUE(!IsWindow(w) || !IsWindowVisible(w));
  };

  app.menu(kSetSync);
  const HWND sync = app.waitForWindow("设置同步");
  expectWindowFits(sync, setSyncDesign(), "set-sync dialog");
  closeAndWait(sync);

  ASSERT_TRUE(app.click(kRunProgram));
  app.clickAsync(kChooseProgram);  // modal: its loop runs inside the click
  const HWND program = app.waitForWindow("设置执行程序");
  expectWindowFits(program, programChooserDesign(), "program chooser");
  closeAndWait(program);

  ASSERT_TRUE(app.click(kEndProcesses));
  app.clickAsync(kChooseEndProcess);
  const HWND chooser = app.waitForWindow("选择结束进程");
  expectWindowFits(chooser, endProcessChooserDesign(), "end-process chooser");
  closeAndWait(chooser);

  ASSERT_TRUE(app.click(kPromptPoints));
  expectWindowFits(app.waitForWindow("设置提示点"), promptPointDesign(), "prompt points");
}

TEST(ScreenDpi, EveryCaptionOfTheToolsWindowsFitsItsControl) {
  PlanFolder folder;
  E2E_START(app, folder);
  app.menu(kStopwatch);
  expectWindowFits(app.waitForWindow("小型计时器"), stopwatchDesign(), "stopwatch");
  app.menu(kProgressWatcher);
  const HWND chooser = app.waitForWindow("进度条检测");
  expectWindowFits(chooser, windowChooserDesign(), "window chooser");
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
  expectWindowFits(watch, watchWindowDesign(), "watch window");
}

}  // namespace
}  // namespace temvik::e2e
