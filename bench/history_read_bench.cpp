// Writes 100,000 generated history records, as the file holds them, reads
// them back with readHistory and counts the statistics of the last 30 days,
// as the statistics window does each time it opens; prints the time of each
// in ms. Run by hand.

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "store/history.h"
#include "tools/history_stats.h"

int main() {
  using namespace temvik;
  using Clock = std::chrono::steady_clock;
  constexpr int kRecords = 100'000;
  std::mt19937 rng(100000);
  const char* contents[] = {"背单词", "读书，第三章", "练字 \"楷书\"", "跑步,五公里", "写作业😀"};
  const char* actions[] = {"", "", "运行程序", "运行程序、关机", "锁定"};

  const auto t0 = Clock::now();
  std::string bytes = historyFileStart();
  DateTime start{2026, 1, 1, 8, 0, 0};
  for (int i = 0; i < kRecords; ++i) {
    const auto planned = static_cast<std::int64_t>(rng() % 7200);
    const auto ran = static_cast<std::int64_t>(rng() % (planned + 1));
    HistoryRecord r{start,
                    addSeconds(start, ran),
                    contents[rng() % 5],
                    planned,
                    ran,
                    static_cast<HistoryEnd>(rng() % 5),
                    actions[rng() % 5],
                    static_cast<HistorySource>(rng() % 2)};
    bytes += historyLine(r);
    start = addSeconds(start, ran + 60);
  }
  const auto t1 = Clock::now();
  const HistoryRead read = readHistory(bytes);
  const auto t2 = Clock::now();
  const HistoryStats stats = historyStats(read.records, start, 30);
  const auto t3 = Clock::now();

  auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::printf(
      "%d records, %.1f MB: written in %.1f ms, read back in %.1f ms (%zu read, %d skipped), "
      "30 days counted in %.1f ms (%d items)\n",
      kRecords, static_cast<double>(bytes.size()) / 1e6, ms(t1 - t0), ms(t2 - t1),
      read.records.size(), read.skipped, ms(t3 - t2), stats.finishedCount + stats.unfinishedCount);
  return read.records.size() == static_cast<std::size_t>(kRecords) && read.skipped == 0 ? 0 : 1;
}
