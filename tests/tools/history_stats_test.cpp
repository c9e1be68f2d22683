// The statistics over a generated history, against a second count that
// walks each run second by second and finds each day by the calendar.

#include "tools/history_stats.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace temvik::testing {
namespace {

DateTime dayBefore(DateTime d) {
  static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (--d.day > 0) return d;
  if (--d.month == 0) {
    d.month = 12;
    --d.year;
  }
  const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  d.day = kLengths[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
  return d;
}

std::vector<HistoryRecord> generated(std::mt19937& random, const DateTime& around) {
  static const char* kContents[] = {"读书", "写作业", "练琴", "跑步", "背单词", "复习", "午睡"};
  std::vector<HistoryRecord> records;
  const int count = std::uniform_int_distribution(0, 40)(random);
  for (int i = 0; i < count; ++i) {
    HistoryRecord r;
    // Ends from 40 days before to 2 days after; runs up to 3 hours, some
    // of them over midnight, some of none.
    r.end = addSeconds(around,
                       std::uniform_int_distribution<std::int64_t>(-40 * 86400, 2 * 86400)(random));
    r.runSeconds = random() % 5 == 0 ? 0 : std::uniform_int_distribution(1, 3 * 3600)(random);
    r.start = addSeconds(r.end, -r.runSeconds - std::uniform_int_distribution(0, 600)(random));
    r.plannedSeconds = std::uniform_int_distribution(0, 4 * 3600)(random);
    r.how = static_cast<HistoryEnd>(random() % 5);
    r.content = kContents[random() % std::size(kContents)];
    records.push_back(r);
  }
  return records;
}

TEST(HistoryStats, EveryDayTotalAndTopItemMatchASecondBySecondCount) {
  std::mt19937 random(20261209);
  const DateTime todays[] = {{2026, 12, 31, 23, 59, 59}, {2027, 1, 1, 0, 0, 0},
                             {2027, 1, 3, 12, 0, 0},     {2026, 3, 1, 8, 30, 0},
                             {2028, 3, 2, 22, 0, 0},     {2026, 12, 9, 10, 0, 0}};
  for (int round = 0; round < 60; ++round) {
    const DateTime today = todays[round % std::size(todays)];
    const int dayCount = round % 2 == 0 ? 7 : 30;
    const auto records = generated(random, today);
    SCOPED_TRACE("round " + std::to_string(round));
    const HistoryStats stats = historyStats(records, today, dayCount);

    // The period's dates by the calendar, today last.
    std::vector<DateTime> dates{{today.year, today.month, today.day}};
    while (dates.size() < static_cast<std::size_t>(dayCount))
      dates.insert(dates.begin(), dayBefore(dates.front()));
    const auto dayOf = [&](const DateTime& t) -> int {
      const auto at = std::find(dates.begin(), dates.end(), DateTime{t.year, t.month, t.day});
      return at == dates.end() ? -1 : static_cast<int>(at - dates.begin());
    };

    std::vector<StatsDay> days;
    for (const DateTime& d : dates) days.push_back({d, 0, 0});
    std::map<std::string, std::int64_t> byContent;
    std::int64_t planned = 0, run = 0;
    int finished = 0, unfinished = 0;
    for (const HistoryRecord& r : records) {
      const bool done = r.how == HistoryEnd::Finished || r.how == HistoryEnd::ChangedThenFinished;
      // Each second of the run counts on the day it begins on.
      for (std::int64_t s = 1; s <= r.runSeconds; ++s) {
        const int day = dayOf(addSeconds(r.end, -s));
        if (day < 0) continue;
        ++(done ? days[day].finishedSeconds : days[day].unfinishedSeconds);
        ++byContent[r.content];
        ++run;
      }
      // An end at midnight after the period's last second belongs to tomorrow.
      if (dayOf(r.end) >= 0) {
        planned += r.plannedSeconds;
        ++(done ? finished : unfinished);
      }
    }
    EXPECT_EQ(stats.days, days);
    EXPECT_EQ(stats.runSeconds, run);
    EXPECT_EQ(stats.plannedSeconds, planned);
    EXPECT_EQ(stats.finishedCount, finished);
    EXPECT_EQ(stats.unfinishedCount, unfinished);
    const int all = finished + unfinished;
    EXPECT_EQ(stats.finishedPercent(),
              all == 0 ? 0 : static_cast<int>(100.0 * finished / all + 0.5));

    // The longest, each no shorter than any left out, at most five.
    ASSERT_LE(stats.top.size(), std::size_t{5});
    EXPECT_EQ(stats.top.size(), std::min<std::size_t>(5, byContent.size()));
    for (std::size_t i = 0; i < stats.top.size(); ++i) {
      EXPECT_EQ(stats.top[i].seconds, byContent[stats.top[i].content]);
      if (i > 0) {
        EXPECT_GE(stats.top[i - 1].seconds, stats.top[i].seconds);
      }
    }
    for (const auto& [content, seconds] : byContent) {
      const bool shown = std::any_of(stats.top.begin(), stats.top.end(),
                                     [&](const StatsItem& t) { return t.content == content; });
      if (!shown) {
        EXPECT_LE(seconds, stats.top.back().seconds) << content;
      }
    }
  }
}

TEST(HistoryStats, DurationsInHoursAndMinutes) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {0, "0秒"},     {59, "59秒"},        {60, "1分"},
      {3599, "59分"}, {3600, "1小时00分"}, {3600 * 25 + 300, "25小时05分"}};
  for (const auto& [seconds, words] : cases) EXPECT_EQ(statsDuration(seconds), words) << seconds;
}

}  // namespace
}  // namespace temvik::testing
