#include "timed/repeat.h"

#include <algorithm>

#include "store/plan_store.h"

namespace temvik {

namespace {

constexpr std::int64_t kDay = 86400;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return q * b > a ? q - 1 : q;
}

// Days are counted from 1970-01-01, a Thursday; 1970-01-05 was a Monday.
constexpr std::int64_t kFirstMonday = 4;
// 0 for Monday … 6 for Sunday.
std::int64_t weekday(std::int64_t day) {
  return day - kFirstMonday - 7 * floorDiv(day - kFirstMonday, 7);
}
// Monday to Friday before `day`, counted from the first Monday (negative
// before it), so that the difference of two counts is the working days
// between them.
std::int64_t workingDaysBefore(std::int64_t day) {
  const std::int64_t weeks = floorDiv(day - kFirstMonday, 7);
  return 5 * weeks + std::min<std::int64_t>(weekday(day), 5);
}

}  // namespace

Repeat repeatOfText(std::string_view stored) {
  if (stored == kRepeatDaily) return Repeat::Daily;
  if (stored == kRepeatWeekdays) return Repeat::Weekdays;
  if (stored == kRepeatWeekly) return Repeat::Weekly;
  return Repeat::None;
}

std::string_view repeatText(Repeat repeat) {
  switch (repeat) {
    case Repeat::Daily:
      return kRepeatDaily;
    case Repeat::Weekdays:
      return kRepeatWeekdays;
    case Repeat::Weekly:
      return kRepeatWeekly;
    case Repeat::None:
      break;
  }
  return "";
}

Occurrences nextOccurrence(std::int64_t start, Repeat repeat, std::int64_t after) {
  if (repeat == Repeat::None) return {start, start <= after ? 1 : 0};
  const std::int64_t first = floorDiv(start, kDay);
  const std::int64_t timeOfDay = start - first * kDay;
  // The first day whose time of day lies after `after`, not before the start's.
  const std::int64_t day = std::max(first, floorDiv(after - timeOfDay, kDay) + 1);
  switch (repeat) {
    case Repeat::Daily:
      return {day * kDay + timeOfDay, day - first};
    case Repeat::Weekly: {
      const std::int64_t weeks = floorDiv(day - first + 6, 7);
      return {(first + 7 * weeks) * kDay + timeOfDay, weeks};
    }
    case Repeat::Weekdays: {
      const std::int64_t w = weekday(day);
      const std::int64_t next = day + (w == 5 ? 2 : w == 6 ? 1 : 0);
      return {next * kDay + timeOfDay, workingDaysBefore(day) - workingDaysBefore(first)};
    }
    case Repeat::None:
      break;
  }
  return {start, 0};
}

}  // namespace temvik
