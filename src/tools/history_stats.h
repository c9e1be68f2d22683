#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/date_time.h"
#include "store/history.h"

namespace temvik {

// One day of the statistics: the time items ran on it, split by how they
// ended.
struct StatsDay {
  DateTime date;                       // at 00:00:00
  std::int64_t finishedSeconds = 0;    // 完成, 改时后完成
  std::int64_t unfinishedSeconds = 0;  // 放弃, 被同步项目中断, 程序结束时中断
  friend bool operator==(const StatsDay&, const StatsDay&) = default;
};

// The time the items of one content ran in the period, all summed.
struct StatsItem {
  std::string content;
  std::int64_t seconds = 0;
  friend bool operator==(const StatsItem&, const StatsItem&) = default;
};

// What the statistics window shows of a period of whole days ending today.
// An item's run is taken as the `runSeconds` just before its end, and
// counts on each day for the part of it that lies in that day (runs over
// midnight are split there). The time totals are the time run within the
// period; the counts and the planned time are those of the items that
// ended within it.
struct HistoryStats {
  std::vector<StatsDay> days;  // oldest first; the last is today
  std::int64_t plannedSeconds = 0;
  std::int64_t runSeconds = 0;
  int finishedCount = 0;
  int unfinishedCount = 0;
  // The contents that ran longest in the period, longest first (equal times
  // in the order of their words), at most kStatsTopItems; none of 0 seconds.
  std::vector<StatsItem> top;

  // 完成比例: finished of all items counted, in whole percent rounded to
  // the nearest; 0 with none.
  [[nodiscard]] int finishedPercent() const;
};

inline constexpr int kStatsTopItems = 5;

// 完成 and 改时后完成 count as finished, every other end as not.
[[nodiscard]] bool finishedEnd(HistoryEnd how);

// The statistics of the `dayCount` days up to and including today's date.
[[nodiscard]] HistoryStats historyStats(const std::vector<HistoryRecord>& records,
                                        const DateTime& today, int dayCount);

// A time as the window writes it: "2小时05分", "45分", under a minute "30秒".
[[nodiscard]] std::string statsDuration(std::int64_t seconds);

}  // namespace temvik
