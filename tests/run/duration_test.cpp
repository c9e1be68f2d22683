#include "run/duration.h"

#include <gtest/gtest.h>

#include "run/end_actions.h"

namespace temvik {
namespace {

TEST(DurationTest, NormalizationCarriesWithoutChangingTheTotal) {
  EXPECT_EQ(normalized({0, 59, 90}), (Duration{1, 0, 30}));
  EXPECT_EQ(normalized({0, 119, 60}), (Duration{2, 0, 0}));
  EXPECT_EQ(normalized({30, 0, 0}), (Duration{30, 0, 0}));
  EXPECT_EQ(normalized({0, 0, 3661}), (Duration{1, 1, 1}));
  EXPECT_EQ(totalMs({0, 59, 90}), totalMs(normalized({0, 59, 90})));
}

TEST(DurationTest, TotalsOfZeroOrLessAreZero) {
  EXPECT_EQ(totalMs({0, 0, 0}), 0u);
  EXPECT_EQ(totalMs({-1, 30, 0}), 0u);
  EXPECT_EQ(totalMs({700, 0, 0}), 700ULL * 3600 * 1000);
}

TEST(DurationTest, CountdownBorrowsFromMinutesAndHours) {
  Duration d{1, 0, 0};
  countDownOneSecond(d);
  EXPECT_EQ(d, (Duration{0, 59, 59}));
  countDownOneSecond(d);
  EXPECT_EQ(d, (Duration{0, 59, 58}));
  Duration last{0, 0, 1};
  countDownOneSecond(last);
  EXPECT_EQ(last, (Duration{0, 0, 0}));
}

TEST(CommaListTest, OnlyTextBeforeACommaIsAnEntry) {
  EXPECT_EQ(commaListEntries("a.exe,b.exe"), std::vector<std::string>{"a.exe"});
  EXPECT_EQ(commaListEntries("a.exe,b.exe,"), (std::vector<std::string>{"a.exe", "b.exe"}));
  EXPECT_TRUE(commaListEntries("game.exe").empty());
  EXPECT_TRUE(commaListEntries("").empty());
}

TEST(MediaTest, SoundsPlayAndEverythingElseOpens) {
  EXPECT_TRUE(isPlayableSound("C:\\a\\铃.MP3"));
  EXPECT_TRUE(isPlayableSound("x.wav"));
  EXPECT_TRUE(isPlayableSound("x.mid"));
  EXPECT_FALSE(isPlayableSound("x.jpg"));
  EXPECT_FALSE(isPlayableSound("x.mp4"));
}

}  // namespace
}  // namespace temvik
