#pragma once

// RecordingPower: the headless power actions, recorded rather than carried
// out, and the computer's sleep as the program asked for it (the Win32
// twin: Win32Power in win32_system.cpp).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace temvik::headless {

class RecordingPower final : public Power {
 public:
  void request(PowerAction action) override;
  void holdAwake(bool on) override { awake = on; }
  void wakeFor(std::optional<DateTime> start) override { wake = start; }
  std::vector<PowerAction> requests;
  std::function<void(PowerAction)> onRequest;  // runs as a request arrives
  std::vector<std::string>* journal = nullptr;
  bool awake = false;            // the computer is held awake
  std::optional<DateTime> wake;  // the start a sleeping computer wakes for
};

// RecordingAutoStart: the log-on entry as a value in memory (the Win32
// twin: Win32AutoStart in win32_system.cpp).
class RecordingAutoStart final : public AutoStart {
 public:
  [[nodiscard]] std::optional<std::string> command() const override { return entry; }
  bool setCommand(const std::string& commandLine) override;
  bool remove() override;
  std::optional<std::string> entry;
  bool refuses = false;  // every write and removal fails, as for a locked-down account
};

}  // namespace temvik::headless
