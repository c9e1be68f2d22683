// How long the real program takes to show the statistics of a large history,
// under wine or Windows: with 执行记录.csv beside the exe holding the given
// number of records (the newest ending today), the time from 工具 → 统计 to
// the window showing its totals, for several openings of the window.
//
//   stats_open.exe [records] [openings]      (default 100000 records, 5)

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "driver.h"
#include "store/history.h"
#include "tools/stats_window.h"
#include "ui/main/main_window_ids.h"

using namespace temvik;
using namespace temvik::e2e;
using Steady = std::chrono::steady_clock;

namespace {

double msSince(Steady::time_point start) {
  return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// `count` records one after another, an hour or so each, the last ending
// about now.
std::string history(int count) {
  std::mt19937 rng(20261210);
  const char* contents[] = {"背单词", "读书，第三章", "练字 \"楷书\"", "跑步,五公里", "写作业"};
  const char* actions[] = {"", "", "运行程序", "运行程序、关机", "锁定"};
  std::vector<HistoryRecord> records(static_cast<std::size_t>(count));
  SYSTEMTIME now{};
  GetLocalTime(&now);
  DateTime end{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  for (int i = count - 1; i >= 0; --i) {
    const auto planned = static_cast<std::int64_t>(rng() % 7200);
    const auto ran = static_cast<std::int64_t>(rng() % (planned + 1));
    records[static_cast<std::size_t>(i)] = {addSeconds(end, -ran),
                                            end,
                                            contents[rng() % 5],
                                            planned,
                                            ran,
                                            static_cast<HistoryEnd>(rng() % 5),
                                            actions[rng() % 5],
                                            static_cast<HistorySource>(rng() % 2)};
    end = addSeconds(end, -ran - 60);
  }
  std::string bytes = historyFileStart();
  for (const HistoryRecord& r : records) bytes += historyLine(r);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100'000;
  const int openings = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  PlanFolder folder;
  const std::string bytes = history(count);
  if (!folder.ok() || !folder.writeBytes(kHistoryFile.substr(1), bytes)) {
    std::fprintf(stderr, "cannot write the history\n");
    return 1;
  }
  App app(folder);
  if (!app.ready()) {
    std::fprintf(stderr, "%s\n", app.error().c_str());
    return 1;
  }
  std::printf("%d records, %.1f MB\n", count, static_cast<double>(bytes.size()) / 1e6);
  std::vector<double> times;
  for (int i = 0; i < openings; ++i) {
    const auto start = Steady::now();
    app.menu(main_ids::kStatistics);
    const HWND stats = app.waitForWindow("统计");
    // The totals stand in their label once the file is read and counted.
    const bool shown =
        stats && waitFor([&] {
          return windowText(GetDlgItem(stats, stats_ids::kTimes)).starts_with("计划时长：");
        });
    if (!shown) {
      std::fprintf(stderr, "the statistics did not show\n");
      app.kill();
      return 1;
    }
    times.push_back(msSince(start));
    std::printf("opening %d: totals shown after %.0f ms\n", i + 1, times.back());
    PostMessageW(stats, WM_CLOSE, 0, 0);
    if (!waitFor([&] { return !IsWindow(stats); })) {
      std::fprintf(stderr, "the statistics window did not close\n");
      app.kill();
      return 1;
    }
  }
  std::sort(times.begin(), times.end());
  std::printf("median %.0f ms, best %.0f ms, worst %.0f ms\n", times[times.size() / 2],
              times.front(), times.back());
  app.close();
  return app.waitForExit() ? 0 : 1;
}
