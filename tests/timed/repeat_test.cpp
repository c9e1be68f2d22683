#include "timed/repeat.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <string>

#include "platform/date_time.h"
#include "store/plan_store.h"

namespace temvik {
namespace {

std::int64_t at(int y, int mo, int d, int h = 9, int mi = 30, int s = 0) {
  return secondsOf({y, mo, d, h, mi, s});
}
std::string text(std::int64_t second) { return dateTimeText(dateTimeOfSeconds(second)); }

TEST(RepeatKey, ReadsTheThreeStoredValuesAndNothingElse) {
  for (Repeat r : {Repeat::Daily, Repeat::Weekdays, Repeat::Weekly})
    EXPECT_EQ(repeatOfText(repeatText(r)), r);
  EXPECT_EQ(repeatText(Repeat::Weekdays), kRepeatWeekdays);
  EXPECT_EQ(repeatText(Repeat::None), "");
  for (std::string_view other : {"", "每个工作日", "每月", "每天 ", "daily"})
    EXPECT_EQ(repeatOfText(other), Repeat::None) << other;
}

TEST(NextOccurrence, Table) {
  struct Case {
    const char* what;
    std::int64_t start;
    Repeat repeat;
    std::int64_t after;
    std::string next;
    std::int64_t passed;
  };
  const std::vector<Case> cases = {
      {"before the start", at(2026, 1, 31), Repeat::Daily, at(2026, 1, 1), "2026-01-31 09:30:00",
       0},
      {"at the start", at(2026, 1, 31), Repeat::Daily, at(2026, 1, 31), "2026-02-01 09:30:00", 1},
      {"month end", at(2026, 1, 31), Repeat::Daily, at(2026, 1, 31, 12), "2026-02-01 09:30:00", 1},
      {"into the leap day", at(2028, 2, 28), Repeat::Daily, at(2028, 2, 28, 10),
       "2028-02-29 09:30:00", 1},
      {"out of the leap day", at(2028, 2, 28), Repeat::Daily, at(2028, 2, 29, 10),
       "2028-03-01 09:30:00", 2},
      {"Friday to Monday", at(2026, 5, 4), Repeat::Weekdays, at(2026, 5, 8, 10),
       "2026-05-11 09:30:00", 5},
      {"a Saturday start is no occurrence", at(2026, 1, 3), Repeat::Weekdays, at(2026, 1, 3, 9, 29),
       "2026-01-05 09:30:00", 0},
      {"weekly across the year end", at(2026, 12, 29), Repeat::Weekly, at(2026, 12, 30),
       "2027-01-05 09:30:00", 1},
      // 2000-01-01 to 2026-05-03: 9,620 days, 1,375 Saturdays.
      {"far in the past", at(2000, 1, 1, 6, 0), Repeat::Daily, at(2026, 5, 3, 7),
       "2026-05-04 06:00:00", 9620},
      {"far in the past, weekly", at(2000, 1, 1, 6, 0), Repeat::Weekly, at(2026, 5, 3, 7),
       "2026-05-09 06:00:00", 1375},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Occurrences o = nextOccurrence(c.start, c.repeat, c.after);
    EXPECT_EQ(text(o.next), c.next);
    EXPECT_EQ(o.passed, c.passed);
  }
  // Without a repeat the start is all there is.
  EXPECT_EQ(nextOccurrence(at(2026, 1, 1), Repeat::None, at(2027, 1, 1)),
            (Occurrences{at(2026, 1, 1), 1}));
}

// Against a walk over the days with the standard library's calendar: the
// first occurrence after the time and the count up to it, for starts from
// 1900 to 2100 (before 1970 too) and times from before the start to
// decades after it.
TEST(NextOccurrence, AgreesWithAWalkOverTheCalendar) {
  using namespace std::chrono;
  std::mt19937_64 gen(2028);
  const auto below = [&](std::int64_t n) { return static_cast<std::int64_t>(gen() % n); };
  const std::int64_t day = 86400;
  for (int i = 0; i < 3000; ++i) {
    const auto repeat = static_cast<Repeat>(1 + below(3));
    const std::int64_t start = at(1900, 1, 1, 0, 0, 0) + below(200LL * 365 * day);
    const std::int64_t span = i % 50 == 0 ? 40LL * 365 * day : 60 * day;
    // Often on an occurrence's time of day, or a second before it.
    std::int64_t after = start - 3 * day + below(span);
    if (below(2)) after = start + day * ((after - start) / day) - below(2);
    const auto qualifies = [&](std::int64_t d) {
      const unsigned w = weekday(sys_days(days(d))).iso_encoding();  // 1 Monday … 7 Sunday
      const std::int64_t first = start / day - (start % day < 0 ? 1 : 0);
      return repeat == Repeat::Daily || (repeat == Repeat::Weekdays && w <= 5) ||
             (repeat == Repeat::Weekly && (d - first) % 7 == 0);
    };
    std::int64_t first = start / day - (start % day < 0 ? 1 : 0);
    const std::int64_t timeOfDay = start - first * day;
    Occurrences walked{0, 0};
    for (std::int64_t d = first;; ++d) {
      if (!qualifies(d)) continue;
      const std::int64_t t = d * day + timeOfDay;
      if (t > after) {
        walked.next = t;
        break;
      }
      ++walked.passed;
    }
    EXPECT_EQ(nextOccurrence(start, repeat, after), walked)
        << text(start) << " repeat " << static_cast<int>(repeat) << " after " << text(after);
  }
}

}  // namespace
}  // namespace temvik
