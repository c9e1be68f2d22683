#pragma once

// RecordingPower: the headless power actions, recorded rather than carried
// out (the Win32 twin: Win32Power in win32_system.cpp).

#include <functional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace temvik::headless {

class RecordingPower final : public Power {
 public:
  void request(PowerAction action) override;
  std::vector<PowerAction> requests;
  std::function<void(PowerAction)> onRequest;  // runs as a request arrives
  std::vector<std::string>* journal = nullptr;
};

}  // namespace temvik::headless
