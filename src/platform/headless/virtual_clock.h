#pragma once

// VirtualClock: the headless clock; HeadlessUi::advance moves it on, setNow
// sets the time of day it shows (the Win32 twin: win32_clock.cpp).

#include <cstdint>

#include "platform/clock.h"

namespace temvik::headless {

class HeadlessUi;

class VirtualClock final : public Clock {
 public:
  [[nodiscard]] DateTime now() const override;
  [[nodiscard]] std::uint64_t monotonicMs() const override { return nowMs_; }
  void setNow(const DateTime& t);

 private:
  friend class HeadlessUi;
  std::uint64_t nowMs_ = 0;
  DateTime base_{2026, 1, 1, 8, 0, 0};
  std::uint64_t baseMs_ = 0;
};

}  // namespace temvik::headless
