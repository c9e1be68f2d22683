// A run needs nothing of the main window but its host: the scheduler of
// timed items and any later starter reach it the same way.

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/run_controller.h"
#include "run/run_window.h"

namespace temvik::testing {
namespace {

using namespace run_ids;
using headless::HeadlessWindow;

const WindowDesign& hostDesign() {
  static const WindowDesign design{.designName = "宿主", .title = "宿主", .rect = {0, 0, 100, 100}};
  return design;
}

RunItem itemOf(std::string content, std::string seconds) {
  RunItem item;
  item.content = std::move(content);
  item.seconds = std::move(seconds);
  item.playTime = "10";
  item.ticked.media = item.ticked.useDefault = true;
  return item;
}

// The rows and the editor of a host, in plain data.
struct FakeHost final : RunHost, WindowEvents {
  explicit FakeHost(headless::Headless& env)
      : window(env.ui.createWindow(hostDesign(), *this, nullptr)) {
    window->show();
  }
  Window& mainWindow() override { return *window; }
  [[nodiscard]] int sequentialCount() const override { return static_cast<int>(items.size()); }
  [[nodiscard]] std::vector<std::string> sequentialRows() const override {
    std::vector<std::string> rows;
    for (const auto& i : items) rows.push_back(i.content);
    return rows;
  }
  [[nodiscard]] std::vector<RunItem> sequentialItems() const override { return items; }
  RunItem loadSequential(int row) override {
    log.push_back("load" + std::to_string(row));
    return editor = items.at(static_cast<std::size_t>(row));
  }
  [[nodiscard]] RunItem editorItem() const override { return editor; }
  void refillSequential() override { log.push_back("refillSequential"); }
  void refillTimed() override { log.push_back("refillTimed"); }
  void applyResumeRule() override { log.push_back("resumeRule"); }
  void closeDialogsForTimedStart() override { log.push_back("closeDialogs"); }
  void confirmAdministrator(Window&, std::function<void()>) override { log.push_back("confirm"); }

  std::unique_ptr<Window> window;
  std::vector<RunItem> items;
  RunItem editor;
  std::vector<std::string> log;
};

struct RunHostTest : ::testing::Test {
  headless::Headless env;
  PlanStore store{env.files};
  AppState app;
  FakeHost host{env};
  RunController run{env.services, store, app, host};
  HeadlessWindow* find(std::string_view name) { return env.ui.find(name); }
};

TEST_F(RunHostTest, ATimedRunTakesTheEditorsItemAndWritesNoMark) {
  host.editor = itemOf("定时", "2");
  run.startTimedRun("");
  ASSERT_NE(find("执行窗口"), nullptr);
  EXPECT_FALSE(host.window->isVisible()) << "the host hides while the item runs";
  EXPECT_EQ(find("执行窗口")->text(kSecondsValue), "2");
  env.ui.advance(2000);
  HeadlessWindow* complete = find("计划完成窗口");
  ASSERT_NE(complete, nullptr);
  EXPECT_TRUE(complete->isOpen());
  EXPECT_FALSE(env.files.exists(env.files.path("\\win.ini")));
  complete->click(kBackToMain);
  EXPECT_NE(std::find(host.log.begin(), host.log.end(), "refillTimed"), host.log.end());
  EXPECT_EQ(std::find(host.log.begin(), host.log.end(), "refillSequential"), host.log.end());
  EXPECT_TRUE(host.window->isVisible());
}

TEST_F(RunHostTest, ASequentialRunChecksEveryRowThroughTheHostThenGoesFromItemToItem) {
  host.items = {itemOf("一", "1"), itemOf("二", "1")};
  run.startFromBeginning();
  EXPECT_EQ(host.log, (std::vector<std::string>{"load0"})) << "checked without loading each";
  env.ui.advance(1000);
  HeadlessWindow* finished = find("完成提示窗口");
  ASSERT_NE(finished, nullptr);
  finished->click(kYesButton);
  EXPECT_EQ(host.log.back(), "load1");
  EXPECT_EQ(find("执行窗口")->text(kContentBox), "二");
  env.ui.advance(1000);
  ASSERT_NE(find("计划完成窗口"), nullptr);
  EXPECT_NE(env.files.read(env.files.path("\\win.ini")), std::nullopt);
}

TEST_F(RunHostTest, ARefusedItemStopsTheStartWithItsMessage) {
  host.items = {itemOf("一", "1"), itemOf("二", "")};
  run.startFromBeginning();
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].text, "请输入持续时间");
  EXPECT_EQ(find("执行窗口"), nullptr);
  EXPECT_TRUE(host.window->isVisible());
}

// Generated lists of names, blanks and commas: the start checks refuse a
// list exactly when it has no entry (a name before a comma), and the run
// opens, forbids and ends the entries the checks counted, never a blank one.
TEST_F(RunHostTest, TheChecksAndTheRunAgreeOnWhatAListNames) {
  struct Name {
    std::string typed, process;  // process: the one it ends, if any
  };
  struct Generated {
    std::string text;
    std::vector<std::string> entries;    // as typed
    std::vector<std::string> processes;  // what they end, each once, in order
  };
  std::mt19937 rng(2026);
  const auto pick = [&](const auto& pool) { return pool[rng() % pool.size()]; };
  const std::vector<std::string> blanks = {" ", "\t", "   "};
  const auto generate = [&](const std::vector<Name>& names) {
    Generated g;
    std::string entry;
    std::vector<const Name*> named;  // the names typed into the entry
    for (int n = static_cast<int>(rng() % 12); n > 0; --n) {
      switch (rng() % 3) {
        case 0:
          g.text += ',';
          if (!named.empty()) g.entries.push_back(entry);
          // Two names run together name no process.
          if (named.size() == 1 && std::find(g.processes.begin(), g.processes.end(),
                                             named[0]->process) == g.processes.end())
            g.processes.push_back(named[0]->process);
          entry.clear();
          named.clear();
          break;
        case 1: {
          const std::string blank = pick(blanks);
          entry += blank;
          g.text += blank;
          break;
        }
        default: {
          const Name& name = names[rng() % names.size()];
          entry += name.typed;
          g.text += name.typed;
          named.push_back(&name);
        }
      }
    }
    return g;
  };
  const std::vector<Name> programs = {{"C:\\a.exe", ""}, {"D:\\工具\\b c.exe", ""}};
  const std::vector<Name> toEnd = {{"e1.exe", "e1.exe"}, {"E2", "e2.exe"}};
  const std::vector<Name> toForbid = {{"f1.EXE", "f1.exe"}, {"f2", "f2.exe"}};
  int runs = 0, refusals = 0;
  for (int round = 0; round < 400; ++round) {
    const Generated program = generate(programs), end = generate(toEnd),
                    forbid = generate(toForbid);
    SCOPED_TRACE("programs \"" + program.text + "\" end \"" + end.text + "\" forbid \"" +
                 forbid.text + "\"");
    RunItem item = itemOf("一", "1");
    item.ticked.media = item.ticked.useDefault = false;
    item.options.media = false;
    item.ticked.runProgram = item.ticked.endProcesses = item.ticked.forbid = true;
    item.options.runProgram = item.options.endProcesses = item.options.forbid = true;
    item.options.programList = program.text;
    item.options.processList = end.text;
    item.options.forbiddenList = forbid.text;
    host.items = {item};
    for (const char* p : {"e1.exe", "e2.exe", "f1.exe", "f2.exe"})
      if (!env.processes.running(p)) env.processes.start(p);
    env.journal.clear();
    env.prompts.clear();

    run.startFromBeginning();
    std::vector<std::string> expected;
    const char* refusal = program.entries.empty()  ? "请选择一个程序以供到时间执行"
                          : end.entries.empty()    ? "请提供完成后要结束的进程"
                          : forbid.entries.empty() ? "请提供执行中要禁止的进程"
                                                   : nullptr;
    if (refusal) {
      ++refusals;
      ASSERT_EQ(env.prompts.shown().size(), 1u);
      EXPECT_EQ(env.prompts.shown()[0].text, refusal);
      EXPECT_EQ(find("执行窗口"), nullptr);
      continue;
    }
    ++runs;
    EXPECT_TRUE(env.prompts.shown().empty());
    env.ui.advance(1000);
    for (const auto& p : forbid.processes) expected.push_back("end:" + p);
    for (const auto& e : program.entries) expected.push_back("open:" + e);
    for (const auto& p : end.processes) expected.push_back("end:" + p);
    EXPECT_EQ(env.journal, expected);
    HeadlessWindow* complete = find("计划完成窗口");
    ASSERT_NE(complete, nullptr);
    complete->click(kBackToMain);
  }
  EXPECT_GT(runs, 20);
  EXPECT_GT(refusals, 20);
}

TEST(StartRefusalTest, ChecksComeInTheirOrderAndTheFirstOneWins) {
  RunItem item = itemOf("a", "");
  item.hours = "-1";  // a negative hour and a missing program: the hour speaks first
  item.minutes = "0";
  item.ticked.runProgram = true;
  EXPECT_EQ(startRefusal(item), (StartRefusal{"时是没有负值的", "填的时候要集中注意力"}));
  item.hours = "1";
  EXPECT_EQ(startRefusal(item), (StartRefusal{"请选择一个程序以供到时间执行", "请选择程序"}));
  item.options.programList = "a.exe,";
  EXPECT_EQ(startRefusal(item), std::nullopt);
  item.ticked.exitWhenDone = true;  // an item that ends the program needs no play time
  item.playTime = "";
  EXPECT_EQ(startRefusal(item), std::nullopt);
  item.ticked.exitWhenDone = false;
  EXPECT_EQ(startRefusal(item), (StartRefusal{"请输入持续播放提示音的时间", "请补充"}));
}

}  // namespace
}  // namespace temvik::testing
