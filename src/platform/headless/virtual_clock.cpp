// VirtualClock's time of day.

#include "platform/headless/virtual_clock.h"

namespace temvik::headless {

DateTime VirtualClock::now() const {
  return addSeconds(base_, static_cast<std::int64_t>((nowMs_ - baseMs_) / 1000));
}

void VirtualClock::setNow(const DateTime& t) {
  base_ = t;
  baseMs_ = nowMs_;
}

}  // namespace temvik::headless
