// Times what the user does on large plans, through the main window on the
// in-memory backend: the start checks of 从头执行, 上移, 下移, 删除选中项,
// 保存对所选计划的修改, 删除所有已完成标记 and the finished-mark write of a
// run. Each must stay linear in the plan: at 10,000 items under 100 ms, and
// about ten times its 1,000-item time.
//
// Each action is repeated in one session of the program and the median
// taken, as a user repeats them; the first run of a session also pays for
// the memory the process has not touched yet.
//
// TEMVIK_BENCH_QUICK=1 runs each once on smaller plans (for the test
// command).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "run/run_window.h"
#include "store/gbk.h"
#include "store/plan_store.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_ids.h"

namespace {

using namespace temvik;
using namespace temvik::main_ids;

std::string contentOf(int i) { return "第" + std::to_string(i) + "项：背单词和做练习"; }

void buildPlan(headless::MemoryFiles& files, int items, bool marked) {
  PlanStore store(files);
  IniDocument itemDoc;
  IniDocument markDoc;
  for (int i = 0; i < items; ++i) {
    const std::string content = contentOf(i);
    ItemRecord item{content, "0",  "25", "0",  "假", "", "假", "假", "",   "假",
                    "假",    "假", "假", "真", "真", "", "10", "",   "假", {}};
    item.promptPoints = {{"休息", "300005", "C:\\声音\\铃.wav"}};
    writeItem(itemDoc, content, item);
    if (marked && i < items / 2) markDoc.set(content, kMarkKey, kFinishedMark);
  }
  itemDoc.set(kPasswordSection, kPasswordKey, "");
  store.save(kItemFile, itemDoc);
  if (marked) store.save(kMarkFile, markDoc);
}

struct Bench {
  const char* name;
  bool marked;
  // Gets the window ready (not timed), then returns the timed action.
  std::function<std::function<void()>(headless::Headless&, headless::HeadlessWindow&, int)> setUp;
};

const std::vector<Bench>& benches() {
  static const std::vector<Bench> all = {
      {"start checks", false,
       [](headless::Headless& env, headless::HeadlessWindow& w, int) {
         return [&env, &w] {
           w.click(kRunFromStart);
           if (auto* run = env.ui.find("执行窗口")) run->close();
           w.show();
         };
       }},
      {"move up", false,
       [](headless::Headless&, headless::HeadlessWindow& w, int n) {
         w.clickRow(kSequentialList, n / 2);
         return [&w] { w.click(kMoveUp); };  // the moved row stays selected
       }},
      {"move down", false,
       [](headless::Headless&, headless::HeadlessWindow& w, int n) {
         w.clickRow(kSequentialList, n / 2);
         return [&w] { w.click(kMoveDown); };
       }},
      {"delete", true,
       [](headless::Headless&, headless::HeadlessWindow& w, int n) {
         return [&w, n] {
           w.clickRow(kSequentialList, n / 2);
           w.click(kDeleteItem);
         };
       }},
      {"save", false,
       [](headless::Headless&, headless::HeadlessWindow& w, int n) {
         return [&w, n] {
           w.clickRow(kSequentialList, n / 2);
           w.type(kMinutes, "30");
           w.click(kSaveItem);
         };
       }},
      {"clear marks", true,
       [](headless::Headless&, headless::HeadlessWindow& w, int) {
         return [&w] { w.click(kClearMarks); };
       }},
      {"mark write", true,
       [](headless::Headless& env, headless::HeadlessWindow&, int n) {
         return [&env, n] {
           PlanStore(env.files).write(kMarkFile, contentOf(n / 2), kMarkKey, kFinishedMark);
         };
       }},
  };
  return all;
}

// The median of `repeats` runs of the action, one after another in one
// session of the program, as a user would repeat it.
double median(const Bench& bench, int items, int repeats) {
  headless::Headless env;
  buildPlan(env.files, items, bench.marked);
  MainWindow main(env.services);
  main.start();
  auto& w = static_cast<headless::HeadlessWindow&>(main.window());
  const auto action = bench.setUp(env, w, items);
  std::vector<double> times;
  for (int r = 0; r < repeats; ++r) {
    const auto start = std::chrono::steady_clock::now();
    action();
    const auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  if (!env.prompts.shown().empty()) {
    std::fprintf(stderr, "%s: a box came up: %s\n", bench.name,
                 env.prompts.shown().front().text.c_str());
    std::exit(1);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const bool quick = std::getenv("TEMVIK_BENCH_QUICK") != nullptr;
  const std::vector<int> sizes =
      quick ? std::vector<int>{100, 1000} : std::vector<int>{1000, 10000};
  std::printf("%-14s %12s %12s %8s\n", "action", "1st size ms", "2nd size ms", "growth");
  // By hand: TEMVIK_BENCH_ONLY="move up" TEMVIK_BENCH_ITEMS=3000 times one
  // action once, for a profiler.
  if (const char* only = std::getenv("TEMVIK_BENCH_ONLY")) {
    const char* items = std::getenv("TEMVIK_BENCH_ITEMS");
    const char* repeats = std::getenv("TEMVIK_BENCH_REPEATS");
    for (const Bench& bench : benches())
      if (std::string(bench.name) == only)
        std::printf(
            "%s: %.2f ms\n", only,
            median(bench, items ? std::atoi(items) : 10000, repeats ? std::atoi(repeats) : 1));
    return 0;
  }
  bool slow = false;
  for (const Bench& bench : benches()) {
    const double small = median(bench, sizes[0], quick ? 1 : 9);
    const double large = median(bench, sizes[1], quick ? 1 : 5);
    std::printf("%-14s %12.2f %12.2f %7.1fx\n", bench.name, small, large, large / small);
    if (!quick && large > 100) slow = true;
  }
  std::printf("(sizes: %d and %d items)\n", sizes[0], sizes[1]);
  if (slow) {
    std::fprintf(stderr, "an action took over 100 ms at %d items\n", sizes[1]);
    return 1;
  }
  return 0;
}
