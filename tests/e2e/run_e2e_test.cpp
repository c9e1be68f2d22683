// A plan runs in the real program: the run window counts down, the item
// ends with its mark and its end actions, the dialogs between items go on,
// and the plan-complete window closes the run.

#include <windows.h>

#include <string>
#include <vector>

#include "e2e_support.h"
#include "run/change_time_dialog.h"
#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/run_window.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using namespace run_ids;
using Rows = std::vector<std::string>;

std::string controlText(HWND window, int id) { return windowText(GetDlgItem(window, id)); }

// A click on a label that acts as a button, as the mouse makes it.
void clickLabel(HWND window, int id) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void clickButton(HWND window, int id) { PostMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); }

TEST(PlanRun, TwoItemsRunThroughTheRealWindowsToThePlanCompleteWindow) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("背单词", "0", "0", "3", {"提示音=假"}) +
                                              itemSection("做练习", "0", "0", "3", {"提示音=假"})));
  E2E_START(app, folder);
  app.clickAsync(kRunFromStart);

  HWND run = app.waitForWindow("计划执行中");
  ASSERT_NE(run, nullptr);
  E2E_EVENTUALLY_TRUE(!IsWindowVisible(app.hwnd()));
  EXPECT_EQ(controlText(run, kContentBox), "背单词");
  BYTE alpha = 0;
  DWORD flags = 0;
  if (GetLayeredWindowAttributes(run, nullptr, &alpha, &flags)) {
    EXPECT_EQ(alpha, 230);
  }
  E2E_EVENTUALLY_EQ(controlText(run, kSecondsValue), std::string("2"));

  HWND finished = app.waitForWindow("时间到", 10s);
  ASSERT_NE(finished, nullptr) << "the item-finished dialog after 3 s";
  EXPECT_FALSE(IsWindow(run));
  EXPECT_EQ(controlText(finished, kFinishedQuestion), "一个项目已完成，是否进行下一项目？");
  EXPECT_EQ(folder.readText("win.ini"), "[背单词]\r\nwin=已完成--\r\n");
  clickButton(finished, kYesButton);

  run = app.waitForWindow("计划执行中");
  ASSERT_NE(run, nullptr);
  E2E_EVENTUALLY_EQ(controlText(run, kContentBox), std::string("做练习"));
  HWND complete = app.waitForWindow("计划完成", 10s);
  ASSERT_NE(complete, nullptr) << "the plan-complete window after the last item";
  EXPECT_EQ(controlText(complete, kCompleteText), "该计划已完成");
  EXPECT_EQ(folder.readText("win.ini"), "[背单词]\r\nwin=已完成--\r\n[做练习]\r\nwin=已完成--\r\n");

  clickLabel(complete, kBackToMain);
  E2E_EVENTUALLY_TRUE(IsWindowVisible(app.hwnd()));
  E2E_EVENTUALLY_EQ(app.rows(kSequentialList), (Rows{"已完成--背单词", "已完成--做练习"}));
}

TEST(PlanRun, TheEndOfAnItemEndsTheListedProcess) {
  PlanFolder folder;
  ASSERT_TRUE(folder.ok()) << folder.error();
  IdleHelper helper(folder, "idle_helper.exe");
  ASSERT_TRUE(helper.ok() && helper.start());
  ASSERT_TRUE(folder.writeIni(
      "time.ini",
      itemSection("关掉它", "0", "0", "2", {"结束进程=真", "进程=IDLE_HELPER,", "提示音=假"})));
  E2E_START(app, folder);
  EXPECT_TRUE(helper.running());
  app.clickAsync(kRunFromStart);
  ASSERT_NE(app.waitForWindow("计划完成", 15s), nullptr);
  EXPECT_TRUE(helper.endsWithin(5s)) << "the helper named in the end-process list was ended";
  EXPECT_TRUE(app.running()) << "the program never ends itself";
}

TEST(PlanRun, AForbiddenProgramIsEndedWhileTheItemRunsAndLeftAloneAfter) {
  PlanFolder folder;
  ASSERT_TRUE(folder.ok()) << folder.error();
  IdleHelper helper(folder, "forbidden_game.exe");
  ASSERT_TRUE(helper.ok());
  ASSERT_TRUE(folder.writeIni(
      "time.ini", itemSection("专心", "0", "0", "8",
                              {"禁止进程=真", "禁止名=forbidden_game,temvik.exe,", "提示音=假"})));
  E2E_START(app, folder);
  app.clickAsync(kRunFromStart);
  ASSERT_NE(app.waitForWindow("计划执行中"), nullptr);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(helper.start());
    EXPECT_TRUE(helper.endsWithin(3s)) << "start " << i << " of the forbidden program lived on";
  }
  EXPECT_TRUE(app.running()) << "the program never ends itself, though the list names it";
  ASSERT_NE(app.waitForWindow("计划完成", 20s), nullptr);
  ASSERT_TRUE(helper.start());
  EXPECT_FALSE(helper.endsWithin(1500ms)) << "after the item nothing is forbidden";
}

TEST(PlanRun, TheRunWindowGoesToTheTrayAndComesBack) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("读书", "0", "5", "0")));
  E2E_START(app, folder);
  app.clickAsync(kRunFromStart);
  HWND run = app.waitForWindow("计划执行中");
  ASSERT_NE(run, nullptr);
  clickLabel(run, kToTrayLabel);
  E2E_EVENTUALLY_TRUE(!IsWindowVisible(run));
  EXPECT_TRUE(IsWindow(run)) << "still counting in the tray";
  PostMessageW(run, WM_COMMAND, MAKEWPARAM(kShowRunWindow, 0), 0);  // 显示执行窗口
  E2E_EVENTUALLY_TRUE(IsWindowVisible(run));
  // Giving up brings the plan back without a mark.
  clickLabel(run, kGiveUpLabel);
  HWND giveUp = app.waitForWindow("放弃");
  ASSERT_NE(giveUp, nullptr);
  clickLabel(giveUp, kConfirmGiveUp);
  E2E_EVENTUALLY_TRUE(IsWindowVisible(app.hwnd()));
  EXPECT_FALSE(IsWindow(run));
  EXPECT_FALSE(folder.exists("win.ini"));
}

// The rows of a CSV text as a spreadsheet reads them: fields split at commas
// outside quotes, "" a quote inside them, rows ended by CR LF.
std::vector<Rows> csvRows(std::string_view text) {
  std::vector<Rows> rows(1, Rows(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      rows.back().back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      rows.back().emplace_back();
    } else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.emplace_back(1);
      ++i;
    } else {
      rows.back().back() += c;
    }
  }
  if (rows.back() == Rows(1)) rows.pop_back();
  return rows;
}

TEST(PlanRun, AFinishedAndAGivenUpItemLeaveTwoRowsInTheHistory) {
  PlanFolder folder;
  ASSERT_TRUE(
      folder.writeIni("time.ini", itemSection("背单词, \"一\"", "0", "0", "2", {"提示音=假"}) +
                                      itemSection("做练习", "0", "5", "0", {"提示音=假"})));
  E2E_START(app, folder);
  app.clickAsync(kRunFromStart);
  HWND finished = app.waitForWindow("时间到", 10s);
  ASSERT_NE(finished, nullptr);
  clickButton(finished, kYesButton);
  HWND run = app.waitForWindow("计划执行中");
  ASSERT_NE(run, nullptr);
  E2E_EVENTUALLY_EQ(controlText(run, kContentBox), std::string("做练习"));
  clickLabel(run, kGiveUpLabel);
  HWND giveUp = app.waitForWindow("放弃");
  ASSERT_NE(giveUp, nullptr);
  clickLabel(giveUp, kConfirmGiveUp);
  E2E_EVENTUALLY_TRUE(IsWindowVisible(app.hwnd()));

  std::string text;
  E2E_EVENTUALLY_TRUE(
      (text = folder.readBytes("执行记录.csv").value_or(""), csvRows(text).size() == 3));
  ASSERT_TRUE(text.starts_with("\xEF\xBB\xBF"));
  const std::vector<Rows> rows = csvRows(text.substr(3));
  EXPECT_EQ(rows[0], (Rows{"日期", "开始时间", "结束时间", "内容", "计划时长", "实际用时",
                           "结束方式", "结束动作", "来自"}));
  EXPECT_EQ(rows[1][3], "背单词, \"一\"");
  EXPECT_EQ(rows[1][4], "0:00:02");
  EXPECT_EQ(rows[1][5], "0:00:02");
  EXPECT_EQ(rows[1][6], "完成");
  EXPECT_EQ(rows[2][3], "做练习");
  EXPECT_EQ(rows[2][4], "0:05:00");
  EXPECT_EQ(rows[2][6], "放弃");
  for (const Rows& row : {rows[1], rows[2]}) {
    ASSERT_EQ(row.size(), 9u);
    EXPECT_EQ(row[1].substr(0, 10), row[0]);
    EXPECT_EQ(row[8], "非同步计划");
  }
  EXPECT_FALSE(folder.exists("执行记录.tmp"));
}

// ------------------------------------------------------------ from the keyboard

// Keys are real key presses (SendInput): they reach the dialog only while
// it is active and its control has the focus, as a user's keys do.

// The control of `window` with this id has the keyboard focus.
bool focusOn(const App& app, HWND window, int id) {
  return waitFor([&] { return app.focus() == GetDlgItem(window, id); });
}

TEST(PlanRunKeys, EnterAndEscInTheItemFinishedAndGiveUpDialogs) {
  PlanFolder folder;
  // The end sound plays for 60 s, so "是" does not come by itself meanwhile.
  ASSERT_TRUE(folder.writeIni(
      "time.ini", itemSection("背单词", "0", "0", "1", {"提示音=真", "默认=真", "播放=60"}) +
                      itemSection("做练习", "0", "5", "0", {"提示音=假"})));
  E2E_START(app, folder);
  app.clickAsync(kRunFromStart);
  const HWND finished = app.waitForWindow("时间到", 15s);
  ASSERT_NE(finished, nullptr);
  ASSERT_TRUE(focusOn(app, finished, kYesButton)) << "the dialog opens on 是";
  EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(finished, kYesButton), GWL_STYLE) & BS_TYPEMASK,
            BS_DEFPUSHBUTTON);

  // Esc asks to give up; the give-up dialog stays with the run on Enter and on Esc.
  for (WORD key : {VK_RETURN, VK_ESCAPE}) {
    ASSERT_TRUE(focusOn(app, finished, kYesButton)) << "the focus back on 是";
    App::pressKey(VK_ESCAPE);
    const HWND giveUp = app.waitForWindow("放弃");
    ASSERT_NE(giveUp, nullptr) << "Esc in the item-finished dialog";
    ASSERT_TRUE(focusOn(app, giveUp, kKeepGoing));
    App::pressKey(key);
    E2E_EVENTUALLY_TRUE(!IsWindow(giveUp));
    EXPECT_TRUE(IsWindowVisible(finished)) << "still asking after key " << key;
    EXPECT_FALSE(IsWindowVisible(app.hwnd()));
  }

  // Enter goes on to the next item.
  ASSERT_TRUE(focusOn(app, finished, kYesButton));
  App::pressKey(VK_RETURN);
  E2E_EVENTUALLY_TRUE(!IsWindow(finished));
  const HWND run = app.waitForWindow("计划执行中");
  ASSERT_NE(run, nullptr);
  E2E_EVENTUALLY_EQ(controlText(run, kContentBox), std::string("做练习"));
  EXPECT_EQ(folder.readText("win.ini"), "[背单词]\r\nwin=已完成--\r\n");
}

TEST(PlanRunKeys, EnterAndEscInTheChangeTimeDialog) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("读书", "0", "5", "0")));
  E2E_START(app, folder);

  // Esc and Enter leave the main window alone; a later Tab shows they were handled.
  App::pressKey(VK_ESCAPE);
  App::pressKey(VK_RETURN);
  App::pressKey(VK_TAB);
  E2E_EVENTUALLY_TRUE(app.focus() == app.control(kClearMarks));
  EXPECT_TRUE(IsWindowVisible(app.hwnd()));
  EXPECT_TRUE(app.messageBox() == std::nullopt);

  app.clickAsync(kRunFromStart);
  const HWND run = app.waitForWindow("计划执行中");
  ASSERT_NE(run, nullptr);
  PostMessageW(run, WM_COMMAND, MAKEWPARAM(kChangeRemaining, 0), 0);  // 更改剩余时间
  HWND dialog = app.waitForWindow("更改剩余时间");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(focusOn(app, dialog, kNewHours)) << "the dialog opens on the hours";
  App::pressKey(VK_TAB);
  ASSERT_TRUE(focusOn(app, dialog, kNewMinutes));
  typeInto(GetDlgItem(dialog, kNewHours), "0");
  typeInto(GetDlgItem(dialog, kNewMinutes), "90");
  typeInto(GetDlgItem(dialog, kNewSeconds), "0");
  App::pressKey(VK_RETURN);  // 确 定
  E2E_EVENTUALLY_TRUE(!IsWindow(dialog));
  E2E_EVENTUALLY_EQ(controlText(run, kMinutesValue), std::string("89"));

  // Esc drops what was typed.
  PostMessageW(run, WM_COMMAND, MAKEWPARAM(kChangeRemaining, 0), 0);
  dialog = app.waitForWindow("更改剩余时间");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(focusOn(app, dialog, kNewHours));
  typeInto(GetDlgItem(dialog, kNewHours), "3");
  App::pressKey(VK_ESCAPE);  // 取 消
  E2E_EVENTUALLY_TRUE(!IsWindow(dialog));
  const std::string seconds = controlText(run, kSecondsValue);
  E2E_EVENTUALLY_TRUE(controlText(run, kSecondsValue) != seconds);  // a tick after the close
  EXPECT_EQ(controlText(run, kHoursValue), "0");
  EXPECT_EQ(controlText(run, kMinutesValue), "89");
}

}  // namespace
}  // namespace temvik::e2e
