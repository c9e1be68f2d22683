#include "platform/date_time.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace temvik {
namespace {

TEST(DateTimeText, RoundTripsGeneratedValuesExactly) {
  std::mt19937_64 random(20261209);
  std::uniform_int_distribution<std::int64_t> anySecond(secondsOf({1, 1, 1, 0, 0, 0}),
                                                        secondsOf({9999, 12, 31, 23, 59, 59}));
  for (int i = 0; i < 20000; ++i) {
    const DateTime t = dateTimeOfSeconds(anySecond(random));
    ASSERT_TRUE(isValidDateTime(t));
    const std::string text = dateTimeText(t);
    ASSERT_EQ(text.size(), 19U) << text;
    const auto back = parseDateTimeText(text);
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(*back, t) << text;
  }
}

TEST(DateTimeText, SortsAsItCompares) {
  const DateTime a{2026, 9, 30, 23, 59, 59};
  const DateTime b{2026, 10, 1, 0, 0, 0};
  EXPECT_LT(a, b);
  EXPECT_LT(dateTimeText(a), dateTimeText(b));
  EXPECT_EQ(dateTimeText(b), "2026-10-01 00:00:00");
}

TEST(DateTimeText, RefusesEveryOtherText) {
  for (const char* text : {"",
                           " 2026-12-09 06:13:05",
                           "2026-12-09 06:13:05 ",
                           "2026/12-09 06:13:05",
                           "2026-12-09  06:13:05",
                           "2026/12/9 6",
                           "2026/12/9 6:13:",
                           "2026/12/9 6:13:5:1",
                           "2026/012/9",
                           "2026/12/9 006:13",
                           "26/12/9",
                           "2026/12/",
                           "2026/12/9 上午 6:13:05",
                           "2026-02-30 00:00:00",
                           "2026-13-01 00:00:00",
                           "2026-12-09 24:00:00",
                           "2026-12-09 23:60:00",
                           "2026-12-09 23:59:60",
                           "0000-01-01 00:00:00",
                           "２０２６-12-09 06:13:05",
                           "2026-12-09T06:13:05",
                           "2026-12-09 06:13:0x",
                           "2026年12月9日 6:13:05",
                           "垃圾"})
    EXPECT_FALSE(parseDateTimeText(text)) << text;
  EXPECT_TRUE(parseDateTimeText("2024-02-29 12:00:00"));
  EXPECT_FALSE(parseDateTimeText("2023-02-29 12:00:00"));
}

// What an earlier version wrote on a Chinese system: '/' or '-' between the
// date's parts, leading zeros or none, seconds or none, the date alone at
// midnight. Each reads as the date-time it was written for.
TEST(DateTimeText, ReadsTheFormsOfAnEarlierVersion) {
  std::uint64_t seed = 20261209;
  const auto next = [&](std::uint64_t below) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return (seed >> 33) % below;
  };
  const auto part = [&](int n) {
    std::string text = std::to_string(n);
    return n < 10 && next(2) == 0 ? "0" + text : text;
  };
  for (int i = 0; i < 3000; ++i) {
    const std::int64_t from = secondsOf({1990, 1, 1, 0, 0, 0});
    const std::int64_t to = secondsOf({2099, 12, 31, 23, 59, 59});
    DateTime t = dateTimeOfSeconds(from + static_cast<std::int64_t>(next(to - from)));
    const std::string separator = next(2) == 0 ? "/" : "-";
    std::string text = std::to_string(t.year) + separator + part(t.month) + separator + part(t.day);
    switch (next(3)) {
      case 0:  // the date alone: midnight
        t.hour = t.minute = t.second = 0;
        break;
      case 1:  // no seconds
        t.second = 0;
        text.append(" ").append(part(t.hour)).append(":").append(part(t.minute));
        break;
      default:
        text.append(" ").append(part(t.hour)).append(":").append(part(t.minute));
        text.append(":").append(part(t.second));
    }
    const auto read = parseDateTimeText(text);
    ASSERT_TRUE(read) << text;
    EXPECT_EQ(*read, t) << text;
  }
  EXPECT_EQ(parseDateTimeText("2026/12/9 10:30:00"), (DateTime{2026, 12, 9, 10, 30, 0}));
  EXPECT_EQ(parseDateTimeText("2026/12/9"), (DateTime{2026, 12, 9, 0, 0, 0}));
  EXPECT_FALSE(parseDateTimeText("2026/2/30"));
  EXPECT_FALSE(parseDateTimeText("2026/12/9 24:00"));
}

TEST(DateTimeArithmetic, CarriesOverEveryField) {
  EXPECT_EQ(addSeconds({2026, 12, 31, 23, 59, 59}, 1), (DateTime{2027, 1, 1, 0, 0, 0}));
  EXPECT_EQ(addSeconds({2024, 3, 1, 0, 0, 0}, -1), (DateTime{2024, 2, 29, 23, 59, 59}));
  // Out-of-range fields count as far as they go.
  EXPECT_EQ(dateTimeOfSeconds(secondsOf({2026, 1, 5, 24, 0, 0})), (DateTime{2026, 1, 6, 0, 0, 0}));
  EXPECT_EQ(dateTimeOfSeconds(secondsOf({2026, 13, 1, 0, -5, 0})),
            (DateTime{2026, 12, 31, 23, 55, 0}));
}

}  // namespace
}  // namespace temvik
