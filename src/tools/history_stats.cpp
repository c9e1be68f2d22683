#include "tools/history_stats.h"

#include <algorithm>
#include <map>

namespace temvik {

namespace {

constexpr std::int64_t kDaySeconds = 24 * 60 * 60;

DateTime midnightOf(const DateTime& t) { return {t.year, t.month, t.day, 0, 0, 0}; }

}  // namespace

int HistoryStats::finishedPercent() const {
  const int all = finishedCount + unfinishedCount;
  return all == 0 ? 0 : (finishedCount * 200 + all) / (2 * all);
}

bool finishedEnd(HistoryEnd how) {
  return how == HistoryEnd::Finished || how == HistoryEnd::ChangedThenFinished;
}

HistoryStats historyStats(const std::vector<HistoryRecord>& records, const DateTime& today,
                          int dayCount) {
  HistoryStats stats;
  if (dayCount <= 0) return stats;
  // Local date-times count as civil seconds, with no clock change in
  // them: every day is 24 hours long.
  const std::int64_t last = secondsOf(midnightOf(today));
  const std::int64_t first =
      secondsOf(midnightOf(addSeconds(today, -(dayCount - 1) * kDaySeconds)));
  const std::int64_t periodEnd = last + kDaySeconds;
  for (int i = 0; i < dayCount; ++i)
    stats.days.push_back({dateTimeOfSeconds(first + i * kDaySeconds), 0, 0});

  std::map<std::string, std::int64_t> byContent;
  for (const HistoryRecord& r : records) {
    const std::int64_t end = secondsOf(r.end);
    const std::int64_t begin = end - std::max<std::int64_t>(0, r.runSeconds);
    const bool finished = finishedEnd(r.how);
    std::int64_t inPeriod = 0;
    for (int i = 0; i < dayCount; ++i) {
      const std::int64_t dayStart = first + i * kDaySeconds;
      const std::int64_t part = std::min(end, dayStart + kDaySeconds) - std::max(begin, dayStart);
      if (part <= 0) continue;
      (finished ? stats.days[i].finishedSeconds : stats.days[i].unfinishedSeconds) += part;
      inPeriod += part;
    }
    stats.runSeconds += inPeriod;
    if (inPeriod > 0) byContent[r.content] += inPeriod;
    if (end >= first && end < periodEnd) {
      stats.plannedSeconds += std::max<std::int64_t>(0, r.plannedSeconds);
      ++(finished ? stats.finishedCount : stats.unfinishedCount);
    }
  }

  for (const auto& [content, seconds] : byContent) stats.top.push_back({content, seconds});
  // The map gives the words' order; a stable sort keeps it among equal times.
  std::stable_sort(stats.top.begin(), stats.top.end(),
                   [](const StatsItem& a, const StatsItem& b) { return a.seconds > b.seconds; });
  if (stats.top.size() > static_cast<std::size_t>(kStatsTopItems)) stats.top.resize(kStatsTopItems);
  return stats;
}

std::string statsDuration(std::int64_t seconds) {
  seconds = std::max<std::int64_t>(0, seconds);
  if (seconds < 60) return std::to_string(seconds) + "秒";
  const std::int64_t minutes = seconds / 60;
  if (minutes < 60) return std::to_string(minutes) + "分";
  const std::int64_t m = minutes % 60;
  return std::to_string(minutes / 60) + "小时" + (m < 10 ? "0" : "") + std::to_string(m) + "分";
}

}  // namespace temvik
