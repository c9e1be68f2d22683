// The notice before a forced power action and strict mode in the real
// program. TEMVIK_POWER_LOG stops every power request at the shutdown
// privilege, the step before ExitWindowsEx, which under wine would end
// every process of the wineserver, this test's included.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "e2e_support.h"
#include "run/give_up_dialog.h"
#include "run/power_notice.h"
#include "run/run_window.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using namespace run_ids;
using namespace power_notice_ids;

std::string controlText(HWND window, int id) { return windowText(GetDlgItem(window, id)); }

// The seconds the notice shows: the number in "电脑将在 N 秒后关机。".
int secondsShown(HWND notice) {
  const std::string text = controlText(notice, kNoticeText);
  const size_t digits = text.find_first_of("0123456789");
  return digits == std::string::npos ? -1 : std::atoi(text.c_str() + digits);
}

TEST(PowerNotice, CountsDownAboveEverythingAndCarryOutNowGoesToThePowerStep) {
  PlanFolder folder;
  ASSERT_TRUE(
      folder.writeIni("time.ini", itemSection("背单词", "0", "0", "1", {"关机=真", "提示音=假"})));
  SetEnvironmentVariableW(L"TEMVIK_POWER_LOG", folder.path("power.log").c_str());
  E2E_START(app, folder);
  SetEnvironmentVariableW(L"TEMVIK_POWER_LOG", nullptr);
  app.clickAsync(kRunFromStart);

  const HWND notice = app.waitForWindow("即将关机", 15s);
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(notice, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(folder.readText("win.ini"), "[背单词]\r\nwin=已完成--\r\n");
  const int first = secondsShown(notice);
  EXPECT_GE(first, 25);
  EXPECT_LE(first, 30);
  E2E_EVENTUALLY_TRUE(secondsShown(notice) == first - 1);
  EXPECT_EQ(controlText(notice, kNoticeText),
            "电脑将在 " + std::to_string(first - 1) + " 秒后关机。");
  EXPECT_FALSE(folder.exists("power.log"));

  PostMessageW(GetDlgItem(notice, kCarryOutNow), BM_CLICK, 0, 0);
  ASSERT_TRUE(app.waitForExit()) << "the main window closes first";
  // Shut down (1), the shutdown privilege enabled (1), asked once.
  EXPECT_EQ(folder.readText("power.log"), "1 1\r\n");
}

TEST(StrictMode, GivingUpAsksForThePasswordAndAWrongOneKeepsTheRun) {
  PlanFolder folder;
  // A password of an earlier version, kept as itself.
  ASSERT_TRUE(folder.writeIni(
      "time.ini", itemSection("背单词", "0", "5", "0", {"提示音=假"}) + "[密码]\n密码=pw\n"));
  ASSERT_TRUE(folder.writeIni("settings.ini", "[设置]\n严格模式=真\n"));
  E2E_START(app, folder);
  // Types into the password dialog and presses 确定; a wrong entry's box
  // is answered and its text compared.
  const auto answer = [&](const char* entry, const char* boxText = nullptr) {
    const HWND dialog = app.waitForWindow("请输入密码");
    ASSERT_NE(dialog, nullptr);
    typeInto(GetDlgItem(dialog, password_ids::kPasswordEntry), entry);
    PostMessageW(GetDlgItem(dialog, password_ids::kPasswordOk), BM_CLICK, 0, 0);
    if (boxText) {
      auto box = app.waitForMessageBox();
      ASSERT_TRUE(box.has_value());
      EXPECT_EQ(box->text, boxText);
      box->press(IDOK);
    }
    E2E_EVENTUALLY_TRUE(!IsWindow(dialog) || !IsWindowVisible(dialog));
  };
  answer("pw");  // at start-up
  app.clickAsync(kRunFromStart);
  const HWND run = app.waitForWindow("计划执行中");
  ASSERT_NE(run, nullptr);

  PostMessageW(run, WM_COMMAND, MAKEWPARAM(kGiveUpLabel, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(run, kGiveUpLabel)));
  answer("PW", "密码错误，操作已取消。");
  EXPECT_EQ(app.window("放弃"), nullptr);
  const std::string seconds = controlText(run, kSecondsValue);
  E2E_EVENTUALLY_TRUE(controlText(run, kSecondsValue) != seconds);  // still counting
  EXPECT_TRUE(IsWindowVisible(run));
  EXPECT_FALSE(IsWindowVisible(app.hwnd()));

  // The right one opens the give-up dialog, which gives up as ever.
  PostMessageW(run, WM_COMMAND, MAKEWPARAM(kGiveUpLabel, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(run, kGiveUpLabel)));
  answer("pw");
  const HWND giveUp = app.waitForWindow("放弃");
  ASSERT_NE(giveUp, nullptr);
  PostMessageW(giveUp, WM_COMMAND, MAKEWPARAM(kConfirmGiveUp, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(giveUp, kConfirmGiveUp)));
  E2E_EVENTUALLY_TRUE(IsWindowVisible(app.hwnd()));
  EXPECT_FALSE(IsWindow(run));
}

}  // namespace
}  // namespace temvik::e2e
