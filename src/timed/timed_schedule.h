#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date_time.h"
#include "store/ini.h"

namespace temvik {

// What the scheduler and the overlap test need of one timed item: its
// start time as stored and as a date-time, and its duration.
struct TimedSlot {
  std::string startText;          // "同步时间" as stored; "" when absent
  std::optional<DateTime> start;  // nothing when the text names no date-time
  std::int64_t durationSeconds = 0;
  friend bool operator==(const TimedSlot&, const TimedSlot&) = default;
};

// One slot per row of the timed list (listItems), in file order, from the
// timed item file as read.
[[nodiscard]] std::vector<TimedSlot> timedSlots(const IniDocument& items);

// The seconds of an item's "时", "分" and "秒", each part its whole value (a
// text that is not a number counts as 0). Values beyond any stored duration
// are held at ±10^9 hours etc., so nothing overflows.
[[nodiscard]] std::int64_t durationSeconds(std::string_view hours, std::string_view minutes,
                                           std::string_view seconds);

// The date of `date` at the time of day h:m:s. Values beyond the usual
// ranges carry over: hour 24 is midnight of the next day, minute -5 five
// minutes before the full hour. Each part is held at ±10^9 first.
[[nodiscard]] DateTime atTimeOfDay(const DateTime& date, long long h, long long m, long long s);

// Whether a new item starting at `start` for `duration` seconds collides
// with the span of a timed item: its start lies inside an existing span,
// start included, or its end lies inside one, end excluded, start included.
// A new span that encloses an existing one is no collision. An item
// without a start time, or whose start text names no date-time, has no
// span and is passed over.
[[nodiscard]] bool overlapsTimedItem(const std::vector<TimedSlot>& slots, const DateTime& start,
                                     std::int64_t duration);

}  // namespace temvik
