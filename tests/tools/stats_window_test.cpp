// The statistics window "统计", opened from the tools menu: the history is
// read off the UI thread, the choice of period redraws the chart and the
// totals, and the file can be exported and its folder opened.

#include "tools/stats_window.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <variant>

#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using main_ids::kStatistics;
using namespace stats_ids;

constexpr DateTime kToday{2027, 1, 2, 9, 30, 0};

std::vector<HistoryRecord> twoWeeks(std::mt19937& random) {
  static const char* kContents[] = {"读书", "写作业", "练琴", "跑步", "背单词", "复习"};
  std::vector<HistoryRecord> records;
  for (int i = 0; i < 60; ++i) {
    HistoryRecord r;
    r.end = addSeconds(kToday, -std::uniform_int_distribution(0, 40 * 86400)(random));
    r.runSeconds = std::uniform_int_distribution(60, 2 * 3600)(random);
    r.start = addSeconds(r.end, -r.runSeconds);
    r.plannedSeconds = r.runSeconds + 60 * (random() % 10);
    r.how = static_cast<HistoryEnd>(random() % 5);
    r.content = kContents[random() % std::size(kContents)];
    records.push_back(r);
  }
  return records;
}

std::string historyBytes(const std::vector<HistoryRecord>& records) {
  std::string bytes = historyFileStart();
  for (const auto& r : records) bytes += historyLine(r);
  return bytes;
}

int boxes(const Drawing& d) {
  int n = 0;
  for (const auto& s : d.shapes) n += std::holds_alternative<Drawing::Box>(s) ? 1 : 0;
  return n;
}

// The one text of a drawing that holds a sentence in place of the chart.
std::string sentence(const Drawing& d) {
  if (d.shapes.size() != 1 || !std::holds_alternative<Drawing::Text>(d.shapes[0])) return {};
  return std::get<Drawing::Text>(d.shapes[0]).text;
}

class StatsWindowTest : public MainWindowTest {
 protected:
  void SetUp() override { env.clock.setNow(kToday); }
  // Opens the window from the menu and waits for its read to come back.
  headless::HeadlessWindow& open() {
    auto& owner = start();
    EXPECT_TRUE(owner.chooseMenu(kStatistics));
    auto* w = env.ui.find("统计窗口");
    EXPECT_NE(w, nullptr);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (sentence(w->surfaceDrawing(kChart)) == "正在读取执行记录……" &&
           std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      env.ui.drainPosts();
    }
    return *w;
  }
  void putHistory(const std::string& bytes) { env.files.put(env.files.path(kHistoryFile), bytes); }
};

TEST_F(StatsWindowTest, OpensOnceAndEachPeriodShowsWhatTheHistoryHolds) {
  std::mt19937 random(7);
  const auto records = twoWeeks(random);
  putHistory(historyBytes(records));
  auto& w = open();
  EXPECT_EQ(w.title(), "统计");
  EXPECT_TRUE(w.isVisible());
  for (const int days : {7, 30, 7}) {
    SCOPED_TRACE(days);
    // Chosen with the keys, as a user moves through a closed drop-down.
    w.focus(kPeriod);
    EXPECT_TRUE(w.pressKey(days == 7 ? vk::kUp : vk::kDown));
    EXPECT_EQ(w.text(kPeriod), days == 7 ? "最近 7 天" : "最近 30 天");
    const HistoryStats expected = historyStats(records, kToday, days);
    // A bar or two a day with time, and the legend's two boxes.
    int parts = 2;
    for (const auto& d : expected.days)
      parts += (d.finishedSeconds > 0) + (d.unfinishedSeconds > 0);
    EXPECT_EQ(boxes(w.surfaceDrawing(kChart)), parts);
    EXPECT_EQ(w.surfaceDrawing(kChart), statsChart(expected, 512, 230));
    EXPECT_EQ(w.text(kTimes), "计划时长：" + statsDuration(expected.plannedSeconds) +
                                  "　　实际用时：" + statsDuration(expected.runSeconds));
    EXPECT_EQ(w.text(kCounts), "完成项目数：" + std::to_string(expected.finishedCount) +
                                   "　　放弃项目数：" + std::to_string(expected.unfinishedCount) +
                                   "　　完成比例：" + std::to_string(expected.finishedPercent()) +
                                   "%");
    ASSERT_EQ(w.listCount(kTopItems), static_cast<int>(expected.top.size()));
    EXPECT_EQ(w.listText(kTopItems, 0),
              expected.top[0].content + "　" + statsDuration(expected.top[0].seconds));
  }
  // A second click on 统计 brings the same window forward; Esc closes it.
  const auto windows = env.ui.windows().size();
  EXPECT_TRUE(env.ui.windows().front()->chooseMenu(kStatistics));
  EXPECT_EQ(env.ui.windows().size(), windows);
  EXPECT_TRUE(w.pressKey(vk::kEscape));
  EXPECT_EQ(env.ui.find("统计窗口"), nullptr);
}

TEST_F(StatsWindowTest, AnEmptyHistoryOrAFailedReadShowsASentenceInsteadOfTheChart) {
  for (const std::string& bytes : {std::string(), historyFileStart(), std::string("x")}) {
    SCOPED_TRACE(bytes);
    main.reset();
    if (bytes == "x") {
      putHistory(historyBytes({{}}));
      env.files.unreadable.insert(env.files.path(kHistoryFile));
    } else if (!bytes.empty()) {
      putHistory(bytes);
    }
    auto& w = open();
    const bool failed = bytes == "x";
    EXPECT_EQ(sentence(w.surfaceDrawing(kChart)),
              failed ? "无法读取执行记录。" : "还没有执行记录。");
    EXPECT_EQ(w.text(kTimes), "");
    EXPECT_FALSE(w.isEnabled(kExport));
    const auto texts = env.prompts.takeTexts();
    EXPECT_EQ(texts.size(), failed ? 1u : 0u);
    if (failed) {
      EXPECT_EQ(texts[0], "无法读取执行记录。\n\n系统提示：拒绝访问（错误代码 5）");
    }
  }
}

TEST_F(StatsWindowTest, ExportCopiesTheFileWhereTheUserChoosesAndOpenFolderOpensTheExesFolder) {
  std::mt19937 random(11);
  const std::string bytes = historyBytes(twoWeeks(random));
  putHistory(bytes);
  auto& w = open();
  env.prompts.chooseFile("D:\\备份\\记录.csv");
  EXPECT_TRUE(w.click(kExport));
  EXPECT_EQ(env.files.read("D:\\备份\\记录.csv"), bytes);

  // A copy the disk refuses is told as a file failure; a cancel does nothing.
  env.files.unwritable.insert("E:\\记录.csv");
  env.prompts.chooseFile("E:\\记录.csv");
  EXPECT_TRUE(w.click(kExport));
  env.prompts.chooseFile(std::nullopt);
  EXPECT_TRUE(w.click(kExport));
  const auto texts = env.prompts.takeTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(texts[0].starts_with("无法写入文件：\nE:\\记录.csv\n\n")) << texts[0];
  EXPECT_TRUE(texts[0].ends_with("执行记录没有导出。")) << texts[0];

  env.shell.take();
  EXPECT_TRUE(w.click(kOpenFolder));
  EXPECT_EQ(env.shell.take(), std::vector<std::string>{"open:C:\\Temvik"});
}

}  // namespace
}  // namespace temvik::testing
