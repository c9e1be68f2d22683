#include "timed/timed_schedule.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>

#include "store/typed_numbers.h"

namespace temvik {
namespace {

std::vector<TimedSlot> oneHourAtTen() {
  const DateTime ten{2026, 5, 5, 10, 0, 0};
  return {TimedSlot{dateTimeText(ten), ten, 3600}};
}

DateTime at(int h, int m, int s) { return {2026, 5, 5, h, m, s}; }

TEST(OverlapTest, StartOrEndInsideAnExistingSpanCollides) {
  const auto slots = oneHourAtTen();
  const std::int64_t half = 1800;
  EXPECT_TRUE(overlapsTimedItem(slots, at(10, 30, 0), half));  // start inside
  EXPECT_TRUE(overlapsTimedItem(slots, at(9, 45, 0), half));   // end inside
  EXPECT_TRUE(overlapsTimedItem(slots, at(11, 0, 0), half));   // start on its end
  EXPECT_TRUE(overlapsTimedItem(slots, at(9, 30, 0), half));   // end on its start
  EXPECT_FALSE(overlapsTimedItem(slots, at(9, 0, 0), half));
  EXPECT_FALSE(overlapsTimedItem(slots, at(11, 0, 1), half));
  // Enclosing it is no collision.
  EXPECT_FALSE(overlapsTimedItem(slots, at(9, 0, 0), 3 * 3600));
  // The same start collides only when shorter.
  EXPECT_TRUE(overlapsTimedItem(slots, at(10, 0, 0), 3599));
  EXPECT_FALSE(overlapsTimedItem(slots, at(10, 0, 0), 3600));
  EXPECT_FALSE(overlapsTimedItem(slots, at(10, 0, 0), 7200));
}

TEST(OverlapTest, PassesOverItemsWithoutAStartOrWithAnUnreadableOne) {
  auto slots = oneHourAtTen();
  slots.insert(slots.begin(), TimedSlot{"not a time", std::nullopt, 3600});
  EXPECT_TRUE(overlapsTimedItem(slots, at(10, 30, 0), 60));
  slots.insert(slots.begin(), TimedSlot{"", std::nullopt, 3600});
  EXPECT_TRUE(overlapsTimedItem(slots, at(10, 30, 0), 60));
}

// A repeating item has a span at each of its occurrences, tested as the
// span of a single item there would be; a stored 工作日 start on a weekend
// counts from the Monday.
TEST(OverlapTest, ARepeatingItemCollidesAtAnyOfItsOccurrences) {
  std::mt19937 gen(29);
  const auto below = [&](int n) { return static_cast<int>(gen() % static_cast<unsigned>(n)); };
  const DateTime base{2026, 5, 1, 0, 0, 0};
  for (int i = 0; i < 3000; ++i) {
    const auto repeat = static_cast<Repeat>(1 + below(3));
    const DateTime start = addSeconds(base, below(14 * 86400));
    const std::int64_t length = below(4) == 0 ? below(2 * 86400) : below(3 * 3600);
    const std::int64_t duration = below(3 * 3600);
    // Near a day's start at its time of day, often on an edge of the spans.
    const std::array<std::int64_t, 6> edges = {0, 1, -1, length, length + 1, -duration};
    const DateTime d =
        addSeconds(start, 86400LL * (below(24) - 3) + (below(3) ? edges[below(6)] : below(86400)));
    const TimedSlot repeating{dateTimeText(start), start, length, repeat};
    bool atSome = false;
    for (std::int64_t o = nextOccurrence(secondsOf(start), repeat, secondsOf(start) - 1).next;
         o <= secondsOf(d) + duration; o = nextOccurrence(secondsOf(start), repeat, o).next) {
      const DateTime at = dateTimeOfSeconds(o);
      atSome = atSome || overlapsTimedItem({TimedSlot{dateTimeText(at), at, length}}, d, duration);
    }
    EXPECT_EQ(overlapsTimedItem({repeating}, d, duration), atSome)
        << dateTimeText(start) << " for " << length << " repeat " << static_cast<int>(repeat)
        << "; new " << dateTimeText(d) << " for " << duration;
  }
  // Read from a file, a weekend start of a 工作日 item is its Monday.
  const auto slots = timedSlots(IniDocument::parse(
      "[A]\r\n同步时间=2026-01-03 10:00:00\r\n内容=A\r\n时=1\r\n重复=工作日\r\n"));
  ASSERT_EQ(slots.size(), 1U);
  EXPECT_EQ(slots[0].start, (DateTime{2026, 1, 5, 10, 0, 0}));
  EXPECT_EQ(slots[0].repeat, Repeat::Weekdays);
  EXPECT_FALSE(overlapsTimedItem(slots, {2026, 1, 4, 10, 30, 0}, 60));  // Sunday
  EXPECT_TRUE(overlapsTimedItem(slots, {2026, 1, 9, 10, 30, 0}, 60));   // Friday
}

TEST(TimeOfDay, CarriesOverIntoTheDaysAround) {
  const DateTime fifth{2026, 5, 5, 0, 0, 0};
  EXPECT_EQ(atTimeOfDay(fifth, 24, 0, 0), (DateTime{2026, 5, 6, 0, 0, 0}));
  EXPECT_EQ(atTimeOfDay(fifth, 25, 0, 0), (DateTime{2026, 5, 6, 1, 0, 0}));
  EXPECT_EQ(atTimeOfDay(fifth, 10, -5, 0), (DateTime{2026, 5, 5, 9, 55, 0}));
  EXPECT_EQ(atTimeOfDay(fifth, 0, 0, -1), (DateTime{2026, 5, 4, 23, 59, 59}));
  // The calendar's own time of day is replaced, not added to.
  EXPECT_EQ(atTimeOfDay({2026, 5, 5, 13, 14, 15}, 8, 0, 0), (DateTime{2026, 5, 5, 8, 0, 0}));
  // Huge values stay countable.
  EXPECT_GT(atTimeOfDay(fifth, 9'000'000'000'000LL, 0, 0), fifth);
}

TEST(TimedSlots, OnePerListRowWithDuration) {
  const IniDocument doc = IniDocument::parse(
      "[A]\r\n同步时间=2026-05-05 10:00:00\r\n内容=A\r\n时=1\r\n分=30\r\n秒=5\r\n"
      "[B]\r\n同步时间=garbage\r\n内容=B\r\n时=0\r\n分=x\r\n秒=0\r\n"
      "[C]\r\n同步时间=2026-05-05 10:00:00\r\n"
      "[D]\r\n内容=D\r\n");
  const auto slots = timedSlots(doc);
  ASSERT_EQ(slots.size(), 3U);
  EXPECT_EQ(slots[0].start, (DateTime{2026, 5, 5, 10, 0, 0}));
  EXPECT_EQ(slots[0].durationSeconds, 5405);
  EXPECT_FALSE(slots[1].start);
  EXPECT_EQ(slots[1].startText, "garbage");
  EXPECT_EQ(slots[1].durationSeconds, 0);
  EXPECT_EQ(slots[2].startText, "");
}

// The overlap test counts the whole value of each part typed in any form,
// and nothing for a text that is no number (a pasted control character).
TEST(TimedSlots, TheDurationIsTheWholeValueOfNumbersOnly) {
  testing::TypedNumbers gen(4);
  for (int i = 0; i < 1000; ++i) {
    std::array<long long, 3> parts = {gen.below(30), gen.below(120), gen.below(4000)};
    std::array<std::string, 3> texts;
    for (std::size_t p = 0; p < 3; ++p) {
      texts[p] = gen.typed(std::to_string(parts[p]));
      if (gen.below(4) == 0) texts[p] = gen.spoiled(texts[p]), parts[p] = 0;
    }
    EXPECT_EQ(durationSeconds(texts[0], texts[1], texts[2]),
              parts[0] * 3600 + parts[1] * 60 + parts[2])
        << texts[0] << " / " << texts[1] << " / " << texts[2];
  }
}

// ------------------------------------------------------------ the tick's step

// Items named a, b, c, … starting `offsets` seconds after noon (nothing: no
// start time); a has started, or runs, when the case says so.
struct StepCase {
  const char* what;
  std::vector<std::optional<int>> offsets;
  std::optional<int> previous;  // the previous tick, relative to noon
  int now;
  bool aStarted, aRuns;
  std::vector<int> expired;
  std::optional<int> start;
};

const DateTime kNoon{2026, 3, 29, 12, 0, 0};
std::int64_t noonPlus(int s) { return secondsOf(kNoon) + s; }

TEST(SchedulerStep, Table) {
  const int h = 3600;
  const std::vector<StepCase> cases = {
      {"due now", {0}, -1, 0, false, false, {}, 0},
      {"the first tick catches nothing up", {-2, 0}, {}, 0, false, false, {0}, 1},
      {"within the bound", {-5}, -6, 0, false, false, {}, 0},
      {"beyond the bound", {-6}, -7, 0, false, false, {0}, {}},
      // The item that moves up into a removed one's place is only tested
      // for being due.
      {"a jump over three", {-3 * h, -2 * h, -h}, -4 * h, 0, false, false, {0, 2}, {}},
      {"one start per tick", {-2, -1, 0}, -3, 0, false, false, {}, 0},
      {"started once", {-1, 0}, -1, 0, true, true, {}, 1},
      {"running, past", {-600}, -1, 0, true, true, {}, {}},
      {"run over, ahead of a clock set back", {h}, 2 * h, 0, true, false, {0}, {}},
      {"running, its second again", {0}, h, 0, true, true, {}, {}},
      {"ahead of a clock set back", {10, 20}, h, 0, false, false, {}, {}},
      {"no start time", {std::nullopt, -100, 0}, -1, 0, false, false, {1}, 2},
  };
  const std::set<std::string> none;
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<TimedSlot> slots;
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < c.offsets.size(); ++i) {
      rows.push_back(std::string(1, static_cast<char>('a' + i)));
      slots.push_back(
          {"", c.offsets[i] ? std::optional(addSeconds(kNoon, *c.offsets[i])) : std::nullopt, 60});
    }
    std::set<StartedItem> started;
    if (c.aStarted) started.insert({"a", noonPlus(c.offsets[0].value_or(0))});
    const auto running = c.aRuns ? std::optional(*started.begin()) : std::nullopt;
    const auto previous = c.previous ? std::optional(noonPlus(*c.previous)) : std::nullopt;
    const TickStep step =
        schedulerStep({slots, rows, previous, noonPlus(c.now), started, running, none});
    EXPECT_EQ(step.expired, c.expired);
    EXPECT_EQ(step.start, c.start);
    // What started is remembered, the new start with it.
    EXPECT_TRUE(
        std::includes(step.started.begin(), step.started.end(), started.begin(), started.end()));
    if (c.start) {
      const auto row = static_cast<std::size_t>(*c.start);
      EXPECT_TRUE(step.started.contains({rows[row], noonPlus(*c.offsets[row])}));
    }
  }
}

// What a step does, in short: "start 0; 0@03-30 12:00:00; missed 0" (row 0
// starts and moves to that time).
std::string told(const TickStep& step) {
  std::string t;
  for (int row : step.expired) t += "expire " + std::to_string(row) + "; ";
  if (step.start) t += "start " + std::to_string(*step.start) + "; ";
  for (const MovedStart& m : step.moved)
    t += std::to_string(m.row) + "@" + dateTimeText(dateTimeOfSeconds(m.second)).substr(5) + "; ";
  return t + "missed " + std::to_string(step.missed);
}

// Repeating items at noon of Sunday 2026-03-29 plus an offset: a started
// one moves on to its next occurrence, one whose start is over moves on
// too and counts the occurrences it missed; none expires.
TEST(SchedulerStep, RepeatingItemsMoveOnInsteadOfExpiring) {
  const int h = 3600, day = 24 * h;
  const auto D = Repeat::Daily, W = Repeat::Weekdays, N = Repeat::None;
  struct Case {
    const char* what;
    std::vector<std::pair<std::optional<int>, Repeat>> items;  // a, b, …
    std::optional<int> previous;
    int now;
    bool aStarted;  // a started at its start, in an earlier tick
    const char* step;
  };
  const int fri = -2 * day;
  const std::vector<Case> cases = {
      {"due", {{0, D}}, -1, 0, false, "start 0; 0@03-30 12:00:00; missed 0"},
      {"caught up", {{-3, D}}, -4, 0, false, "start 0; 0@03-30 11:59:57; missed 0"},
      {"missed while closed", {{-3 * day - h, D}}, {}, 0, false, "0@03-30 11:00:00; missed 4"},
      {"clock jump", {{h, D}}, 0, 2 * day + 2 * h, false, "0@04-01 13:00:00; missed 3"},
      {"Friday", {{fri, W}}, fri - 1, fri, false, "start 0; 0@03-30 12:00:00; missed 0"},
      {"weekly", {{-14 * day - 1, Repeat::Weekly}}, {}, 0, false, "0@04-05 11:59:59; missed 3"},
      {"due, waiting behind a start", {{-1, N}, {0, D}}, -2, 0, false, "start 0; missed 0"},
      {"after an expiry", {{-h, N}, {-h, D}}, -2, 0, false, "expire 0; 1@03-30 11:00:00; missed 1"},
      {"started, not moved yet", {{-600, D}}, -1, 0, true, "0@03-30 11:50:00; missed 0"},
      {"to come", {{10, D}}, -1, 0, false, "missed 0"},
      {"no start time", {{std::nullopt, D}}, -1, 0, false, "missed 0"},
  };

  const std::set<std::string> none;
  for (const Case& c : cases) {
    std::vector<TimedSlot> slots;
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < c.items.size(); ++i) {
      const auto& [offset, repeat] = c.items[i];
      rows.push_back(std::string(1, static_cast<char>('a' + i)));
      slots.push_back(
          {"", offset ? std::optional(addSeconds(kNoon, *offset)) : std::nullopt, 60, repeat});
    }
    std::set<StartedItem> started;
    if (c.aStarted) started.insert({"a", noonPlus(*c.items[0].first)});
    const auto previous = c.previous ? std::optional(noonPlus(*c.previous)) : std::nullopt;
    EXPECT_EQ(
        told(schedulerStep({slots, rows, previous, noonPlus(c.now), started, std::nullopt, none})),
        c.step)
        << c.what;
  }
}

// The rules over generated clocks: ticks every 500 ms with the clock now and
// then set forward (a few seconds, an hour as daylight saving skips one,
// hours as a sleep), set back (an hour as daylight saving repeats one), and
// runs that end at random. Items lie more than the bound apart.
TEST(SchedulerStep, GeneratedClocksStartEachItemAtMostOnceAndNeverSkipAStartSeen) {
  std::mt19937 gen(16);
  const auto below = [&](int n) { return static_cast<int>(gen() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::vector<TimedSlot> slots;
    std::vector<std::string> rows;
    std::int64_t at = noonPlus(below(20));
    const int n = 1 + below(8);
    for (int i = 0; i < n; ++i) {
      at += kCatchUpSeconds + 1 + below(below(2) ? 20 : 4000);
      rows.push_back("item" + std::to_string(i));
      slots.push_back(TimedSlot{"", addSeconds(kNoon, at - secondsOf(kNoon)), 60});
    }
    std::map<std::string, std::int64_t> startOf;
    for (std::size_t i = 0; i < rows.size(); ++i) startOf[rows[i]] = secondsOf(*slots[i].start);

    std::int64_t ms = secondsOf(kNoon) * 1000;
    std::optional<std::int64_t> previous;
    std::set<StartedItem> started;
    std::optional<StartedItem> running;
    std::set<std::string> everStarted;
    std::set<std::string> jumped;
    const std::set<std::string> none;
    for (int t = 0; t < 4000 && !rows.empty(); ++t) {
      const int move = below(100);
      if (move == 0) ms += 1000LL * (kCatchUpSeconds + 1 + below(6 * 3600));   // a sleep
      if (move == 1) ms += 3600'000;                                           // skipped hour
      if (move == 2) ms -= 3600'000;                                           // repeated hour
      if (move == 3) ms += 1000LL * below(static_cast<int>(kCatchUpSeconds));  // busy
      ms += 500;
      const std::int64_t now = ms / 1000;
      if (running && below(20) == 0) running.reset();  // its run ended
      const TickStep step = schedulerStep({slots, rows, previous, now, started, running, none});
      // The running item is never expired.
      for (int r : step.expired)
        EXPECT_FALSE(running && running->name == rows[static_cast<std::size_t>(r)]);
      if (step.start) {
        const std::string& name = rows[static_cast<std::size_t>(*step.start)];
        const std::int64_t second = startOf[name];
        EXPECT_TRUE(everStarted.insert(name).second) << name << " started twice";
        EXPECT_LE(second, now);
        EXPECT_GE(second, now - kCatchUpSeconds);  // caught up within the bound only
        running = StartedItem{name, second};
      }
      // An item leaves the list unstarted only when no tick saw its start
      // within the bound: a jump went over it (or it lay before the first).
      for (const auto& [name, second] : startOf)
        if ((!previous || *previous < second) && second < now - (previous ? kCatchUpSeconds : 0))
          jumped.insert(name);
      for (int r : step.expired) {
        const std::string& name = rows[static_cast<std::size_t>(r)];
        EXPECT_TRUE(everStarted.contains(name) || jumped.contains(name))
            << name << " expired unstarted";
      }
      for (auto it = step.expired.rbegin(); it != step.expired.rend(); ++it) {
        slots.erase(slots.begin() + *it);
        rows.erase(rows.begin() + *it);
      }
      started = step.started;
      previous = now;
    }
  }
}

}  // namespace
}  // namespace temvik
