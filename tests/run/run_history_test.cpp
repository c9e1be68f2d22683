// Every item a run starts leaves one history record, however it ends.

#include "run/run_history.h"

#include <gtest/gtest.h>
#include <random>

#include "run/change_time_dialog.h"
#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/power_notice.h"
#include "run/run_window.h"
#include "store/history.h"
#include "ui/main/main_window_fixture.h"

namespace temvik {
void PrintTo(const HistoryRecord& r, std::ostream* os) { *os << historyLine(r); }
}  // namespace temvik

namespace temvik::testing {
namespace {

using headless::HeadlessWindow;

class RunHistoryTest : public MainWindowTest {
 protected:
  static std::vector<std::string> quickItem(const std::string& content, int seconds,
                                            std::initializer_list<std::string> more = {}) {
    std::vector<std::string> lines{
        "[" + content + "]", "内容=" + content, "时=0", "分=0", "秒=" + std::to_string(seconds),
        "提示音=假"};
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
  }
  HeadlessWindow* window(const char* name) { return env.ui.find(name); }
  std::string historyFile() { return env.files.path(kHistoryFile); }
  std::string markerFile() { return env.files.path(kHistoryMarkerFile); }
  HistoryRead history() { return readHistory(env.files.read(historyFile()).value_or("")); }
  HistoryRecord expected(const DateTime& start, const std::string& content, std::int64_t planned,
                         std::int64_t ran, HistoryEnd how, std::string action = {},
                         HistorySource from = HistorySource::Sequential) {
    return {start, addSeconds(start, ran), content, planned, ran, how, std::move(action), from};
  }
};

TEST_F(RunHistoryTest, EveryStartedItemLeavesOneRecordHoweverItEnds) {
  struct Item {
    const char* content;
    int seconds;
    const char* action;
  };
  const Item items[] = {{"背单词，第一课", 3, ""}, {"读书", 5, "运行程序"}, {"练字", 4, ""}};
  putFile("\\time.ini", join({quickItem(items[0].content, 3),
                              quickItem(items[1].content, 5, {"是否执行=真", "执行名=C:\\a.exe,"}),
                              quickItem(items[2].content, 4)}));
  std::mt19937 rng(1209);
  std::vector<HistoryRecord> records;
  for (int round = 0; round < 30; ++round) {
    // Each round from the start of the plan, its marks gone.
    main.reset();
    env.files.remove(env.files.path("\\win.ini"));
    auto& w = start();
    DateTime started = env.clock.now();
    w.click(main_ids::kRunFromStart);
    for (const Item& item : items) {
      ASSERT_NE(window("执行窗口"), nullptr) << round;
      const int way = static_cast<int>(rng() % 5);
      const int ran = static_cast<int>(rng() % static_cast<unsigned>(item.seconds));
      // The system time may jump meanwhile; the time run is what ran.
      if (rng() % 3 == 0)
        env.clock.setNow(addSeconds(env.clock.now(), (rng() % 2 ? 1 : -1) * 5000));
      bool goesOn = false;
      if (way == 0) {  // finished
        env.ui.advance(item.seconds * 1000ULL);
        records.push_back(expected(started, item.content, item.seconds, item.seconds,
                                   HistoryEnd::Finished, item.action));
        goesOn = true;
      } else if (way == 1) {  // its remaining time changed, then finished
        env.ui.advance(1000);
        window("执行窗口")->chooseMenu(run_ids::kChangeRemaining);
        auto* d = window("更改时间窗口");
        d->type(run_ids::kNewHours, "0");
        d->type(run_ids::kNewMinutes, "0");
        d->type(run_ids::kNewSeconds, "7");
        d->click(run_ids::kChangeOk);
        env.ui.advance(7000);
        records.push_back(expected(started, item.content, item.seconds, 8,
                                   HistoryEnd::ChangedThenFinished, item.action));
        goesOn = true;
      } else {
        env.ui.advance(ran * 1000ULL);
        if (way == 2) {
          window("执行窗口")->click(run_ids::kGiveUpLabel);
          window("放弃窗口")->click(run_ids::kConfirmGiveUp);
        } else if (way == 3) {
          window("执行窗口")->requestClose();  // answered 是
        } else if (rng() % 2) {
          main.reset();
        } else {
          env.ui.sessionEnding();  // recorded then, though the program lives on here
        }
        records.push_back(expected(started, item.content, item.seconds, ran,
                                   way == 4 ? HistoryEnd::ProgramEnded : HistoryEnd::GivenUp));
      }
      ASSERT_EQ(history().records, records) << round;
      EXPECT_EQ(env.files.exists(markerFile()), false);
      if (!goesOn) break;
      started = env.clock.now();
      if (auto* next = window("完成提示窗口")) {
        next->click(run_ids::kYesButton);
      } else {
        window("计划完成窗口")->click(run_ids::kBackToMain);
        break;
      }
    }
  }
  EXPECT_EQ(history().skipped, 0);
  EXPECT_TRUE(env.files.read(historyFile())->starts_with(historyFileStart()));
}

TEST_F(RunHistoryTest, AMarkerACrashLeftBecomesItsRecordAtTheNextStart) {
  putFile("\\time.ini", {"[长]", "内容=长", "时=1", "分=0", "秒=0"});
  const DateTime started = env.clock.now();
  start().click(main_ids::kRunFromStart);
  env.ui.advance(150'000);
  // Rewritten once a minute: it holds the time run up to the last minute.
  const auto marker = env.files.read(markerFile());
  ASSERT_TRUE(marker);
  const HistoryRecord atCrash = expected(started, "长", 3600, 120, HistoryEnd::ProgramEnded);
  EXPECT_EQ(readHistory(*marker).records, std::vector<HistoryRecord>{atCrash});
  // The process dies: nothing but the marker is left.
  main.reset();
  env.files.remove(historyFile());
  env.files.put(markerFile(), *marker);
  start();
  EXPECT_EQ(history().records, std::vector<HistoryRecord>{atCrash});
  EXPECT_FALSE(env.files.exists(markerFile()));
  main.reset();
  start();
  EXPECT_EQ(history().records.size(), 1u) << "recovered once";
}

TEST_F(RunHistoryTest, AFailingWriteIsToldOnceARunAndTheRunGoesOn) {
  putFile("\\time.ini", join({quickItem("一", 1), quickItem("二", 1)}));
  env.files.unwritable.insert(historyFile());
  auto& w = start();
  auto failures = [&] {
    int n = 0;
    for (const auto& s : env.prompts.shown()) {
      if (s.text.starts_with("无法写入执行记录。")) {
        EXPECT_EQ(s.text, "无法写入执行记录。\n\n系统提示：拒绝访问（错误代码 5）");
        ++n;
      }
    }
    return n;
  };
  for (int run = 1; run <= 2; ++run) {
    w.click(main_ids::kRunFromStart);
    env.ui.advance(1000);
    window("完成提示窗口")->click(run_ids::kYesButton);
    env.ui.advance(1000);
    ASSERT_NE(window("计划完成窗口"), nullptr);
    window("计划完成窗口")->click(run_ids::kBackToMain);
    EXPECT_EQ(failures(), run);
  }
  EXPECT_FALSE(env.files.exists(markerFile()));
}

TEST_F(RunHistoryTest, ATimedItemCutsTheRunningOneAndThePowerNoticeSettlesTheAction) {
  putFile("\\time.ini", {"[顺序]", "内容=顺序", "时=0", "分=30", "秒=0"});
  putFile("\\out.ini", {"[同步]", "同步时间=2026-01-01 08:00:03", "内容=同步", "时=0", "分=0",
                        "秒=5", "提示音=假", "关机=真"});
  const DateTime started = env.clock.now();
  start().click(main_ids::kRunFromStart);
  env.ui.advance(3200);
  std::vector<HistoryRecord> records{expected(started, "顺序", 1800, 3, HistoryEnd::CutByTimed)};
  EXPECT_EQ(history().records, records);
  const DateTime timedStart = env.clock.now();
  env.ui.advance(5000);
  // The notice before the power goes is open: the record waits for it.
  EXPECT_EQ(history().records, records);
  ASSERT_NE(window("关机提示窗口"), nullptr);
  for (auto& j : env.journal) std::cerr << j << "\n";
  window("关机提示窗口")->click(power_notice_ids::kCarryOutNow);
  records.push_back(
      expected(timedStart, "同步", 5, 5, HistoryEnd::Finished, "关机", HistorySource::Timed));
  EXPECT_EQ(history().records, records);
}

}  // namespace
}  // namespace temvik::testing
