#include "platform/headless/headless.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <vector>

namespace temvik::headless {
namespace {

enum : ControlId { kButton = 1, kCheck, kList, kEdit, kCalendar, kSurface };

const WindowDesign& testDesign() {
  static const WindowDesign design{
      .designName = "测试窗口",
      .title = "测试",
      .rect = {0, 0, 200, 200},
      .controls =
          {{kButton, "按钮1", "button", ControlKind::Button, {0, 0, 10, 10}, "按", ""},
           {kCheck, "选择框1", "check", ControlKind::CheckBox, {0, 10, 10, 10}, "", ""},
           {kList, "列表框1", "list", ControlKind::ListBox, {0, 20, 10, 10}, "", ""},
           {kEdit, "编辑框1", "edit", ControlKind::Edit, {0, 30, 10, 10}, "", ""},
           {kCalendar, "月历1", "startDate", ControlKind::MonthCalendar, {0, 40, 180, 150}, "", ""},
           {kSurface, "画板1", "canvas", ControlKind::Surface, {0, 0, 80, 60}, "", ""}},
  };
  return design;
}

struct Recorder : WindowEvents {
  std::vector<std::string> log;
  std::uint64_t* clockMs = nullptr;
  void onTimer(TimerId id) override {
    log.push_back("timer" + std::to_string(id) + "@" + std::to_string(clockMs ? *clockMs : 0));
  }
  void onClick(ControlId id) override { log.push_back("click" + std::to_string(id)); }
  void onMouseDown(ControlId, MouseButton) override { log.push_back("down"); }
  void onRowSelected(ControlId) override { log.push_back("selected"); }
  void onMouseUp(ControlId, MouseButton) override { log.push_back("up"); }
  void onTextTyped(ControlId) override { log.push_back("typed"); }
  void onChanged(ControlId id) override { log.push_back("changed" + std::to_string(id)); }
  void onMouseDownAt(ControlId id, MouseButton b, Point at) override {
    log.push_back("down" + std::to_string(id) + (b == MouseButton::Left ? "L@" : "R@") +
                  std::to_string(at.x) + "," + std::to_string(at.y));
  }
};

struct HeadlessTest : ::testing::Test {
  Headless env;
  Recorder events;
  std::unique_ptr<Window> window = env.ui.createWindow(testDesign(), events, nullptr);
  HeadlessWindow& w = static_cast<HeadlessWindow&>(*window);
  void SetUp() override { w.show(); }
};

TEST(VirtualClockTest, CalendarFollowsVirtualTime) {
  Headless env;
  env.clock.setNow({2024, 2, 28, 23, 59, 59});
  env.ui.advance(1000);
  EXPECT_EQ(env.clock.now(), (DateTime{2024, 2, 29, 0, 0, 0}));
  env.ui.advance(86'400'000);
  EXPECT_EQ(env.clock.now(), (DateTime{2024, 3, 1, 0, 0, 0}));
  env.clock.setNow({2026, 12, 31, 23, 59, 59});
  env.ui.advance(999);
  EXPECT_EQ(env.clock.now().second, 59) << "whole seconds only";
  env.ui.advance(1);
  EXPECT_EQ(env.clock.now(), (DateTime{2027, 1, 1, 0, 0, 0}));
}

TEST_F(HeadlessTest, TimersFireInDueOrderAndRepeat) {
  w.setTimer(1, 300);
  w.setTimer(2, 200);
  env.ui.advance(650);
  std::vector<std::string> fired;
  for (auto& l : events.log) fired.push_back(l.substr(0, 6));
  EXPECT_EQ(fired, (std::vector<std::string>{"timer2", "timer1", "timer2", "timer1", "timer2"}));
  EXPECT_EQ(env.clock.monotonicMs(), 650u);
}

TEST_F(HeadlessTest, SettingAnIntervalRestartsAndZeroStops) {
  w.setTimer(1, 1000);
  env.ui.advance(900);
  w.setTimer(1, 1000);
  env.ui.advance(900);
  EXPECT_TRUE(events.log.empty());
  env.ui.advance(100);
  EXPECT_EQ(events.log.size(), 1u);
  w.setTimer(1, 0);
  env.ui.advance(5000);
  EXPECT_EQ(events.log.size(), 1u);
  EXPECT_EQ(w.timerInterval(1), 0u);
}

TEST_F(HeadlessTest, IntervalsBeyondTwentyFiveDaysWork) {
  const std::uint64_t hours700 = 700ULL * 3600 * 1000;
  w.setTimer(1, hours700);
  env.ui.advance(hours700 - 1);
  EXPECT_TRUE(events.log.empty());
  env.ui.advance(1);
  EXPECT_EQ(events.log.size(), 1u);
}

TEST_F(HeadlessTest, DisabledControlsIgnoreTheUser) {
  w.setEnabled(kButton, false);
  EXPECT_FALSE(w.click(kButton));
  w.setEnabled(kButton, true);
  EXPECT_TRUE(w.click(kButton));
  EXPECT_TRUE(w.click(kCheck));
  EXPECT_TRUE(w.isChecked(kCheck));
  EXPECT_EQ(events.log, (std::vector<std::string>{"click1", "click2"}));
}

TEST_F(HeadlessTest, ClickingARowPressesBeforeTheSelectionMoves) {
  w.listAdd(kList, "甲", 7);
  w.listAdd(kList, "乙", -1);
  w.clickRow(kList, 1);
  EXPECT_EQ(events.log, (std::vector<std::string>{"down", "selected", "up"}));
  EXPECT_EQ(w.listSelection(kList), 1);
  EXPECT_EQ(w.listData(kList, 0), 7);
  w.listSelect(kList, 0);  // programmatic: no event
  EXPECT_EQ(events.log.size(), 3u);
  w.listRemove(kList, 0);
  EXPECT_EQ(w.listSelection(kList), -1);
}

TEST_F(HeadlessTest, ModalHandlerRunsAndOwnerIsBlockedMeanwhile) {
  Recorder dialogEvents;
  bool ownerBlocked = false;
  env.ui.onModal("测试窗口", [&](HeadlessWindow& dialog) {
    ownerBlocked = !w.click(kButton);
    dialog.close();
  });
  auto dialog = env.ui.createWindow(testDesign(), dialogEvents, &w);
  env.ui.runModal(*dialog);
  EXPECT_TRUE(ownerBlocked);
  EXPECT_FALSE(dialog->isOpen());
  EXPECT_EQ(env.ui.activeWindow(), &w);
}

// ------------------------------------------------------------ posting to the UI thread

TEST_F(HeadlessTest, PostsRunInOrderLaterAndWhatTheyPostAfterTheRest) {
  env.ui.post([&] {
    events.log.push_back("a");
    env.ui.post([&] { events.log.push_back("a2"); });
  });
  env.ui.post([&] { events.log.push_back("b"); });
  EXPECT_TRUE(events.log.empty()) << "never inside post";
  EXPECT_EQ(env.ui.drainPosts(), 3u);
  EXPECT_EQ(events.log, (std::vector<std::string>{"a", "b", "a2"}));
  EXPECT_EQ(env.ui.drainPosts(), 0u);
}

TEST_F(HeadlessTest, PostsFromAnotherThreadAreRunByAdvanceOnTheTestThread) {
  std::vector<int> results;
  bool elsewhere = false;
  const auto testThread = std::this_thread::get_id();
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i)
      env.ui.post([&, i] {
        elsewhere = elsewhere || std::this_thread::get_id() != testThread;
        results.push_back(i);
      });
  });
  worker.join();
  EXPECT_TRUE(results.empty());
  env.ui.advance(0);
  ASSERT_EQ(results.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(results[static_cast<std::size_t>(i)], i);
  EXPECT_FALSE(elsewhere);
}

TEST_F(HeadlessTest, WhatATimerPostsRunsBeforeTheNextTimer) {
  struct : Recorder {
    HeadlessUi* ui = nullptr;
    void onTimer(TimerId id) override {
      log.push_back("timer" + std::to_string(id));
      if (id == 1) ui->post([this] { log.push_back("posted"); });
    }
  } timed;
  timed.ui = &env.ui;
  auto other = env.ui.createWindow(testDesign(), timed, nullptr);
  other->setTimer(1, 100);
  other->setTimer(2, 150);
  env.ui.advance(150);
  EXPECT_EQ(timed.log, (std::vector<std::string>{"timer1", "posted", "timer2"}));
}

TEST(HeadlessPostTest, QuitAndTheEndOfTheUiDropPosts) {
  auto env = std::make_unique<Headless>();
  bool ran = false;
  env->ui.post([&] { ran = true; });
  env->ui.quit();
  EXPECT_FALSE(env->ui.post([&] { ran = true; }));
  EXPECT_EQ(env->ui.drainPosts(), 0u);
  EXPECT_FALSE(ran);

  auto second = std::make_unique<Headless>();
  const Poster poster = second->ui.poster();  // a worker keeps it
  EXPECT_TRUE(poster.post([&] { ran = true; }));
  second.reset();
  EXPECT_FALSE(poster.post([&] { ran = true; }));
  EXPECT_FALSE(ran);
}

// ------------------------------------------------------------ month calendar and surface

TEST(HeadlessCalendarTest, CalendarStartsOnTheClocksDate) {
  Headless env;
  env.clock.setNow({2026, 3, 9, 17, 45, 3});
  Recorder events;
  auto window = env.ui.createWindow(testDesign(), events, nullptr);
  EXPECT_EQ(window->calendarDate(kCalendar), (DateTime{2026, 3, 9, 0, 0, 0}));
}

TEST_F(HeadlessTest, CalendarDateSetByTheCodeRaisesNothingAndDropsTheTime) {
  w.calendarSetDate(kCalendar, {2027, 2, 28, 13, 5, 9});
  EXPECT_EQ(w.calendarDate(kCalendar), (DateTime{2027, 2, 28, 0, 0, 0}));
  w.calendarSetDate(kCalendar, {2027, 2, 29, 0, 0, 0});  // no such day
  w.calendarSetDate(kCalendar, {2027, 13, 1, 0, 0, 0});
  EXPECT_EQ(w.calendarDate(kCalendar), (DateTime{2027, 2, 28, 0, 0, 0}));
  w.calendarSetDate(kCalendar, {2028, 2, 29, 0, 0, 0});  // a leap day
  EXPECT_EQ(w.calendarDate(kCalendar), (DateTime{2028, 2, 29, 0, 0, 0}));
  EXPECT_TRUE(events.log.empty());
}

TEST_F(HeadlessTest, PickingAnotherDateRaisesOnChangedOnce) {
  w.calendarSetDate(kCalendar, {2026, 5, 1});
  EXPECT_TRUE(w.pickDate(kCalendar, {2026, 5, 20}));
  EXPECT_TRUE(w.pickDate(kCalendar, {2026, 5, 20, 9, 0, 0}));  // the same day again
  EXPECT_EQ(events.log, (std::vector<std::string>{"changed5"}));
  EXPECT_EQ(w.calendarDate(kCalendar), (DateTime{2026, 5, 20}));

  EXPECT_FALSE(w.pickDate(kCalendar, {2026, 4, 31}));
  w.setEnabled(kCalendar, false);
  EXPECT_FALSE(w.pickDate(kCalendar, {2026, 5, 21}));
  EXPECT_EQ(w.calendarDate(kCalendar), (DateTime{2026, 5, 20}));
  EXPECT_EQ(events.log.size(), 1u);
  EXPECT_THROW(w.pickDate(kList, {2026, 5, 21}), std::invalid_argument);
}

TEST_F(HeadlessTest, SurfaceKeepsItsPictureAndReportsPressesWithTheirPoint) {
  EXPECT_TRUE(w.surfacePicture(kSurface).empty());
  Picture picture(3, 2, rgb(255, 255, 255));
  picture.set(2, 1, rgb(0, 128, 0));
  w.surfaceSetPicture(kSurface, picture, PictureFit::Stretch);
  EXPECT_EQ(w.surfacePicture(kSurface), picture);
  EXPECT_EQ(w.surfaceFit(kSurface), PictureFit::Stretch);
  EXPECT_EQ(w.surfacePicture(kSurface).at(2, 1), 0xFF008000u);

  EXPECT_TRUE(w.pressSurface(kSurface, {79, 0}));
  EXPECT_TRUE(w.pressSurface(kSurface, {5, 59}, MouseButton::Right));
  EXPECT_FALSE(w.pressSurface(kSurface, {80, 10}));  // just beside it
  EXPECT_FALSE(w.pressSurface(kSurface, {-1, 10}));
  w.setEnabled(kSurface, false);  // a canvas disabled after its one pick
  EXPECT_FALSE(w.pressSurface(kSurface, {10, 10}));
  EXPECT_EQ(events.log, (std::vector<std::string>{"down6L@79,0", "down6R@5,59"}));

  w.surfaceSetPicture(kSurface, {}, PictureFit::Actual);
  EXPECT_TRUE(w.surfacePicture(kSurface).empty());
  EXPECT_THROW(w.surfaceSetPicture(kButton, picture, PictureFit::Actual), std::invalid_argument);
}

TEST(MemoryFilesTest, InjectedFailureStopsEveryLaterChange) {
  MemoryFiles files;
  files.put("a", "1");
  files.failFrom(1);
  EXPECT_TRUE(files.writeAtomic("b", "2"));
  EXPECT_FALSE(files.replace("b", "a"));
  EXPECT_FALSE(files.remove("a"));
  EXPECT_EQ(files.read("a"), "1");
  EXPECT_EQ(files.read("b"), "2");
  files.failFrom(-1);
  EXPECT_TRUE(files.replace("b", "a"));
  EXPECT_EQ(files.read("a"), "2");
  EXPECT_FALSE(files.exists("b"));
}

TEST(ScriptedPromptsTest, AnswersInOrderThenTheFirstButton) {
  ScriptedPrompts prompts;
  prompts.answer(MessageAnswer::No);
  EXPECT_EQ(prompts.message(nullptr, "问", "", MessageIcon::Question, MessageButtons::YesNo),
            MessageAnswer::No);
  EXPECT_EQ(prompts.message(nullptr, "问", "", MessageIcon::Question, MessageButtons::YesNo),
            MessageAnswer::Yes);
  EXPECT_EQ(prompts.message(nullptr, "说", "题", MessageIcon::Information, MessageButtons::Ok),
            MessageAnswer::Ok);
  ASSERT_EQ(prompts.shown().size(), 3u);
  EXPECT_EQ(prompts.shown()[2].title, "题");
  EXPECT_EQ(prompts.takeTexts(), (std::vector<std::string>{"问", "问", "说"}));
}

}  // namespace
}  // namespace temvik::headless
