#include "platform/date_time.h"

#include <cstdio>

namespace temvik {

namespace {

constexpr std::int64_t kDay = 86400;

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
// The month may lie outside 1..12; it carries into the year.
std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
  // Bring the month into 1..12 first.
  y += (m - 1 >= 0 ? (m - 1) / 12 : -((12 - m) / 12));
  m = ((m - 1) % 12 + 12) % 12 + 1;
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

std::int64_t secondsOf(const DateTime& t) {
  return daysFromCivil(t.year, t.month, t.day) * kDay + t.hour * std::int64_t{3600} +
         t.minute * std::int64_t{60} + t.second;
}

DateTime dateTimeOfSeconds(std::int64_t s) {
  std::int64_t days = s / kDay;
  std::int64_t rem = s % kDay;
  if (rem < 0) {
    rem += kDay;
    --days;
  }
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  return {y,
          m,
          d,
          static_cast<int>(rem / 3600),
          static_cast<int>(rem / 60 % 60),
          static_cast<int>(rem % 60)};
}

DateTime addSeconds(const DateTime& t, std::int64_t seconds) {
  return dateTimeOfSeconds(secondsOf(t) + seconds);
}

bool isValidDateTime(const DateTime& t) {
  if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31)
    return false;
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
    return false;
  // A day past the month's end comes back as a day of the next month.
  return dateTimeOfSeconds(secondsOf(t)) == t;
}

std::string dateTimeText(const DateTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::optional<DateTime> parseDateTimeText(std::string_view text) {
  // The stored form, and what an earlier version wrote on a Chinese system:
  // "2026-12-09 06:13:05", "2026/12/9 6:13:05", "2026/12/9 6:13",
  // "2026/12/9" (midnight). The date's parts are separated by '-' or '/',
  // the same both times; the year has four digits, every other part one or
  // two; the time follows after one space, its seconds optional.
  std::size_t at = 0;
  const auto number = [&](std::size_t minDigits, std::size_t maxDigits) -> std::optional<int> {
    int n = 0;
    std::size_t digits = 0;
    while (at < text.size() && digits < maxDigits && text[at] >= '0' && text[at] <= '9') {
      n = n * 10 + (text[at++] - '0');
      ++digits;
    }
    if (digits < minDigits) return std::nullopt;
    return n;
  };
  const auto takes = [&](char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
  };
  const auto year = number(4, 4);
  if (!year || at >= text.size() || (text[at] != '-' && text[at] != '/')) return std::nullopt;
  const char separator = text[at++];
  const auto month = number(1, 2);
  if (!month || !takes(separator)) return std::nullopt;
  const auto day = number(1, 2);
  if (!day) return std::nullopt;
  DateTime t{*year, *month, *day, 0, 0, 0};
  if (at < text.size()) {
    if (!takes(' ')) return std::nullopt;
    const auto hour = number(1, 2);
    if (!hour || !takes(':')) return std::nullopt;
    const auto minute = number(1, 2);
    if (!minute) return std::nullopt;
    t.hour = *hour;
    t.minute = *minute;
    if (takes(':')) {
      const auto second = number(1, 2);
      if (!second) return std::nullopt;
      t.second = *second;
    }
  }
  if (at != text.size() || !isValidDateTime(t)) return std::nullopt;
  return t;
}

}  // namespace temvik
