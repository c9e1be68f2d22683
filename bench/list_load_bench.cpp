// Times PlanStore::loadList on plans of growing size: an item file with full
// item records and a mark file marking the first half of the items.
// Loading must stay linear in the number of items; 10,000 items well under a
// second.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "store/gbk.h"
#include "store/plan_store.h"

namespace {

using namespace temvik;

void buildPlan(PlanStore& store, int items) {
  IniDocument itemDoc;
  IniDocument markDoc;
  for (int i = 0; i < items; ++i) {
    const std::string content = "第" + std::to_string(i) + "项：背单词和做练习";
    ItemRecord item{content, "0",  "25", "0",  "假", "", "假", "假", "",   "假",
                    "假",    "假", "假", "真", "真", "", "10", "",   "假", {}};
    item.promptPoints = {{"休息", "300005", "C:\\声音\\铃.wav"}};
    writeItem(itemDoc, content, item);
    if (i < items / 2) markDoc.set(content, kMarkKey, kFinishedMark);
  }
  itemDoc.set(kPasswordSection, kPasswordKey, "");
  store.save(kItemFile, itemDoc);
  store.save(kMarkFile, markDoc);
}

double millisecondsOf(const std::function<void()>& run, int repeats) {
  std::vector<double> times;
  for (int r = 0; r < repeats; ++r) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  std::printf("%8s %12s %14s %14s\n", "items", "file bytes", "loadList ms", "write ms");
  for (const int items : {10, 1000, 10000}) {
    headless::MemoryFiles files{"C:\\计划"};
    PlanStore store(files);
    buildPlan(store, items);
    std::size_t rows = 0;
    const int repeats = items >= 10000 ? 5 : 21;
    const double load = millisecondsOf(
        [&] { rows = store.loadList(kItemFile, kMarkFile, kMarkKey).size(); }, repeats);
    // One single-key write: read, parse, change and write back the whole file.
    int n = 0;
    const double write = millisecondsOf(
        [&] { store.write(kItemFile, kPasswordSection, kPasswordKey, std::to_string(++n)); },
        repeats);
    if (rows != static_cast<std::size_t>(items)) {
      std::fprintf(stderr, "expected %d rows, got %zu\n", items, rows);
      return 1;
    }
    std::printf("%8d %12zu %14.3f %14.3f\n", items, files.read(store.path(kItemFile))->size(), load,
                write);
  }
  return 0;
}
