// A plan runs: start checks, the run window, item end and the dialogs.

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run/change_time_dialog.h"
#include "run/content_note_window.h"
#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/run_window.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using namespace run_ids;
using headless::HeadlessWindow;
using ::testing::ElementsAre;

class RunTest : public MainWindowTest {
 protected:
  static std::vector<std::string> timedItem(const std::string& content, const std::string& h,
                                            const std::string& m, const std::string& s,
                                            std::initializer_list<std::string> more = {}) {
    std::vector<std::string> lines{"[" + content + "]", "内容=" + content, "时=" + h, "分=" + m,
                                   "秒=" + s};
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
  }
  HeadlessWindow* runWindow() { return env.ui.find("执行窗口"); }
  HeadlessWindow* finishedDialog() { return env.ui.find("完成提示窗口"); }
  HeadlessWindow* completeWindow() { return env.ui.find("计划完成窗口"); }
  std::vector<std::string> shownTime() {
    auto* w = runWindow();
    return {w->text(kHoursValue), w->text(kMinutesValue), w->text(kSecondsValue)};
  }
};

TEST_F(RunTest, StartChecksStopAtTheFirstBadItem) {
  putFile("\\time.ini", join({timedItem("一", "0", "1", "0"), timedItem("二", "0", "0", "5"),
                              timedItem("三", "", "0", "")}));
  auto& w = start();
  w.click(kRunFromStart);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].text, "请输入持续时间");
  EXPECT_EQ(env.prompts.shown()[0].title, "请补充");
  EXPECT_EQ(w.listSelection(kSequentialList), 2);
  EXPECT_EQ(w.text(kContent), "三");
  EXPECT_EQ(runWindow(), nullptr);
  EXPECT_TRUE(w.isVisible());
}

TEST_F(RunTest, StartChecksInTheirOrder) {
  struct Case {
    std::vector<std::string> lines;
    const char* text;
    const char* title;
  };
  const std::vector<Case> cases = {
      {timedItem("a", "-1", "0", "5"), "时是没有负值的", "填的时候要集中注意力"},
      {timedItem("a", "0", "-2", "5"), "分是没有负值的", "填的时候要集中注意力"},
      {timedItem("a", "0", "1", "-5"), "秒是没有负值的", "填的时候要集中注意力"},
      {timedItem("a", "0", "1", "0", {"是否执行=真", "执行名="}), "请选择一个程序以供到时间执行",
       "请选择程序"},
      {timedItem("a", "0", "1", "0", {"提示音=真", "默认=假", "提示音名="}),
       "请选择一个提示音以供到时间播放", "请选择提示音"},
      {timedItem("a", "0", "1", "0", {"提示音=假", "结束进程=真", "进程="}),
       "请提供完成后要结束的进程", "请补充"},
      {timedItem("a", "0", "1", "0", {"提示音=真", "播放="}), "请输入持续播放提示音的时间",
       "请补充"},
      {timedItem("a", "0", "1", "0", {"提示音=假", "禁止进程=真", "禁止名="}),
       "请提供执行中要禁止的进程", "请补充"},
  };
  for (const auto& c : cases) {
    putFile("\\time.ini", c.lines);
    env.prompts.clear();
    start().click(kRunFromStart);
    ASSERT_EQ(env.prompts.shown().size(), 1u) << c.text;
    EXPECT_EQ(env.prompts.shown()[0].text, c.text);
    EXPECT_EQ(env.prompts.shown()[0].title, c.title);
    EXPECT_EQ(env.prompts.shown()[0].icon, MessageIcon::Information);
  }
}

TEST_F(RunTest, AnEmptyPlanHasNothingToRun) {
  start().click(kRunFromStart);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].text, "并没有计划以供执行");
  EXPECT_EQ(env.prompts.shown()[0].title, "");
}

TEST_F(RunTest, UnsavedEditsAreConfirmedBeforeAStart) {
  putFile("\\time.ini", timedItem("一", "0", "0", "3"));
  auto& w = start();
  w.type(kContent, "改了");
  env.prompts.answer(MessageAnswer::No);
  w.click(kRunFromStart);
  EXPECT_EQ(env.prompts.shown().at(0).text, "你确定不保存修改吗？");
  EXPECT_EQ(env.prompts.shown().at(0).title, "询问");
  EXPECT_EQ(runWindow(), nullptr);
  w.click(kRunFromStart);
  EXPECT_NE(runWindow(), nullptr);
}

TEST_F(RunTest, APlanRunsItemByItemToTheEnd) {
  putFile("\\time.ini", join({timedItem("一", "0", "0", "3", {"提示音=假"}),
                              timedItem("二", "0", "0", "3", {"提示音=假"})}));
  auto& w = start();
  w.click(kRunFromStart);
  ASSERT_NE(runWindow(), nullptr);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(runWindow()->text(kContentBox), "一");
  EXPECT_EQ(runWindow()->layeredAlpha(), 230);
  EXPECT_EQ(shownTime(), (std::vector<std::string>{"0", "0", "3"}));
  env.ui.advance(1000);
  EXPECT_EQ(shownTime(), (std::vector<std::string>{"0", "0", "2"}));
  env.ui.advance(2000);
  EXPECT_EQ(runWindow(), nullptr);
  ASSERT_NE(finishedDialog(), nullptr);
  EXPECT_EQ(fileText("\\win.ini"), "[一]\r\nwin=已完成--\r\n");
  EXPECT_EQ(finishedDialog()->text(kCountdownNumber), "10");
  env.ui.advance(1000);
  EXPECT_EQ(finishedDialog()->text(kCountdownNumber), "9");
  env.ui.advance(9000);  // "是" by itself
  EXPECT_EQ(finishedDialog(), nullptr);
  ASSERT_NE(runWindow(), nullptr);
  EXPECT_EQ(runWindow()->text(kContentBox), "二");
  env.ui.advance(3000);
  ASSERT_NE(completeWindow(), nullptr);
  EXPECT_FALSE(w.isVisible());
  completeWindow()->click(kBackToMain);
  EXPECT_TRUE(w.isVisible());
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("已完成--一", "已完成--二"));
}

TEST_F(RunTest, ContinueStartsAtTheFirstUnfinishedItem) {
  putFile("\\time.ini", join({timedItem("一", "0", "0", "1"), timedItem("二", "0", "0", "1"),
                              timedItem("三", "0", "0", "2"), timedItem("四", "0", "0", "2")}));
  putFile("\\win.ini", marks({"一", "二"}));
  auto& w = start();
  w.click(kResumeUnfinished);
  EXPECT_EQ(runWindow()->text(kContentBox), "三");
  env.ui.advance(2000);
  finishedDialog()->click(kYesButton);
  EXPECT_EQ(runWindow()->text(kContentBox), "四");
  env.ui.advance(2000);
  EXPECT_NE(completeWindow(), nullptr);
}

TEST_F(RunTest, ProgramsStartThenProcessesEndThenTheMarkIsWritten) {
  putFile(
      "\\time.ini",
      join({timedItem("一", "0", "0", "2",
                      {"是否执行=真", "执行名=C:\\a.exe,D:\\b.exe", "结束进程=真", "进程=qq.exe,"}),
            timedItem("二", "0", "0", "2")}));
  env.processes.start("QQ.EXE");
  auto& w = start();
  w.click(kRunFromStart);
  env.ui.advance(2000);
  // "a,b" names one program: text after the last comma is not an entry.
  EXPECT_THAT(env.journal, ElementsAre("open:C:\\a.exe", "end:QQ.EXE"));
  EXPECT_EQ(fileText("\\win.ini"), "[一]\r\nwin=已完成--\r\n");
  EXPECT_NE(finishedDialog(), nullptr);
}

TEST_F(RunTest, APowerActionFollowsTheMarkAndEndsTheProgram) {
  putFile("\\settings.ini", {"[设置]", "关机提示秒数=0"});  // no notice before it
  putFile("\\time.ini", timedItem("一", "0", "0", "2", {"重启=真"}));
  bool markedFirst = false;
  env.power.onRequest = [&](PowerAction) { markedFirst = !fileText("\\win.ini").empty(); };
  auto& w = start();
  w.click(kRunFromStart);
  env.ui.advance(2000);
  EXPECT_EQ(env.power.requests, std::vector<PowerAction>{PowerAction::Restart});
  EXPECT_TRUE(markedFirst);
  EXPECT_FALSE(w.isOpen());
  EXPECT_TRUE(env.ui.quitRequested());
  EXPECT_EQ(finishedDialog(), nullptr);
  EXPECT_EQ(completeWindow(), nullptr);
}

TEST_F(RunTest, ShutDownWinsOverExit) {
  putFile("\\settings.ini", {"[设置]", "关机提示秒数=0"});
  putFile("\\time.ini", timedItem("一", "0", "0", "1", {"关机=真", "完成退出=真"}));
  start().click(kRunFromStart);
  env.ui.advance(1000);
  EXPECT_EQ(env.power.requests, std::vector<PowerAction>{PowerAction::ShutDown});
}

TEST_F(RunTest, LockOpensNoDialogAndBringsThePlanBack) {
  putFile("\\time.ini",
          join({timedItem("一", "0", "0", "1", {"锁定=真"}), timedItem("二", "0", "0", "1")}));
  auto& w = start();
  w.click(kRunFromStart);
  env.ui.advance(1000);
  EXPECT_EQ(env.shell.take(), std::vector<std::string>{"run:Rundll32 USER32.dll ,LockWorkStation"});
  EXPECT_EQ(finishedDialog(), nullptr);
  EXPECT_EQ(completeWindow(), nullptr);
  EXPECT_TRUE(w.isVisible());
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("已完成--一", "二"));
  EXPECT_TRUE(w.isEnabled(kResumeUnfinished));
}

TEST_F(RunTest, TheProgramNeverEndsItself) {
  putFile("\\time.ini", timedItem("一", "0", "0", "1", {"结束进程=真", "进程=Temvik,notepad,"}));
  env.processes.start("notepad.exe");
  start().click(kRunFromStart);
  env.ui.advance(1000);
  EXPECT_TRUE(env.processes.running("temvik.exe"));
  EXPECT_FALSE(env.processes.running("notepad.exe"));
}

TEST_F(RunTest, ALongItemEndsAtItsTime) {
  putFile("\\time.ini", timedItem("长", "700", "0", "0"));
  start().click(kRunFromStart);
  env.ui.advance(700ULL * 3600 * 1000 - 1);
  EXPECT_NE(runWindow(), nullptr);
  EXPECT_EQ(shownTime(), (std::vector<std::string>{"0", "0", "1"}));
  env.ui.advance(1);
  EXPECT_EQ(runWindow(), nullptr);
}

TEST_F(RunTest, AZeroDurationEndsAtOnce) {
  putFile("\\time.ini", join({timedItem("一", "0", "0", "1"), timedItem("零", "0", "0", "0")}));
  putFile("\\win.ini", marks({"一"}));
  start().click(kResumeUnfinished);
  ASSERT_NE(runWindow(), nullptr);
  env.ui.advance(1);
  EXPECT_EQ(runWindow(), nullptr);
  EXPECT_NE(completeWindow(), nullptr);
}

TEST_F(RunTest, AutoYesWaitsForTheLongerPlayTime) {
  putFile("\\time.ini", join({timedItem("一", "0", "0", "1", {"提示音=真", "播放=30"}),
                              timedItem("二", "0", "0", "1", {"提示音=真", "播放=5"}),
                              timedItem("三", "0", "0", "1", {"提示音=假"})}));
  start().click(kRunFromStart);
  env.ui.advance(1000);
  ASSERT_NE(finishedDialog(), nullptr);
  EXPECT_EQ(finishedDialog()->text(kCountdownNumber), "30");
  EXPECT_TRUE(env.sound.musicPlaying());
  env.ui.advance(29'999);
  EXPECT_NE(finishedDialog(), nullptr);
  env.ui.advance(1);
  EXPECT_EQ(finishedDialog(), nullptr);
  EXPECT_FALSE(env.sound.musicPlaying());

  env.ui.advance(1000);  // item 二, play time 5
  ASSERT_NE(finishedDialog(), nullptr);
  EXPECT_EQ(finishedDialog()->text(kCountdownNumber), "10");
  env.ui.advance(5000);
  EXPECT_FALSE(env.sound.musicPlaying());
  EXPECT_NE(finishedDialog(), nullptr);
  env.ui.advance(5000);
  EXPECT_EQ(finishedDialog(), nullptr);
  EXPECT_EQ(env.sound.musicStarts, 2);
}

TEST_F(RunTest, AMediaFilePlaysUntilTheDialogCloses) {
  putFile("\\time.ini", join({timedItem("一", "0", "0", "1",
                                        {"提示音=真", "默认=假", "提示音名=C:\\铃.mp3", "播放=3"}),
                              timedItem("二", "0", "0", "1")}));
  start().click(kRunFromStart);
  env.ui.advance(1000);
  EXPECT_EQ(env.sound.playing(), std::vector<std::string>{"C:\\铃.mp3"});
  env.ui.advance(5000);
  EXPECT_EQ(env.sound.playing(), std::vector<std::string>{"C:\\铃.mp3"});
  finishedDialog()->click(kYesButton);
  EXPECT_TRUE(env.sound.playing().empty());
}

TEST_F(RunTest, GivingUpAfterAnItemKeepsItsMark) {
  putFile("\\time.ini", join({timedItem("一", "0", "0", "1"), timedItem("二", "0", "0", "1"),
                              timedItem("三", "0", "0", "1")}));
  auto& w = start();
  w.click(kRunFromStart);
  env.ui.advance(1000);
  finishedDialog()->click(kGiveUpButton);
  auto* giveUp = env.ui.find("放弃窗口");
  ASSERT_NE(giveUp, nullptr);
  EXPECT_FALSE(finishedDialog()->click(kYesButton)) << "blocked by the modal give-up dialog";
  giveUp->click(kConfirmGiveUp);
  EXPECT_EQ(finishedDialog(), nullptr);
  EXPECT_TRUE(w.isVisible());
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("已完成--一", "二", "三"));
  EXPECT_TRUE(w.isEnabled(kResumeUnfinished)) << "the rest can be continued";
  env.ui.advance(60'000);
  EXPECT_EQ(runWindow(), nullptr) << "nothing goes on by itself";
}

TEST_F(RunTest, GivingUpDuringAnItemWritesNoMark) {
  putFile("\\time.ini", timedItem("一", "0", "1", "0"));
  auto& w = start();
  w.click(kRunFromStart);
  runWindow()->click(kGiveUpLabel);
  env.ui.find("放弃窗口")->click(kKeepGoing);
  EXPECT_NE(runWindow(), nullptr);
  runWindow()->click(kGiveUpLabel);
  env.ui.find("放弃窗口")->click(kConfirmGiveUp);
  EXPECT_EQ(runWindow(), nullptr);
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(env.files.exists(env.files.path("\\win.ini")));
}

TEST_F(RunTest, ChangingTheTimeRestartsTheEndWithoutCarrying) {
  putFile("\\time.ini", timedItem("一", "0", "5", "0"));
  start().click(kRunFromStart);
  env.ui.advance(1500);
  runWindow()->rightClick(kMinutesValue);
  EXPECT_EQ(runWindow()->takePoppedMenu(), "更改时间");
  runWindow()->chooseMenu(kChangeRemaining);
  auto* dialog = env.ui.find("更改时间窗口");
  ASSERT_NE(dialog, nullptr);
  dialog->type(kNewHours, "0");
  dialog->type(kNewMinutes, "90");
  dialog->type(kNewSeconds, "0");
  dialog->click(kChangeOk);
  EXPECT_EQ(env.ui.find("更改时间窗口"), nullptr);
  env.ui.advance(500);  // the next countdown tick
  EXPECT_EQ(shownTime(), (std::vector<std::string>{"0", "89", "59"}));
  env.ui.advance(90ULL * 60 * 1000 - 501);
  EXPECT_NE(runWindow(), nullptr);
  env.ui.advance(1);
  EXPECT_EQ(runWindow(), nullptr);
}

TEST_F(RunTest, ChangingTheTimeToZeroEndsTheItemAtOnce) {
  putFile("\\time.ini", timedItem("一", "0", "5", "0"));
  start().click(kRunFromStart);
  runWindow()->rightClick(0);
  runWindow()->chooseMenu(kChangeRemaining);
  env.ui.find("更改时间窗口")->click(kChangeOk);
  env.ui.advance(1);
  EXPECT_EQ(runWindow(), nullptr);
  EXPECT_NE(completeWindow(), nullptr);
}

TEST_F(RunTest, TheTrayShowsTheRemainingTime) {
  putFile("\\time.ini", timedItem("读书", "0", "1", "0"));
  start().click(kRunFromStart);
  auto* r = runWindow();
  r->click(kToTrayLabel);
  EXPECT_FALSE(r->isVisible());
  EXPECT_EQ(r->trayTooltip(), "任务\r\n读书\r\n剩余:0时1分0秒");
  env.ui.advance(2000);
  EXPECT_EQ(r->trayTooltip(), "任务\r\n读书\r\n剩余:0时0分58秒");
  r->trayRightClick();
  EXPECT_EQ(r->takePoppedMenu(), "右键菜单");
  r->trayDoubleClick();
  EXPECT_TRUE(r->isVisible());
  EXPECT_FALSE(r->hasTrayIcon());
}

TEST_F(RunTest, ComingForwardBringsTheRunWindowOutOfTheTray) {
  putFile("\\time.ini", timedItem("读书", "0", "1", "0"));
  auto& w = start();
  main->comeForward();
  EXPECT_EQ(env.ui.activeWindow(), &w);
  w.click(kRunFromStart);
  auto* r = runWindow();
  r->click(kToTrayLabel);
  main->comeForward();
  EXPECT_TRUE(r->isVisible());
  EXPECT_FALSE(r->hasTrayIcon());
  EXPECT_EQ(env.ui.activeWindow(), r);
  EXPECT_FALSE(w.isVisible()) << "the plan stays hidden while it runs";
  env.ui.advance(2000);
  EXPECT_FALSE(r->hasTrayIcon()) << "out of the tray for good";
  main->comeForward();
  EXPECT_TRUE(r->isVisible());
  EXPECT_EQ(env.ui.activeWindow(), r);
}

TEST_F(RunTest, TheRunsWindowsCannotBeLost) {
  putFile("\\time.ini", timedItem("读书", "0", "1", "0"));
  start().click(kRunFromStart);
  auto* r = runWindow();
  // Minimising goes to the tray: a window owned by the hidden main window
  // would have no task-bar button to come back by.
  EXPECT_FALSE(r->minimize());
  EXPECT_FALSE(r->isMinimized());
  EXPECT_FALSE(r->isVisible());
  EXPECT_TRUE(r->hasTrayIcon());
  // Asked twice, a dialog opens once and the second ask brings it forward.
  auto openCount = [&](std::string_view design) {
    int n = 0;
    for (auto* w : env.ui.windows())
      if (w->design().designName == design && w->isOpen()) ++n;
    return n;
  };
  r->chooseMenu(kGiveUpMenu);
  r->chooseMenu(kGiveUpMenu);
  EXPECT_EQ(openCount("放弃窗口"), 1);
  r->chooseMenu(kChangeRemaining);
  r->chooseMenu(kChangeRemaining);
  EXPECT_EQ(openCount("更改时间窗口"), 1);
  env.ui.find("放弃窗口")->click(kKeepGoing);
  EXPECT_EQ(openCount("放弃窗口"), 0);
  r->chooseMenu(kGiveUpMenu);
  EXPECT_EQ(openCount("放弃窗口"), 1) << "and opens again once closed";
}

TEST_F(RunTest, ClosingTheRunWindowAsksAndThenShowsThePlan) {
  putFile("\\time.ini", timedItem("一", "0", "1", "0"));
  auto& w = start();
  w.click(kRunFromStart);
  env.prompts.answer(MessageAnswer::No);
  runWindow()->requestClose();
  ASSERT_NE(runWindow(), nullptr);
  EXPECT_EQ(env.prompts.shown().back().text, "你确定不坚持下去了吗？");
  EXPECT_EQ(env.prompts.shown().back().title, "确定退出");
  runWindow()->requestClose();
  EXPECT_EQ(runWindow(), nullptr);
  EXPECT_TRUE(w.isVisible());
  env.ui.advance(120'000);
  EXPECT_FALSE(env.files.exists(env.files.path("\\win.ini")));
}

TEST_F(RunTest, ForbiddenProcessesEndWhileTheItemRuns) {
  putFile("\\time.ini",
          join({timedItem("一", "0", "0", "5", {"禁止进程=真", "禁止名=game.exe,"}),
                timedItem("二", "0", "0", "5", {"禁止进程=真", "禁止名=qq.exe,game.exe"})}));
  start().click(kRunFromStart);
  env.ui.advance(1000);
  env.processes.start("game.exe");
  env.ui.advance(125);
  EXPECT_FALSE(env.processes.running("game.exe"));
  env.ui.advance(4000);  // between items nothing is forbidden
  env.processes.start("game.exe");
  env.ui.advance(5000);
  EXPECT_TRUE(env.processes.running("game.exe"));
  finishedDialog()->click(kYesButton);  // no trailing comma after game.exe: not forbidden
  env.ui.advance(1000);
  EXPECT_TRUE(env.processes.running("game.exe"));
}

TEST_F(RunTest, OneSnapshotATickEndsEveryForbiddenName) {
  putFile("\\time.ini", timedItem("一", "0", "0", "10",
                                  {"禁止进程=真", "禁止名=a.exe,B,c.exe,a.exe,temvik.exe,d.exe,"}));
  start().click(kRunFromStart);
  env.ui.advance(500);
  for (const char* name : {"a.exe", "b.exe", "c.exe", "d.exe", "a.exe"}) env.processes.start(name);
  const int before = env.processes.snapshots();
  env.ui.advance(125);
  EXPECT_EQ(env.processes.snapshots() - before, 1);
  for (const char* name : {"a.exe", "b.exe", "c.exe", "d.exe"})
    EXPECT_FALSE(env.processes.running(name)) << name;
  EXPECT_TRUE(env.processes.running("temvik.exe"));  // listed, but never itself
}

// Two prompt points: 60 s, play 3 s; then 30 s later, play 0 (to the end).
class PromptPointRunTest : public RunTest {
 protected:
  void runWith(std::initializer_list<std::string> points, const std::string& seconds = "600") {
    putFile("\\time.ini", timedItem("一", "0", "0", seconds, points));
    start().click(kRunFromStart);
  }
  std::vector<std::string> playing() { return env.sound.playing(); }
};

TEST_F(PromptPointRunTest, EachDelayCountsFromThePointBeforeAndEachSoundIsCut) {
  runWith({"断点1名=一", "断点1时间=60003", "断点1音=C:\\a.wav", "断点2名=二", "断点2时间=30000",
           "断点2音=C:\\b.wav"});
  env.ui.advance(59999);
  EXPECT_TRUE(playing().empty());
  env.ui.advance(1);
  EXPECT_THAT(playing(), ElementsAre("C:\\a.wav"));
  env.ui.advance(2999);
  EXPECT_THAT(playing(), ElementsAre("C:\\a.wav"));
  env.ui.advance(1);  // its 3 s are over
  EXPECT_TRUE(playing().empty());
  env.ui.advance(26999);
  EXPECT_TRUE(playing().empty());
  env.ui.advance(1);  // 90 s after the start
  EXPECT_THAT(playing(), ElementsAre("C:\\b.wav"));
  env.ui.advance(100000);  // play time 0: to the end of the sound, only once
  EXPECT_THAT(playing(), ElementsAre("C:\\b.wav"));
  EXPECT_EQ(std::count(env.journal.begin(), env.journal.end(), "play:C:\\b.wav"), 1);
}

TEST_F(PromptPointRunTest, TheNextPointCutsASoundStillPlaying) {
  runWith({"断点1名=一", "断点1时间=10020", "断点1音=C:\\a.wav", "断点2名=二", "断点2时间=5000",
           "断点2音=C:\\b.wav"});
  env.ui.advance(10000);
  EXPECT_THAT(playing(), ElementsAre("C:\\a.wav"));
  env.ui.advance(5000);
  EXPECT_THAT(playing(), ElementsAre("C:\\b.wav"));
  env.ui.advance(15000);  // the first point's stop time is not carried over
  EXPECT_THAT(playing(), ElementsAre("C:\\b.wav"));
}

TEST_F(PromptPointRunTest, AZeroDelayEndsTheChain) {
  runWith({"断点1名=一", "断点1时间=5001", "断点1音=C:\\a.wav", "断点2名=二", "断点2时间=3",
           "断点2音=C:\\b.wav", "断点3名=三", "断点3时间=5001", "断点3音=C:\\c.wav"});
  env.ui.advance(300000);
  EXPECT_EQ(std::count(env.journal.begin(), env.journal.end(), "play:C:\\a.wav"), 1);
  for (const char* never : {"play:C:\\b.wav", "play:C:\\c.wav"})
    EXPECT_EQ(std::count(env.journal.begin(), env.journal.end(), never), 0) << never;
}

TEST_F(PromptPointRunTest, FivePointsSoundInTurnAndTheItemEndStopsTheLast) {
  std::vector<std::string> keys;
  for (int n = 1; n <= 5; ++n) {
    const std::string k = "断点" + std::to_string(n);
    keys.push_back(k + "名=p" + std::to_string(n));
    keys.push_back(k + "时间=2000");
    keys.push_back(k + "音=C:\\" + std::to_string(n) + ".wav");
  }
  putFile("\\time.ini", join({timedItem("一", "0", "0", "11", {}), keys}));
  start().click(kRunFromStart);
  for (int n = 1; n <= 5; ++n) {
    env.ui.advance(2000);
    EXPECT_THAT(playing(), ElementsAre("C:\\" + std::to_string(n) + ".wav")) << n;
  }
  env.ui.advance(1000);  // the item ends at 11 s with the fifth sound on
  EXPECT_TRUE(playing().empty());
  EXPECT_EQ(runWindow(), nullptr);
}

TEST_F(PromptPointRunTest, PointsBeyondTheItemNeverSound) {
  runWith({"断点1名=一", "断点1时间=20000", "断点1音=C:\\a.wav"}, "10");
  env.ui.advance(10000);
  ASSERT_NE(completeWindow(), nullptr);
  env.ui.advance(30000);
  EXPECT_EQ(std::count(env.journal.begin(), env.journal.end(), "play:C:\\a.wav"), 0);
}

TEST_F(PromptPointRunTest, GivingUpStopsTheSoundAndTheChain) {
  runWith({"断点1名=一", "断点1时间=5000", "断点1音=C:\\a.wav", "断点2名=二", "断点2时间=5000",
           "断点2音=C:\\b.wav"});
  env.ui.advance(5000);
  EXPECT_THAT(playing(), ElementsAre("C:\\a.wav"));
  runWindow()->click(kGiveUpLabel);
  env.ui.find("放弃窗口")->click(kConfirmGiveUp);
  EXPECT_TRUE(playing().empty());
  env.ui.advance(10000);
  EXPECT_EQ(std::count(env.journal.begin(), env.journal.end(), "play:C:\\b.wav"), 0);
}

TEST_F(RunTest, ThePlanCompleteWindowCanEndTheProgram) {
  putFile("\\time.ini", timedItem("一", "0", "0", "1"));
  auto& w = start();
  w.click(kRunFromStart);
  env.ui.advance(1000);
  ASSERT_NE(completeWindow(), nullptr);
  auto* note = env.ui.find("内容窗口");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->text(kNoteContent), "一");
  completeWindow()->move({400, 300});
  EXPECT_EQ(note->bounds().x, 410);
  EXPECT_EQ(note->bounds().y, 208);
  completeWindow()->click(kExitProgramLabel);
  EXPECT_FALSE(w.isOpen());
  EXPECT_TRUE(env.ui.quitRequested());
}

// ------------------------------------------------------------ from the keyboard

TEST_F(RunTest, TheItemFinishedDialogGoesOnWithEnterAndAsksToGiveUpWithEsc) {
  putFile("\\time.ini", join({timedItem("一", "0", "0", "1"), timedItem("二", "0", "0", "5")}));
  start().click(kRunFromStart);
  env.ui.advance(1000);
  HeadlessWindow* finished = finishedDialog();
  ASSERT_NE(finished, nullptr);
  EXPECT_EQ(finished->focusedControl(), kYesButton);
  HeadlessWindow* note = env.ui.find("内容窗口");
  ASSERT_NE(note, nullptr);
  note->pressKey(vk::kEscape);
  note->pressKey(vk::kReturn);
  EXPECT_TRUE(note->isOpen()) << "the content note takes neither key";

  // Esc only asks; the give-up dialog keeps the run on Enter and on Esc.
  for (int key : {vk::kReturn, vk::kEscape}) {
    finished->pressKey(vk::kEscape);
    HeadlessWindow* giveUp = env.ui.find("放弃窗口");
    ASSERT_NE(giveUp, nullptr);
    EXPECT_EQ(giveUp->focusedControl(), kKeepGoing);
    EXPECT_FALSE(finished->pressKey(vk::kReturn)) << "blocked by the give-up dialog";
    giveUp->pressKey(key);
    EXPECT_EQ(env.ui.find("放弃窗口"), nullptr) << key;
    ASSERT_EQ(finishedDialog(), finished) << key;
  }

  finished->pressKey(vk::kReturn);
  EXPECT_EQ(finishedDialog(), nullptr);
  ASSERT_NE(runWindow(), nullptr);
  EXPECT_EQ(runWindow()->text(kContentBox), "二");
}

TEST_F(RunTest, GivingUpByKeyboardTakesTheFocusOnIt) {
  putFile("\\time.ini", timedItem("一", "0", "1", "0"));
  auto& w = start();
  w.click(kRunFromStart);
  runWindow()->click(kGiveUpLabel);
  HeadlessWindow* giveUp = env.ui.find("放弃窗口");
  ASSERT_NE(giveUp, nullptr);
  giveUp->pressKey(vk::kTab);
  EXPECT_EQ(giveUp->focusedControl(), kConfirmGiveUp);
  giveUp->pressKey(vk::kReturn);
  EXPECT_EQ(runWindow(), nullptr);
  EXPECT_TRUE(w.isVisible());
}

TEST_F(RunTest, TheChangeTimeDialogTakesTheTimeOnEnterAndDropsItOnEsc) {
  putFile("\\time.ini", timedItem("一", "0", "5", "0"));
  start().click(kRunFromStart);
  env.ui.advance(1500);
  runWindow()->chooseMenu(kChangeRemaining);
  HeadlessWindow* dialog = env.ui.find("更改时间窗口");
  ASSERT_NE(dialog, nullptr);
  // Typed field by field, Tab between them.
  for (const char* value : {"0", "90", "0"}) {
    dialog->type(dialog->focusedControl(), value);
    dialog->pressKey(vk::kTab);
  }
  EXPECT_EQ(dialog->text(kNewMinutes), "90");
  EXPECT_EQ(dialog->focusedControl(), kChangeOk);
  dialog->focus(kNewSeconds);
  dialog->pressKey(vk::kReturn);
  EXPECT_EQ(env.ui.find("更改时间窗口"), nullptr);
  env.ui.advance(500);
  EXPECT_EQ(shownTime(), (std::vector<std::string>{"0", "89", "59"}));

  runWindow()->chooseMenu(kChangeRemaining);
  dialog = env.ui.find("更改时间窗口");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->focusedControl(), kNewHours);
  dialog->type(kNewHours, "3");
  dialog->pressKey(vk::kEscape);
  EXPECT_EQ(env.ui.find("更改时间窗口"), nullptr);
  env.ui.advance(1000);
  EXPECT_EQ(shownTime(), (std::vector<std::string>{"0", "89", "58"}));
}

TEST_F(RunTest, TheRunWindowLeavesEnterAndEscAlone) {
  putFile("\\time.ini", timedItem("一", "0", "5", "0"));
  start().click(kRunFromStart);
  HeadlessWindow* run = runWindow();
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->focusedControl(), 0);
  run->pressKey(vk::kReturn);
  run->pressKey(vk::kEscape);
  EXPECT_TRUE(run->isVisible());
  EXPECT_FALSE(run->hasTrayIcon());
  EXPECT_EQ(env.ui.find("放弃窗口"), nullptr);
  EXPECT_TRUE(env.prompts.shown().empty());

  // Its label buttons are reached with Tab and pressed with Space or Enter.
  run->pressKey(vk::kTab, true);
  EXPECT_EQ(run->focusedControl(), kToTrayLabel);
  run->pressKey(vk::kSpace);
  EXPECT_TRUE(run->hasTrayIcon());
  run->trayDoubleClick();
  run->pressKey(vk::kTab, true);
  EXPECT_EQ(run->focusedControl(), kGiveUpLabel);
  run->pressKey(vk::kReturn);
  EXPECT_NE(env.ui.find("放弃窗口"), nullptr);
}

TEST_F(RunTest, ThePlanCompleteWindowGoesBackToThePlanOnEnterOrEsc) {
  putFile("\\time.ini", timedItem("一", "0", "0", "1"));
  auto& w = start();
  for (int key : {vk::kReturn, vk::kEscape}) {
    w.click(kRunFromStart);
    env.ui.advance(1000);
    ASSERT_NE(completeWindow(), nullptr) << key;
    EXPECT_EQ(completeWindow()->focusedControl(), kBackToMain);
    completeWindow()->pressKey(key);
    EXPECT_EQ(completeWindow(), nullptr) << key;
    EXPECT_TRUE(w.isVisible()) << key;
    EXPECT_FALSE(env.ui.quitRequested()) << key;
    w.click(kClearMarks);
  }
}

}  // namespace
}  // namespace temvik::testing
