#pragma once

// Internal to HeadlessWindow, whose members are defined in the files
// headless_window.h names: what more than one of them uses.

#include <optional>

#include "platform/date_time.h"

namespace temvik::headless {

// The date of `t` at 00:00:00, when it is a real day a calendar can show.
inline std::optional<DateTime> calendarDay(const DateTime& t) {
  if (t.year < 1601 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1) return {};
  const DateTime day{t.year, t.month, t.day, 0, 0, 0};
  if (!isValidDateTime(day)) return {};
  return day;
}

}  // namespace temvik::headless
