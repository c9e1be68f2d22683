#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace temvik {

// A calendar date and time of day to the whole second, local time.
struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

// Seconds since 1970-01-01 00:00:00 of the proleptic Gregorian calendar.
// Fields beyond their usual ranges carry over (hour 24 is midnight of the
// next day, minute -5 five minutes before the full hour), so any value
// counts; an ordinary date-time compares as its count does.
[[nodiscard]] std::int64_t secondsOf(const DateTime& t);
// The date-time a count of secondsOf stands for.
[[nodiscard]] DateTime dateTimeOfSeconds(std::int64_t seconds);
// `t` moved by a number of seconds, carrying into minutes, hours and days.
[[nodiscard]] DateTime addSeconds(const DateTime& t, std::int64_t seconds);
// A date that exists (years 1 to 9999) and a time of day 00:00:00 to 23:59:59.
[[nodiscard]] bool isValidDateTime(const DateTime& t);

// The stored text form: "2026-12-09 06:13:05", always 19 characters with
// leading zeros, so that it reads back exactly and sorts as it compares.
// Only for valid date-times.
[[nodiscard]] std::string dateTimeText(const DateTime& t);
// The date-time a stored start text names: that form, or one an earlier
// version wrote on a Chinese system ("2026/12/9 6:13:05", "2026-12-9 6:13",
// "2026/12/9" for midnight: '-' or '/' between the date's parts, leading
// zeros optional but in the year, seconds and the whole time optional).
// Nothing for any other text (another layout, a day the month lacks,
// 24:00:00, blanks around it).
[[nodiscard]] std::optional<DateTime> parseDateTimeText(std::string_view text);

}  // namespace temvik
