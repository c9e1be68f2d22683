#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date_time.h"
#include "store/ini.h"
#include "timed/repeat.h"

namespace temvik {

// What the scheduler and the overlap test need of one timed item: its
// start time as stored and as a date-time, its duration and its repeat.
struct TimedSlot {
  std::string startText;  // "同步时间" as stored; "" when absent
  // Nothing when the text names no date-time. A repeating item's first
  // occurrence, which its stored start is unless that day does not qualify.
  std::optional<DateTime> start;
  std::int64_t durationSeconds = 0;
  Repeat repeat = Repeat::None;
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
// A new span that encloses an existing one is no collision. A repeating
// item has a span at each of its occurrences; an item without a start
// time, or whose start text names no date-time, has none and is passed over.
[[nodiscard]] bool overlapsTimedItem(const std::vector<TimedSlot>& slots, const DateTime& start,
                                     std::int64_t duration);

// --- the scheduler's step

// How far back a tick catches up a start it did not see: a start at most
// this many seconds before the tick's second (a busy program, a tick's
// message box). Starts further back were skipped by a jump of the clock
// (set forward, a resume from sleep, a skipped daylight-saving hour) and
// expire.
inline constexpr std::int64_t kCatchUpSeconds = 5;

// An item a tick started: its row's name and its start second. A clock set
// back brings that second again; the item does not start twice.
struct StartedItem {
  std::string name;
  std::int64_t second = 0;
  friend auto operator<=>(const StartedItem&, const StartedItem&) = default;
};

// What one tick sees.
struct TickInput {
  const std::vector<TimedSlot>& slots;  // one per row
  const std::vector<std::string>& rows;
  std::optional<std::int64_t> previous;  // the second of the previous tick
  std::int64_t now = 0;
  const std::set<StartedItem>& started;
  // The item whose run is on: it is never expired under it.
  std::optional<StartedItem> running;
  // Rows whose expiry could not be written: not tried again.
  const std::set<std::string>& unremovable;
};

// A repeating item's start moved on to its next occurrence.
struct MovedStart {
  int row = 0;
  std::int64_t second = 0;
  friend bool operator==(const MovedStart&, const MovedStart&) = default;
};

// What the tick does: the rows to remove (ascending, as shown), the row to
// start (as shown before the removal), the repeating rows whose start moves
// on (ascending), how many of their occurrences passed unstarted, and the
// started items still to be remembered.
struct TickStep {
  std::vector<int> expired;
  std::optional<int> start;
  std::vector<MovedStart> moved;
  std::int64_t missed = 0;
  std::set<StartedItem> started;
  friend bool operator==(const TickStep&, const TickStep&) = default;
};

// One tick of the scheduler. The walk goes down the rows: an item that is
// over (past and not to be caught up, or started and its run no longer
// on) expires, and the item that moves up into its place is only tested
// for being due. Due is a start not started yet, not after now and not
// more than kCatchUpSeconds before it (the first tick catches up nothing).
// The first due item of the walk starts; the others wait for the next
// tick. Items without a start time are passed over.
//
// A repeating item never expires: once it starts, or once it is over as
// another would be, its start moves to its first occurrence after now, and
// the occurrences up to now that did not start count as missed.
[[nodiscard]] TickStep schedulerStep(const TickInput& in);

}  // namespace temvik
