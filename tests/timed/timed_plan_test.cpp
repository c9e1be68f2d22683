// The timed list, the set-sync dialog and the scheduler, driven through the
// main window on the headless backend. The virtual clock starts at
// 2026-01-01 08:00:00 and 时钟1 ticks every 500 ms.

#include "timed/timed_plan.h"

#include <gtest/gtest.h>

#include "run/run_window.h"
#include "store/messages.h"
#include "store/plan_store.h"
#include "timed/set_sync_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using namespace timed_ids;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TimedPlanTest : public MainWindowTest {
 protected:
  // A timed record starting at `start`, `minutes` long, with a start sound
  // named after it so that every start shows in the journal.
  static std::vector<std::string> timed(const std::string& content, const std::string& start,
                                        const std::string& minutes = "1") {
    return {"[" + content + "]",
            "同步时间=" + start,
            "同步提示=" + content + ".mp3",
            "内容=" + content,
            "时=0",
            "分=" + minutes,
            "秒=0",
            "播放=10",
            "断点1名=p",
            "断点1时间=3",
            "断点1音=p.wav"};
  }
  // A sequential item as the editor writes it (with its play time).
  static std::vector<std::string> item(const std::string& content,
                                       const std::string& minutes = "1") {
    auto lines = MainWindowTest::item(content, minutes);
    lines.push_back("播放=10");
    return lines;
  }
  std::vector<std::string> timedSections() {
    PlanStore store(env.files);
    return store.load(kTimedItemFile).sectionNames();
  }
  std::string timedValue(const std::string& section, const std::string& key) {
    PlanStore store(env.files);
    return store.load(kTimedItemFile).value(section, key);
  }
  // The start sounds played so far, cleared.
  std::vector<std::string> starts() {
    std::vector<std::string> played;
    for (const auto& j : env.journal)
      if (j.starts_with("play:")) played.push_back(j.substr(5));
    env.journal.clear();
    return played;
  }
  headless::HeadlessWindow* dialog() { return env.ui.find("设置同步窗口"); }
  headless::HeadlessWindow* runWindow() {
    auto* w = env.ui.find("执行窗口");
    return w && w->isOpen() ? w : nullptr;
  }
  // Opens the set-sync dialog for sequential row `row`.
  headless::HeadlessWindow& openFor(headless::HeadlessWindow& w, int row) {
    w.clickRow(kSequentialList, row);
    w.chooseMenu(kSetSync);
    auto* d = dialog();
    EXPECT_TRUE(d && d->isOpen());
    return *d;
  }
  static void setTime(headless::HeadlessWindow& d, const std::string& h, const std::string& m,
                      const std::string& s) {
    d.type(kStartHours, h);
    d.type(kStartMinutes, m);
    d.type(kStartSeconds, s);
  }
};

// ------------------------------------------------------------ set-sync dialog

TEST_F(TimedPlanTest, DialogOpensWithTheCurrentTimeOfTheLastTick) {
  putFile("\\time.ini", join({item("甲"), item("乙")}));
  auto& w = start();
  env.ui.advance(3 * 3600 * 1000 + 25 * 60 * 1000 + 7 * 1000 + 200);  // 11:25:07.2
  auto& d = openFor(w, 1);
  EXPECT_EQ(d.title(), "设置同步");
  EXPECT_EQ(d.text(kItemText), "乙");
  EXPECT_EQ(d.calendarDate(kCalendar), (DateTime{2026, 1, 1, 0, 0, 0}));
  EXPECT_EQ(d.text(kStartHours), "11");
  EXPECT_EQ(d.text(kStartMinutes), "25");
  EXPECT_EQ(d.text(kStartSeconds), "7");
  EXPECT_EQ(d.text(kSoundPath), "");
  EXPECT_EQ(d.owner(), &w);
  EXPECT_FALSE(d.isModal());
  // Unchanged, the preset lies in the past by now.
  env.ui.advance(600);
  d.click(kSetSyncOk);
  ASSERT_FALSE(env.prompts.shown().empty());
  EXPECT_EQ(env.prompts.shown().back().icon, MessageIcon::None);
  EXPECT_EQ(env.prompts.shown().back().title, "");
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您设定的时间已失效"});
  EXPECT_TRUE(d.isOpen());
  // An empty hour box on today is 00:mm:ss, past as well; Enter is OK.
  d.type(kStartHours, "");
  d.pressKey(vk::kReturn);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您设定的时间已失效"});
}

TEST_F(TimedPlanTest, MoveToTimedListWritesTheRecordAndLeavesTheSequentialFile) {
  putFile("\\time.ini", join({item("甲"), item("乙", "30"), {"[密码]", "密码="}}));
  auto& w = start();
  auto& d = openFor(w, 1);
  setTime(d, "9", "0", "0");
  env.prompts.chooseFile(std::string("C:\\s\\开始.mp3"));
  d.click(kOpenSound);
  EXPECT_EQ(env.prompts.lastFilter(), "mp3文件(*.mp3)|*.mp3");
  EXPECT_EQ(d.text(kSoundPath), "C:\\s\\开始.mp3");
  d.click(kSetSyncOk);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_FALSE(d.isOpen());
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("乙"));
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("甲"));
  EXPECT_EQ(w.text(kContent), "");  // the editor was reset
  const std::string out = fileText("\\out.ini");
  EXPECT_TRUE(
      out.starts_with("[乙]\r\n同步时间=2026-01-01 09:00:00\r\n同步提示=C:\\s\\开始.mp3\r\n"
                      "内容=乙\r\n时=0\r\n分=30\r\n"))
      << out;
  EXPECT_EQ(fileText("\\time.ini").find("[乙]"), std::string::npos);
  EXPECT_NE(fileText("\\time.ini").find("[密码]"), std::string::npos);
  // After a restart both lists show the same.
  auto& again = start();
  EXPECT_THAT(again.listRows(kTimedList), ElementsAre("乙"));
  EXPECT_THAT(again.listRows(kSequentialList), ElementsAre("甲"));
  // Loading it shows its start in the dialog's "编辑".
  again.clickRow(kTimedList, 0);
  again.chooseMenu(kEditTimed);
  ASSERT_TRUE(dialog()->isOpen());
  EXPECT_EQ(dialog()->text(kStartHours), "9");
  EXPECT_EQ(dialog()->text(kSoundPath), "C:\\s\\开始.mp3");
}

TEST_F(TimedPlanTest, HourTwentyFourOnTheFifthIsMidnightOfTheSixth) {
  putFile("\\time.ini", join({item("甲")}));
  auto& w = start();
  auto& d = openFor(w, 0);
  ASSERT_TRUE(d.pickDate(kCalendar, {2026, 1, 5, 0, 0, 0}));
  setTime(d, "24", "0", "0");
  d.click(kSetSyncOk);
  EXPECT_EQ(timedValue("甲", "同步时间"), "2026-01-06 00:00:00");
}

TEST_F(TimedPlanTest, OverlapIsTestedForSequentialItemsOnly) {
  putFile("\\time.ini", join({item("短", "30"), item("长", "180")}));
  putFile("\\out.ini", join({timed("既有", "2026-01-01 10:00:00", "60"),
                             timed("另一", "2026-01-01 14:00:00", "60")}));
  auto& w = start();
  for (const auto& [h, m, s, collides] :
       std::vector<std::tuple<std::string, std::string, std::string, bool>>{
           {"10", "30", "0", true},
           {"9", "45", "0", true},
           {"11", "0", "0", true},
           {"9", "30", "0", true}}) {
    auto& d = openFor(w, 0);
    setTime(d, h, m, s);
    d.click(kSetSyncOk);
    EXPECT_EQ(env.prompts.takeTexts(),
              std::vector<std::string>{"您设定的时间于其它同步计划时间重叠"})
        << h << ":" << m;
    EXPECT_TRUE(d.isOpen());
    d.close();
  }
  // Enclosing the existing span is accepted.
  auto& d = openFor(w, 1);
  setTime(d, "9", "0", "0");
  d.click(kSetSyncOk);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("既有", "另一", "长"));
  // An item already timed may be moved onto another one's span.
  w.clickRow(kTimedList, 1);
  w.chooseMenu(kEditTimed);
  setTime(*dialog(), "10", "15", "0");
  dialog()->click(kSetSyncOk);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_EQ(timedValue("另一", "同步时间"), "2026-01-01 10:15:00");
  EXPECT_EQ(timedValue("另一", "断点1音"), "p.wav");
}

TEST_F(TimedPlanTest, CancellingTheSoundDialogBeforeAnyChoiceEmptiesThePath) {
  putFile("\\out.ini", join({timed("既有", "2026-01-01 10:00:00")}));
  auto& w = start();
  w.clickRow(kTimedList, 0);
  w.chooseMenu(kEditTimed);
  EXPECT_EQ(dialog()->text(kSoundPath), "既有.mp3");
  env.prompts.chooseFile(std::nullopt);
  dialog()->click(kOpenSound);
  EXPECT_EQ(dialog()->text(kSoundPath), "");
}

// ------------------------------------------------------------ set-sync command

TEST_F(TimedPlanTest, SetSyncCommandChecksInOrder) {
  auto& w = start();
  w.chooseMenu(kSetSync);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"没有计划列表项目以供添加"});

  putFile("\\time.ini", join({item("甲"), item("乙"), item("零", "0")}));
  putFile("\\win.ini", marks({"甲"}));
  auto& marked = start();
  marked.clickRow(kSequentialList, 1);
  marked.chooseMenu(kAddToTimed);
  EXPECT_EQ(env.prompts.takeTexts(),
            std::vector<std::string>{"清除了所有已完成标记后才能进行移动项操作"});

  env.files.remove(env.files.path("\\win.ini"));
  putFile("\\out.ini", join({timed("乙", "2026-01-01 10:00:00")}));
  auto& w2 = start();
  // Unsaved changes: asked once, No stops; Yes reloads the stored item.
  w2.clickRow(kSequentialList, 0);
  w2.type(kContent, "改过");
  env.prompts.answer(MessageAnswer::No);
  w2.chooseMenu(kSetSync);
  ASSERT_FALSE(env.prompts.shown().empty());
  EXPECT_EQ(env.prompts.shown().back().title, "询问");
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"你确定不保存修改就设置同步吗？"});
  EXPECT_FALSE(dialog() && dialog()->isOpen());
  w2.chooseMenu(kSetSync);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"你确定不保存修改就设置同步吗？"});
  EXPECT_EQ(w2.text(kContent), "甲");
  ASSERT_TRUE(dialog()->isOpen());
  dialog()->close();
  // The editor's checks, then the name already timed.
  w2.clickRow(kSequentialList, 2);
  w2.chooseMenu(kSetSync);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"请输入持续时间"});
  w2.clickRow(kSequentialList, 1);
  w2.chooseMenu(kSetSync);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"同步计划列表中已经有此同名计划"});
  // Nothing selected in either list.
  w2.doubleClickRow(kSequentialList, 0);
  w2.type(kHours, "1");
  env.prompts.answer(MessageAnswer::Yes);
  w2.chooseMenu(kSetSync);
  EXPECT_EQ(env.prompts.takeTexts(),
            (std::vector<std::string>{"你确定不保存修改就设置同步吗？", "请先选中一项计划"}));
}

TEST_F(TimedPlanTest, LockedSequentialPlanCannotGiveUpItsItems) {
  putFile("\\time.ini", join({item("甲"), {"[密码]", "密码=pw"}}));
  auto& w = start();
  env.ui.find("密码窗口")->requestClose();  // the start-up question, not answered
  env.prompts.clear();
  w.clickRow(kSequentialList, 0);
  w.chooseMenu(kSetSync);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].icon, MessageIcon::Information);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{std::string(kEditLocked.text)});
  EXPECT_FALSE(dialog() && dialog()->isOpen());
}

// ------------------------------------------------------------ list events

TEST_F(TimedPlanTest, RightClickSelectsLoadsAndOpensTheMenu) {
  putFile("\\out.ini",
          join({timed("一", "2026-01-01 10:00:00"), timed("二", "2026-01-01 12:00:00")}));
  auto& w = start();
  EXPECT_EQ(w.listSelection(kTimedList), -1);
  w.rightClickRow(kTimedList, 1);
  EXPECT_EQ(w.listSelection(kTimedList), 1);
  EXPECT_EQ(w.text(kContent), "二");
  EXPECT_EQ(w.takePoppedMenu(), "列表2右键菜单");
  EXPECT_EQ(w.menuCaption(kTimedMenuTitle), "正在操作项目：二");
  // Below the rows nothing is selected, and no menu opens.
  w.doubleClickRow(kTimedList, 0);
  EXPECT_EQ(w.listSelection(kTimedList), -1);
  EXPECT_EQ(w.text(kContent), "");
  w.rightClickRow(kTimedList, -1);
  EXPECT_EQ(w.takePoppedMenu(), "");
}

TEST_F(TimedPlanTest, CancelSyncKeepsTheOthersWhole) {
  putFile("\\out.ini", join({timed("一", "2026-01-01 10:00:00"), timed("二", "2026-01-01 11:00:00"),
                             timed("三", "2026-01-01 12:00:00")}));
  putFile("\\fin.ini", {"[一]", "fin=", "[二]", "fin=", "[三]", "fin=已完成--"});
  auto& w = start();
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("一", "二", "已完成--三"));
  w.keyDown(kTimedList, vk::kDelete);  // nothing selected: nothing happens
  w.chooseMenu(kCancelSync);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"请选择要取消的同步项"});
  w.clickRow(kTimedList, 1);
  w.chooseMenu(kCancelSyncFromMenu);
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("一", "已完成--三"));
  EXPECT_EQ(w.listSelection(kTimedList), -1);
  EXPECT_EQ(w.text(kContent), "");
  EXPECT_THAT(timedSections(), ElementsAre("一", "三"));
  EXPECT_EQ(timedValue("三", "同步时间"), "2026-01-01 12:00:00");
  EXPECT_EQ(timedValue("三", "断点1音"), "p.wav");
  EXPECT_FALSE(env.files.exists(env.files.path("\\out1.ini")));
  EXPECT_FALSE(env.files.exists(env.files.path("\\fin1.ini")));
  // The first of the remaining: the row after it is selected and loaded.
  putFile("\\out.ini", join({timed("一", "2026-01-01 10:00:00"), timed("二", "2026-01-01 11:00:00"),
                             timed("三", "2026-01-01 12:00:00")}));
  env.files.remove(env.files.path("\\fin.ini"));
  auto& w2 = start();
  w2.clickRow(kTimedList, 0);
  w2.keyDown(kTimedList, vk::kDelete);
  EXPECT_THAT(w2.listRows(kTimedList), ElementsAre("二", "三"));
  EXPECT_EQ(w2.listSelection(kTimedList), 1);
  EXPECT_EQ(w2.text(kContent), "三");
}

TEST_F(TimedPlanTest, CancelSyncThatCannotWriteChangesNothing) {
  putFile("\\out.ini",
          join({timed("一", "2026-01-01 10:00:00"), timed("二", "2026-01-01 11:00:00")}));
  const std::string before = fileText("\\out.ini");
  auto& w = start();
  env.files.unwritable.insert(env.files.path("\\out.ini"));
  w.clickRow(kTimedList, 0);
  w.chooseMenu(kCancelSync);
  ASSERT_EQ(env.prompts.shown().size(), 1U);
  EXPECT_EQ(env.prompts.shown()[0].title, "文件错误");
  EXPECT_EQ(fileText("\\out.ini"), before);
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("一", "二"));
  EXPECT_FALSE(env.files.exists(env.files.path("\\out1.ini")));
}

TEST_F(TimedPlanTest, AnInterruptedRebuildIsFinishedAtStartUp) {
  putFile("\\out.ini",
          join({timed("一", "2026-01-01 10:00:00"), timed("二", "2026-01-01 11:00:00")}));
  putFile("\\out1.ini", join({timed("二", "2026-01-01 11:00:00")}));
  putFile("\\fin1.ini", {"[二]", "fin="});
  auto& w = start();
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("二"));
  EXPECT_FALSE(env.files.exists(env.files.path("\\out1.ini")));
  EXPECT_FALSE(env.files.exists(env.files.path("\\fin1.ini")));
  // A scratch mark file alone was never decided: dropped.
  putFile("\\fin1.ini", {"[x]", "fin="});
  auto& w2 = start();
  EXPECT_THAT(w2.listRows(kTimedList), ElementsAre("二"));
  EXPECT_FALSE(env.files.exists(env.files.path("\\fin1.ini")));
}

// ------------------------------------------------------------ timed item save

TEST_F(TimedPlanTest, SaveRenamesInPlaceAndRefusesWhatCannotBeStored) {
  putFile("\\out.ini", join({timed("一", "2026-01-01 10:00:00"), timed("二", "2026-01-01 11:00:00"),
                             timed("三", "2026-01-01 12:00:00")}));
  auto& w = start();
  w.clickRow(kTimedList, 1);
  w.type(kContent, "贰");
  w.click(kSaveItem);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("一", "贰", "三"));
  EXPECT_THAT(timedSections(), ElementsAre("一", "贰", "三"));
  EXPECT_EQ(timedValue("贰", "同步时间"), "2026-01-01 11:00:00");
  EXPECT_EQ(timedValue("贰", "同步提示"), "二.mp3");
  EXPECT_EQ(timedValue("贰", "断点1名"), "p");
  EXPECT_EQ(timedValue("贰", "内容"), "贰");
  const std::string saved = fileText("\\out.ini");
  for (const std::string content : {"三", "", " 空白", "[括号]"}) {
    w.clickRow(kTimedList, 1);
    w.type(kContent, content);
    w.click(kSaveItem);
    const auto texts = env.prompts.takeTexts();
    ASSERT_FALSE(texts.empty()) << content;
    EXPECT_NE(texts.back(), "您正在编辑的项未保存，是否保存？") << content;
    EXPECT_EQ(fileText("\\out.ini"), saved) << content;
    env.prompts.answer(MessageAnswer::No);  // the next row press asks about these edits
  }
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("一", "贰", "三"));
}

TEST_F(TimedPlanTest, UnsavedEditsAreOfferedBeforeAnotherTimedRowLoads) {
  putFile("\\out.ini",
          join({timed("一", "2026-01-01 10:00:00"), timed("二", "2026-01-01 11:00:00")}));
  auto& w = start();
  w.clickRow(kTimedList, 0);
  w.type(kMinutes, "7");
  env.prompts.answer(MessageAnswer::Yes);
  w.clickRow(kTimedList, 1);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您正在编辑的项未保存，是否保存？"});
  EXPECT_EQ(timedValue("一", "分"), "7");
  EXPECT_EQ(w.text(kContent), "二");
  // Changes to a sequential item are saved where they came from.
  putFile("\\time.ini", join({item("甲")}));
  auto& w2 = start();
  w2.clickRow(kSequentialList, 0);
  w2.type(kMinutes, "9");
  env.prompts.answer(MessageAnswer::Yes);
  w2.clickRow(kTimedList, 0);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您正在编辑的项未保存，是否保存？"});
  PlanStore store(env.files);
  EXPECT_EQ(store.load(kItemFile).value("甲", "分"), "9");
  EXPECT_EQ(w2.text(kContent), "一");
  EXPECT_THAT(timedSections(), ElementsAre("一", "二"));
}

TEST_F(TimedPlanTest, ASaveThatCannotBeWrittenIsToldAndChangesNothing) {
  const auto files = join({timed("一", "2026-01-01 10:00:00"), timed("二", "2026-01-01 11:00:00")});
  int failures = 0;
  for (const std::string content : {"一", "壹"}) {  // in place, and renamed through a rewrite
    for (int n = 0; n < 4; ++n) {
      SCOPED_TRACE(content + " failing change " + std::to_string(n));
      putFile("\\out.ini", files);
      const std::string before = fileText("\\out.ini");
      auto& w = start();
      w.clickRow(kTimedList, 0);
      w.type(kMinutes, "5");
      w.type(kContent, content);
      env.prompts.clear();
      env.files.failOnce(n);
      w.click(kSaveItem);
      env.files.failOnce(-1000);
      if (env.prompts.shown().empty()) continue;  // fewer changes than n
      ++failures;
      EXPECT_EQ(env.prompts.shown()[0].title, "文件错误");
      EXPECT_EQ(fileText("\\out.ini"), before);
      EXPECT_FALSE(env.files.exists(env.files.path("\\out1.ini")));
      EXPECT_THAT(w.listRows(kTimedList), ElementsAre("一", "二"));
    }
  }
  EXPECT_GE(failures, 3);
}

// ------------------------------------------------------------ scheduler

TEST_F(TimedPlanTest, ADueItemStartsOnceInItsSecondAndThenExpires) {
  putFile("\\out.ini", join({timed("到点", "2026-01-01 08:00:05")}));
  auto& w = start();
  env.ui.advance(4600);
  EXPECT_THAT(starts(), IsEmpty());
  env.ui.advance(500);  // 08:00:05.0 and .5
  EXPECT_THAT(starts(), ElementsAre("到点.mp3"));
  ASSERT_NE(runWindow(), nullptr);
  EXPECT_FALSE(w.isVisible());
  env.ui.advance(500);  // the second tick of 08:00:05 does not start it again
  EXPECT_THAT(starts(), IsEmpty());
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  env.ui.advance(500);  // 08:00:06: past, but it runs: it stays
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("到点"));
  EXPECT_NE(runWindow(), nullptr);
  env.ui.advance(60000);  // its run is over: the next tick removes it
  EXPECT_EQ(runWindow(), nullptr);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(w.listRows(kTimedList), IsEmpty());
}

TEST_F(TimedPlanTest, ASecondNoTickFellInIsNotSkipped) {
  putFile("\\out.ini", join({timed("错过", "2026-01-01 08:00:05")}));
  start();
  env.ui.advance(4600);  // last tick at 08:00:04.5
  env.clock.setNow({2026, 1, 1, 8, 0, 7});
  env.ui.advance(500);
  EXPECT_THAT(starts(), ElementsAre("错过.mp3"));
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  env.ui.advance(400);  // still 08:00:07: not again
  EXPECT_THAT(starts(), IsEmpty());
}

TEST_F(TimedPlanTest, ItemsPastAtStartUpGoInTheOrderOfTheWalk) {
  putFile("\\name.ini", {"[名称]", "同步=我的同步"});
  putFile("\\out.ini", join({timed("一", "2026-01-01 07:00:00"), timed("二", "2026-01-01 07:10:00"),
                             timed("三", "2026-01-01 07:20:00")}));
  auto& w = start();
  EXPECT_EQ(w.text(kTimedGroup), "同步计划列表--我的同步");
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有2同步计划已过期，已经删除！"});
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("二"));
  EXPECT_EQ(w.text(kTimedGroup), "同步计划列表--我的同步");
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(timedSections(), IsEmpty());
  // The last one gone, the name falls back at once.
  EXPECT_EQ(w.text(kTimedGroup), "同步计划列表--默认同步");
  EXPECT_TRUE(w.title().ends_with(" -- 默认同步"));
  EXPECT_EQ(fileText("\\name.ini").find("同步="), std::string::npos);
  env.ui.advance(2000);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
}

TEST_F(TimedPlanTest, TwoItemsDueInOneTickStartInListOrder) {
  putFile("\\out.ini",
          join({timed("先", "2026-01-01 08:00:01", "5"), timed("后", "2026-01-01 08:00:01", "9")}));
  auto& w = start();
  env.ui.advance(1500);  // one start per tick: 后 in the tick after 先
  EXPECT_THAT(starts(), ElementsAre("先.mp3", "后.mp3"));
  EXPECT_EQ(w.text(kContent), "后");
  ASSERT_NE(runWindow(), nullptr);
}

TEST_F(TimedPlanTest, EmptyAndUnreadableStartsAreLeftAloneAndBlockNothing) {
  putFile("\\out.ini", join({timed("乱", "明天早上"),
                             timed("旧", "2026-01-01 07:00:00"),
                             {"[空]", "内容=空", "时=0", "分=1", "秒=0"},
                             timed("后", "2026-01-01 07:00:00"),
                             timed("晚", "2026-01-01 08:00:03")}));
  auto& w = start();
  env.ui.advance(500);
  // The item after an expired one moves up and is only tested for being
  // due; the walk goes on behind it.
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有2同步计划已过期，已经删除！"});
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("乱", "空", "晚"));
  // Saving such an item keeps its text: it neither starts nor expires.
  w.clickRow(kTimedList, 0);
  w.type(kMinutes, "2");
  w.click(kSaveItem);
  EXPECT_EQ(timedValue("乱", "同步时间"), "明天早上");
  EXPECT_EQ(timedValue("乱", "分"), "2");
  // The dialog offers the current time for it, and its OK sets a real one.
  w.chooseMenu(kEditTimed);
  EXPECT_EQ(dialog()->text(kStartHours), "8");
  setTime(*dialog(), "20", "0", "0");
  dialog()->click(kSetSyncOk);
  EXPECT_EQ(timedValue("乱", "同步时间"), "2026-01-01 20:00:00");
  // The empty one is passed over: 晚 behind it starts at its second.
  env.ui.advance(2500);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_THAT(starts(), ElementsAre("晚.mp3"));
}

TEST_F(TimedPlanTest, StartTimesInTheFormsOfAnEarlierVersionStartAndExpire) {
  putFile("\\out.ini", join({timed("午夜", "2026/1/1"), timed("旧式", "2026/1/1 8:00:05"),
                             timed("无秒", "2026-1-1 8:01")}));
  auto& w = start();
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("旧式", "无秒"));
  env.ui.advance(4500);  // 08:00:05
  EXPECT_THAT(starts(), ElementsAre("旧式.mp3"));
  env.ui.advance(55000);  // 08:01:00
  EXPECT_THAT(starts(), ElementsAre("无秒.mp3"));
}

TEST_F(TimedPlanTest, TicksDuringTheExpiryMessageRemoveNothingTwice) {
  putFile("\\out.ini",
          join({timed("旧", "2026-01-01 07:00:00"), timed("新", "2026-01-01 08:00:02")}));
  auto& w = start();
  env.prompts.whileNextOpen([&] { env.ui.advance(2000); });  // the box stays open 2 s
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(timedSections(), ElementsAre("新"));
  EXPECT_THAT(starts(), IsEmpty());
  // The first tick after the box catches up with the second it missed.
  env.ui.advance(500);
  EXPECT_THAT(starts(), ElementsAre("新.mp3"));
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_EQ(w.text(kContent), "新");
}

TEST_F(TimedPlanTest, AnExpiryThatCannotBeWrittenIsToldOnce) {
  putFile("\\out.ini", join({timed("旧", "2026-01-01 07:00:00")}));
  auto& w = start();
  env.files.unwritable.insert(env.files.path("\\out.ini"));
  env.ui.advance(3000);
  ASSERT_EQ(env.prompts.shown().size(), 1U);
  EXPECT_EQ(env.prompts.shown()[0].title, "文件错误");
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("旧"));
}

// ------------------------------------------------------------ the clock jumps

TEST_F(TimedPlanTest, AJumpForwardExpiresWhatItSkippedAndTheWakeIsHeardAtOnce) {
  putFile("\\out.ini",
          join({timed("九点", "2026-01-01 09:00:00"), timed("十点", "2026-01-01 10:00:00"),
                timed("十一点", "2026-01-01 11:00:00"), timed("十二点", "2026-01-01 12:00:00"),
                timed("午后", "2026-01-01 12:00:04")}));
  auto& w = start();
  env.ui.advance(600);
  // Asleep from 08:00 until 12:00; the wake is heard before the next tick.
  env.clock.setNow({2026, 1, 1, 12, 0, 0});
  env.ui.systemTimeChanged();
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有2同步计划已过期，已经删除！"});
  EXPECT_THAT(starts(), ElementsAre("十二点.mp3"));
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(starts(), IsEmpty());
  // The running item stays until 午后 takes the run over.
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("十二点", "午后"));
  env.ui.advance(4000);
  EXPECT_THAT(starts(), ElementsAre("午后.mp3"));
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("午后"));
}

TEST_F(TimedPlanTest, DaylightSavingNeitherStartsTwiceNorExpiresWhatIsToCome) {
  putFile("\\out.ini",
          join({timed("重复", "2026-01-01 08:00:05", "90"), timed("跳过", "2026-01-01 08:30:00"),
                timed("之后", "2026-01-01 09:00:03")}));
  auto& w = start();
  env.ui.advance(5000);
  EXPECT_THAT(starts(), ElementsAre("重复.mp3"));
  // An hour repeated while it runs: its second comes again, and neither it
  // starts again nor anything expires.
  env.clock.setNow({2026, 1, 1, 7, 0, 6});
  env.ui.systemTimeChanged();
  env.ui.advance(3600 * 1000);
  EXPECT_THAT(starts(), IsEmpty());
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("重复", "跳过", "之后"));
  // An hour skipped: the start in it never came and is told as expired.
  env.clock.setNow({2026, 1, 1, 9, 0, 0});
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("重复", "之后"));
  env.ui.advance(3000);
  EXPECT_THAT(starts(), ElementsAre("之后.mp3"));
  env.ui.advance(500);  // 重复, whose run was taken over, goes
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("之后"));
}

TEST_F(TimedPlanTest, AJumpWhileATicksMessageIsOpenIsDealtWithAfterIt) {
  putFile("\\out.ini",
          join({timed("旧", "2026-01-01 07:00:00"), timed("跳过", "2026-01-01 08:30:00"),
                timed("到点", "2026-01-01 10:00:02")}));
  auto& w = start();
  env.prompts.whileNextOpen([&] {
    env.clock.setNow({2026, 1, 1, 10, 0, 0});
    env.ui.systemTimeChanged();
    env.ui.advance(2000);
  });
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(starts(), IsEmpty());
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
  EXPECT_THAT(starts(), ElementsAre("到点.mp3"));
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("到点"));
}

TEST_F(TimedPlanTest, ThePresetFollowsTheClockOnlyWhileNoTimedRowIsSelected) {
  putFile("\\time.ini", join({item("甲")}));
  putFile("\\out.ini", join({timed("乙", "2026-01-01 10:20:30")}));
  auto& w = start();
  w.clickRow(kTimedList, 0);
  env.ui.advance(5000);
  w.chooseMenu(kEditTimed);
  EXPECT_EQ(dialog()->text(kStartHours), "10");
  EXPECT_EQ(dialog()->text(kStartSeconds), "30");
  dialog()->close();
  w.clickRow(kSequentialList, 0);
  env.ui.advance(1000);  // 08:00:06
  w.chooseMenu(kAddToTimed);
  EXPECT_EQ(dialog()->text(kStartHours), "8");
  EXPECT_EQ(dialog()->text(kStartSeconds), "6");
}

}  // namespace
}  // namespace temvik::testing

namespace temvik::testing {
namespace {

TEST_F(TimedPlanTest, OkActsOnTheItemTheDialogWasOpenedFor) {
  putFile("\\time.ini", join({item("甲"), item("乙")}));
  putFile("\\out.ini", join({timed("丙", "2026-01-01 10:00:00")}));
  auto& w = start();
  auto& d = openFor(w, 0);
  w.clickRow(kTimedList, 0);  // the main window stays usable meanwhile
  setTime(d, "12", "0", "0");
  d.click(kSetSyncOk);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("丙", "甲"));
  EXPECT_EQ(timedValue("丙", "同步时间"), "2026-01-01 10:00:00");
  EXPECT_EQ(timedValue("甲", "同步时间"), "2026-01-01 12:00:00");

  w.clickRow(kTimedList, 0);
  w.chooseMenu(kEditTimed);
  w.clickRow(kSequentialList, 0);
  setTime(*dialog(), "13", "0", "0");
  dialog()->click(kSetSyncOk);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"请先选中一项计划"});
  EXPECT_EQ(timedValue("丙", "同步时间"), "2026-01-01 10:00:00");
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("乙"));
}

TEST_F(TimedPlanTest, ANameTakenInAnotherLetterCaseOrUnderAMarkIsTaken) {
  putFile("\\time.ini", join({item("abc"), item("Mark")}));
  putFile("\\out.ini",
          join({timed("ABC", "2026-01-01 10:00:00"), timed("mark", "2026-01-01 11:00:00")}));
  putFile("\\fin.ini", {"[ABC]", "fin=", "[mark]", "fin=已完成--"});
  auto& w = start();
  for (int row : {0, 1}) {
    w.clickRow(kSequentialList, row);
    w.chooseMenu(kAddToTimed);
    EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"同步计划列表中已经有此同名计划"});
  }
  EXPECT_EQ(timedValue("ABC", "同步时间"), "2026-01-01 10:00:00");
}

TEST_F(TimedPlanTest, AMoveThatFailsAnywhereLeavesTheItemInExactlyOneList) {
  for (int n = 0; n < 8; ++n) {
    SCOPED_TRACE("failing change " + std::to_string(n));
    env.files.remove(env.files.path("\\out.ini"));
    putFile("\\time.ini", join({item("甲"), item("乙"), {"[密码]", "密码="}}));
    putFile("\\win.ini", {"[甲]", "win=", "[乙]", "win="});
    auto& w = start();
    auto& d = openFor(w, 1);
    setTime(d, "9", "0", "0");
    env.prompts.clear();
    env.files.failOnce(n);
    d.click(kSetSyncOk);
    const auto shown = env.prompts.shown();
    ASSERT_LE(shown.size(), 1U);
    const bool failed = shown.size() == 1;
    if (failed) {
      EXPECT_EQ(shown[0].title, "文件错误");
    }
    PlanStore store(env.files);
    const bool inTimed = store.load(kTimedItemFile).hasSection("乙");
    const bool inSequential = store.load(kItemFile).hasSection("乙");
    EXPECT_NE(inTimed, inSequential);
    EXPECT_EQ(inTimed, !failed);
    EXPECT_EQ(w.listRows(kTimedList), store.loadList(kTimedItemFile, kTimedMarkFile, "fin"));
    EXPECT_EQ(w.listRows(kSequentialList), store.loadList(kItemFile, kMarkFile, "win"));
    env.files.failOnce(-1000);
  }
}

}  // namespace
}  // namespace temvik::testing

namespace temvik::testing {
namespace {

TEST_F(TimedPlanTest, ATimedStartClosesWhatIsOpenAndTakesOverTheRun) {
  putFile("\\time.ini", join({item("顺序一", "30"), item("顺序二")}));
  putFile("\\out.ini", join({timed("同步项", "2026-01-01 08:00:03", "5")}));
  auto& w = start();
  auto& d = openFor(w, 1);
  w.click(kRunFromStart);
  ASSERT_NE(runWindow(), nullptr);
  EXPECT_EQ(runWindow()->text(run_ids::kContentBox), "顺序一");
  EXPECT_TRUE(d.isOpen());
  env.ui.advance(3200);
  EXPECT_FALSE(d.isOpen());
  ASSERT_NE(runWindow(), nullptr);
  EXPECT_EQ(runWindow()->text(run_ids::kContentBox), "同步项");
  EXPECT_EQ(runWindow()->text(run_ids::kMinutesValue), "5");
  EXPECT_THAT(starts(), ElementsAre("同步项.mp3"));
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace temvik::testing

namespace temvik::testing {
namespace {

TEST_F(TimedPlanTest, RowsThatMoveWhileTheSaveQuestionIsOpenAreFoundByName) {
  putFile("\\out.ini",
          join({timed("已过期", "2026-01-01 07:00:00"), timed("乙", "2026-01-01 09:00:00"),
                timed("丙", "2026-01-01 10:00:00")}));
  auto& w = start();
  w.clickRow(kTimedList, 1);
  w.type(kContent, "乙改");
  w.type(kMinutes, "7");
  // The first tick comes while the box is open: the first item, past
  // already, goes, and the edited row moves up.
  env.prompts.whileNextOpen([&] { env.ui.advance(2000); });
  w.clickRow(kTimedList, 2);
  EXPECT_THAT(timedSections(), ElementsAre("乙改", "丙"));
  EXPECT_EQ(timedValue("乙改", "分"), "7");
  EXPECT_EQ(timedValue("丙", "分"), "1");
}

// ------------------------------------------------------------ repeating items

namespace repeating {

// A timed record that repeats: the key after all the others.
std::vector<std::string> withRepeat(std::vector<std::string> record, const std::string& repeat) {
  record.push_back("重复=" + repeat);
  return record;
}

// The keys of the first section of a file, in file order.
std::vector<std::string> keysOf(const std::string& file) {
  const IniDocument doc = IniDocument::parse(file);
  std::vector<std::string> keys;
  doc.forEachValue(doc.sectionNames().at(0),
                   [&](std::string_view key, const std::string&) { keys.emplace_back(key); });
  return keys;
}

}  // namespace repeating

TEST_F(TimedPlanTest, TheDialogsRepeatIsStoredAfterEveryOtherKeyAndKeptBySaves) {
  putFile("\\time.ini", join({item("晨读", "20")}));
  auto& w = start();
  auto& d = openFor(w, 0);
  EXPECT_THAT(d.listRows(kRepeatList), ElementsAre("不重复", "每天", "每个工作日", "每周"));
  EXPECT_EQ(d.listSelection(kRepeatList), 0);
  d.clickRow(kRepeatList, 1);
  setTime(d, "9", "0", "0");
  d.click(kSetSyncOk);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  std::vector<std::string> keys = repeating::keysOf(fileText("\\out.ini"));
  EXPECT_EQ(keys.back(), "重复");
  EXPECT_EQ(timedValue("晨读", "重复"), "每天");

  // 编辑 shows it; 每个工作日 on a Saturday begins on the Monday.
  w.clickRow(kTimedList, 0);
  w.chooseMenu(kEditTimed);
  EXPECT_EQ(dialog()->listSelection(kRepeatList), 1);
  dialog()->clickRow(kRepeatList, 2);
  ASSERT_TRUE(dialog()->pickDate(kCalendar, {2026, 1, 3, 0, 0, 0}));
  dialog()->click(kSetSyncOk);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_EQ(timedValue("晨读", "同步时间"), "2026-01-05 09:00:00");
  EXPECT_EQ(timedValue("晨读", "重复"), "工作日");

  // A save from the editor keeps it, and puts it last again.
  putFile("\\out.ini", join({{"[晨读]", "同步时间=2026-01-05 09:00:00", "重复=每周",
                              "同步提示=", "内容=晨读", "时=0", "分=20", "秒=0", "播放=10"}}));
  auto& again = start();
  again.clickRow(kTimedList, 0);
  again.type(kMinutes, "25");
  again.click(kSaveItem);
  EXPECT_EQ(timedValue("晨读", "分"), "25");
  EXPECT_EQ(timedValue("晨读", "重复"), "每周");
  keys = repeating::keysOf(fileText("\\out.ini"));
  EXPECT_EQ(keys.back(), "重复");

  // 不重复 writes no key: the record is as one that never repeated.
  again.clickRow(kTimedList, 0);
  again.chooseMenu(kEditTimed);
  EXPECT_EQ(dialog()->listSelection(kRepeatList), 3);
  dialog()->clickRow(kRepeatList, 0);
  dialog()->click(kSetSyncOk);
  keys.pop_back();
  EXPECT_EQ(repeating::keysOf(fileText("\\out.ini")), keys);
}

TEST_F(TimedPlanTest, ARepeatingItemStartsMovesToItsNextDayAndNeverExpires) {
  putFile("\\out.ini", repeating::withRepeat(timed("每日", "2026-01-01 08:00:05"), "每天"));
  auto& w = start();
  env.ui.advance(5100);
  EXPECT_THAT(starts(), ElementsAre("每日.mp3"));
  EXPECT_EQ(timedValue("每日", "同步时间"), "2026-01-02 08:00:05");
  EXPECT_EQ(timedValue("每日", "重复"), "每天");
  env.ui.advance(90000);  // its run is over
  EXPECT_EQ(runWindow(), nullptr);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("每日"));
  EXPECT_THAT(starts(), IsEmpty());
}

TEST_F(TimedPlanTest, OccurrencesMissedWhileClosedOrJumpedOverAreToldOnceAndMovedOn) {
  // Thursday 2026-01-01 08:00 at start-up.
  putFile("\\out.ini",
          join({timed("过期", "2026-01-01 07:00:00"),
                repeating::withRepeat(timed("早操", "2025-12-29 07:00:00"), "每天"),
                repeating::withRepeat(timed("晨会", "2025-12-31 07:30:00"), "工作日")}));
  auto& w = start();
  env.ui.advance(500);
  EXPECT_EQ(env.prompts.takeTexts(),
            (std::vector<std::string>{"您有1同步计划已过期，已经删除！",
                                      "重复的同步计划错过了6次，已顺延到下一次。"}));
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("早操", "晨会"));
  EXPECT_EQ(timedValue("早操", "同步时间"), "2026-01-02 07:00:00");
  EXPECT_EQ(timedValue("晨会", "同步时间"), "2026-01-02 07:30:00");
  env.ui.advance(2000);
  EXPECT_THAT(env.prompts.takeTexts(), IsEmpty());
  // Asleep until Monday 08:00: 早操 four times, 晨会 on Friday and Monday.
  w.clickRow(kTimedList, 1);
  env.clock.setNow({2026, 1, 5, 8, 0, 0});
  env.ui.systemTimeChanged();
  EXPECT_EQ(env.prompts.takeTexts(),
            std::vector<std::string>{"重复的同步计划错过了6次，已顺延到下一次。"});
  EXPECT_EQ(timedValue("早操", "同步时间"), "2026-01-06 07:00:00");
  EXPECT_EQ(timedValue("晨会", "同步时间"), "2026-01-06 07:30:00");
  EXPECT_THAT(starts(), IsEmpty());
  // The item in the editor has its new start: a save keeps it.
  w.click(kSaveItem);
  EXPECT_EQ(timedValue("晨会", "同步时间"), "2026-01-06 07:30:00");
}

}  // namespace
}  // namespace temvik::testing
