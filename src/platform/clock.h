#pragma once

#include <cstdint>

#include "platform/date_time.h"

namespace temvik {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local wall-clock time.
  [[nodiscard]] virtual DateTime now() const = 0;
  // Milliseconds since an arbitrary start; never goes back.
  [[nodiscard]] virtual std::uint64_t monotonicMs() const = 0;
};

}  // namespace temvik
