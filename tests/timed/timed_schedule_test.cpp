#include "timed/timed_schedule.h"

#include <array>
#include <gtest/gtest.h>
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

}  // namespace
}  // namespace temvik
