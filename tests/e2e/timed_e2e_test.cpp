// The timed plan in the real program: an item moved to the timed list
// starts by itself at its second with the run window, also behind a note
// in a hand-made file and after a restart; an item whose time passed is
// removed with the expiry message, a daily item moves on to tomorrow once
// it started, and the set-sync dialog's captions fit.

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "caption_fit.h"
#include "e2e_support.h"
#include "platform/date_time.h"
#include "run/run_window.h"
#include "store/gbk.h"
#include "timed/set_sync_dialog.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using namespace timed_ids;
using Rows = std::vector<std::string>;

std::string controlText(HWND window, int id) { return windowText(GetDlgItem(window, id)); }

// Opens the set-sync dialog for sequential row 0. The pointer of the shared
// desktop now and then misses its first move, so the click is tried again
// (on the same row: a second click that lands would be a double click,
// which clears the selection, and the third selects it again). The list
// selects on the button's press but tells the window on its release, and a
// posted command overtakes queued input, so the menu is only sent once the
// row's item is in the editor.
HWND openSetSync(App& app) {
  bool selected = false;
  for (int attempt = 0; attempt < 3 && !selected; ++attempt) {
    if (!app.clickRow(kSequentialList, 0)) continue;
    selected = waitFor(
        [&] { return app.selection(kSequentialList) == 0 && !app.text(kContent).empty(); }, 5s);
  }
  if (!selected) {
    ADD_FAILURE() << "row 0 of the sequential list never became selected";
    return nullptr;
  }
  app.menu(kSetSync);
  const HWND dialog = app.waitForWindow("设置同步");
  if (!dialog) {
    const auto box = app.messageBox();
    ADD_FAILURE() << "no set-sync dialog" << (box ? "; a box says: " + box->text : "");
  }
  return dialog;
}

// Sets the dialog's start `seconds` from now (the seconds carry over into the
// minutes) and presses OK; fails when OK is refused.
void startInSeconds(const App& app, HWND dialog, int seconds) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  typeInto(GetDlgItem(dialog, kStartHours), std::to_string(now.wHour));
  typeInto(GetDlgItem(dialog, kStartMinutes), std::to_string(now.wMinute));
  typeInto(GetDlgItem(dialog, kStartSeconds), std::to_string(now.wSecond + seconds));
  PostMessageW(GetDlgItem(dialog, kSetSyncOk), BM_CLICK, 0, 0);
  E2E_EVENTUALLY_TRUE(!IsWindow(dialog) || !IsWindowVisible(dialog) || app.messageBox());
  if (const auto box = app.messageBox()) FAIL() << "OK was refused: " << box->text;
}

TEST(TimedPlan, AnItemMovedFiveSecondsAheadStartsByItselfInTheRunWindow) {
  PlanFolder folder;
  ASSERT_TRUE(
      folder.writeIni("time.ini", itemSection("开会", "0", "10", "0", {"提示音=假", "播放=10"}) +
                                      itemSection("写报告", "0", "30", "0", {"播放=10"})));
  E2E_START(app, folder);
  const HWND dialog = openSetSync(app);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(controlText(dialog, kItemText), "开会");

  ASSERT_NO_FATAL_FAILURE(startInSeconds(app, dialog, 5));
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), Rows{"开会"});
  EXPECT_EQ(app.rows(kSequentialList), Rows{"写报告"});
  const auto out = parseIni(folder.readText("out.ini"));
  ASSERT_EQ(out.size(), 1U);
  EXPECT_EQ(out[0].name, "开会");
  ASSERT_GE(out[0].keys().size(), 3U);
  EXPECT_EQ(out[0].keys()[0], "同步时间");
  EXPECT_EQ(out[0].keys()[1], "同步提示");
  EXPECT_EQ(folder.readText("time.ini").find("[开会]"), std::string::npos);

  // Nobody touches anything: the run window comes at its second.
  const HWND run = app.waitForWindow("计划执行中", 20s);
  ASSERT_NE(run, nullptr) << "the timed item did not start";
  E2E_EVENTUALLY_EQ(controlText(run, run_ids::kContentBox), std::string("开会"));
  E2E_EVENTUALLY_TRUE(!IsWindowVisible(app.hwnd()));
  E2E_EVENTUALLY_EQ(controlText(run, run_ids::kMinutesValue), std::string("9"));
  // Its second is past, but the item is not expired under its own run.
  E2E_EVENTUALLY_TRUE(std::atoi(controlText(run, run_ids::kSecondsValue).c_str()) <= 56);
  EXPECT_FALSE(app.messageBox());
  EXPECT_EQ(app.rows(kTimedList), Rows{"开会"});
  EXPECT_TRUE(IsWindow(run));
}

// A 每天 item starts at its second, and its record moves on to the same
// time tomorrow, the repeat kept as its last key.
TEST(TimedPlan, ADailyItemStartsAndItsRecordMovesToTheSameTimeTomorrow) {
  PlanFolder folder;
  ASSERT_TRUE(
      folder.writeIni("time.ini", itemSection("晨练", "0", "0", "3", {"提示音=假", "播放=10"}) +
                                      itemSection("写报告", "0", "30", "0", {"播放=10"})));
  E2E_START(app, folder);
  const HWND dialog = openSetSync(app);
  ASSERT_NE(dialog, nullptr);
  SendMessageW(GetDlgItem(dialog, kRepeatList), LB_SETCURSEL, 1, 0);  // 每天
  ASSERT_NO_FATAL_FAILURE(startInSeconds(app, dialog, 5));
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), Rows{"晨练"});
  const auto out = parseIni(folder.readText("out.ini"));
  ASSERT_EQ(out.size(), 1U);
  ASSERT_FALSE(out[0].keys().empty());
  EXPECT_EQ(out[0].keys().back(), "重复");
  EXPECT_EQ(out[0].value("重复"), "每天");
  const auto start = parseDateTimeText(out[0].value("同步时间"));
  ASSERT_TRUE(start) << out[0].value("同步时间");

  const HWND run = app.waitForWindow("计划执行中", 20s);
  ASSERT_NE(run, nullptr) << "the daily item did not start";
  E2E_EVENTUALLY_EQ(controlText(run, run_ids::kContentBox), std::string("晨练"));
  const auto storedStart = [&] {
    const auto now = parseIni(folder.readText("out.ini"));
    return now.size() == 1 ? now[0].value("同步时间") : std::string();
  };
  E2E_EVENTUALLY_EQ(storedStart(), dateTimeText(addSeconds(*start, 24 * 3600)));
  EXPECT_EQ(parseIni(folder.readText("out.ini"))[0].value("重复"), "每天");
  EXPECT_EQ(app.rows(kTimedList), Rows{"晨练"});
}

// A hand-made timed file whose first section is a note: the item moved in
// behind it is shown, is still there after a restart, starts at its second
// there, and expires once its run is over; the note stays as it was, byte
// for byte.
TEST(TimedPlan, AnItemMovedBehindANoteIsKeptAcrossARestartAndStarts) {
  PlanFolder folder;
  const std::string note = "[说明]\n作者=某人\n";
  ASSERT_TRUE(folder.writeIni("out.ini", note));
  ASSERT_TRUE(
      folder.writeIni("time.ini", itemSection("甲", "0", "0", "3", {"提示音=假", "播放=10"}) +
                                      itemSection("乙", "0", "30", "0", {"播放=10"})));
  {
    E2E_START(app, folder);
    const HWND dialog = openSetSync(app);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(controlText(dialog, kItemText), "甲");
    // Far enough ahead for a restart first.
    ASSERT_NO_FATAL_FAILURE(startInSeconds(app, dialog, 15));
    E2E_EVENTUALLY_EQ(app.rows(kTimedList), Rows{"甲"});
    EXPECT_EQ(app.rows(kSequentialList), Rows{"乙"});
    const auto out = parseIni(folder.readText("out.ini"));
    EXPECT_EQ(sectionNames(out), (Rows{"说明", "甲"}));
    app.close();
    ASSERT_TRUE(app.waitForExit());
  }
  E2E_START(app, folder);
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), Rows{"甲"});
  EXPECT_EQ(app.rows(kSequentialList), Rows{"乙"});
  const HWND run = app.waitForWindow("计划执行中", 40s);
  ASSERT_NE(run, nullptr) << "the item behind the note did not start";
  E2E_EVENTUALLY_EQ(controlText(run, run_ids::kContentBox), std::string("甲"));
  // Its run over (three seconds), the past item expires.
  const auto box = app.waitForMessageBox(15s);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "您有1同步计划已过期，已经删除！");
  EXPECT_TRUE(box->press(IDOK));
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), Rows{});
  EXPECT_EQ(folder.readBytes("out.ini"), utf8ToGbk("[说明]\r\n作者=某人\r\n"));
}

TEST(TimedPlan, AnItemWhoseTimePassedIsRemovedAtStartUpWithOneMessage) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("name.ini", "[名称]\n同步=晚间同步\n"));
  ASSERT_TRUE(
      folder.writeIni("out.ini",
                      "[早就过了]\n同步时间=2020-01-01 08:00:00\n同步提示=\n内容=早就过了\n时=0\n"
                      "分=10\n秒=0\n播放=10\n"));
  E2E_START(app, folder);
  const auto box = app.waitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "您有1同步计划已过期，已经删除！");
  EXPECT_TRUE(box->press(IDOK));
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), Rows{});
  EXPECT_TRUE(parseIni(folder.readText("out.ini")).empty());
  // The last one gone, the timed plan name falls back.
  E2E_EVENTUALLY_TRUE(app.title().ends_with(" -- 默认同步"));
  EXPECT_FALSE(app.messageBox());
}

std::string timedSection(const std::string& content, const std::string& start) {
  return "[" + content + "]\n同步时间=" + start + "\n同步提示=\n内容=" + content +
         "\n时=0\n分=10\n秒=0\n播放=10\n断点1名=歇\n断点1时间=3\n断点1音=\n";
}

TEST(TimedList, ContextMenuCancelDeleteKeySaveAndDoubleClick) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("out.ini", timedSection("一", "2099-01-01 08:00:00") +
                                             timedSection("二", "2099-01-02 08:00:00") +
                                             timedSection("三", "2099-01-03 08:00:00") +
                                             timedSection("四", "2099-01-04 08:00:00")));
  E2E_START(app, folder);
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), (Rows{"一", "二", "三", "四"}));

  // A right press selects and loads the row under the pointer; the release
  // opens the timed list's menu.
  ASSERT_TRUE(app.pointAtRow(kTimedList, 1));
  App::mouseDown(Button::Right);
  E2E_EVENTUALLY_EQ(app.selection(kTimedList), 1);
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("二"));
  App::mouseUp(Button::Right);
  E2E_EVENTUALLY_TRUE(app.popupMenu() != nullptr);
  PostMessageW(app.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  E2E_EVENTUALLY_TRUE(app.popupMenu() == nullptr);

  // Its 取消同步 (sent as its command): the row after goes on in the editor.
  app.menu(kCancelSyncFromMenu);
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), (Rows{"一", "三", "四"}));
  EXPECT_EQ(app.selection(kTimedList), 2);
  EXPECT_EQ(app.text(kContent), "四");
  auto out = parseIni(folder.readText("out.ini"));
  ASSERT_EQ(out.size(), 3U);
  EXPECT_EQ(out[1].value("同步时间"), "2099-01-03 08:00:00");
  EXPECT_EQ(out[1].value("断点1名"), "歇");
  EXPECT_FALSE(folder.exists("out1.ini"));
  EXPECT_FALSE(folder.exists("fin1.ini"));

  // The Delete key cancels the selected row (the row after it is gone too).
  ASSERT_TRUE(app.clickRow(kTimedList, 1));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("三"));
  App::pressKey(VK_DELETE);
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), (Rows{"一", "四"}));
  EXPECT_EQ(app.selection(kTimedList), -1);
  EXPECT_EQ(app.text(kContent), "");

  // Saving a new content renames the record where it stands. (Each click
  // goes to another row than the one before: the same place twice would
  // be a double click.)
  ASSERT_TRUE(app.clickRow(kTimedList, 0));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("一"));
  app.type(kContent, "壹");
  ASSERT_TRUE(app.click(kSaveItem));
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), (Rows{"壹", "四"}));
  out = parseIni(folder.readText("out.ini"));
  ASSERT_EQ(out.size(), 2U);
  EXPECT_EQ(out[0].name, "壹");
  EXPECT_EQ(out[0].value("同步时间"), "2099-01-01 08:00:00");

  // A double click leaves no row selected and the editor empty.
  ASSERT_TRUE(app.clickRow(kTimedList, 1));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("四"));
  ASSERT_TRUE(app.clickRow(kTimedList, 1));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string(""));
  EXPECT_EQ(app.selection(kTimedList), -1);
  EXPECT_TRUE(app.messageBox() == std::nullopt);
}

TEST(ScreenDpi, EveryCaptionOfTheSetSyncDialogFitsItsControl) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("开会", "0", "10", "0", {"播放=10"})));
  E2E_START(app, folder);
  const HWND dialog = openSetSync(app);
  ASSERT_NE(dialog, nullptr);
  const UINT dpi = screenDpi();
  const UiFont font(dpi);
  const auto fits = measureCaptions(dialog, font, dpi);
  EXPECT_FALSE(fits.empty());
  EXPECT_EQ(captionsThatDoNotFit(fits), "") << "at " << dpi << " DPI";
}

}  // namespace
}  // namespace temvik::e2e
