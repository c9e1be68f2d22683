#pragma once

// Web reads through the system's HTTP client (WinHTTP).

#include "platform/network.h"

namespace temvik {

// Each read opens a session of its own, so reads on several threads never
// share a handle, and the object holds no state a read needs; the system's
// proxy settings apply.
class Win32Network final : public Network {
 public:
  [[nodiscard]] NetworkAnswer get(const std::string& address, std::chrono::milliseconds timeout,
                                  std::size_t limit) override;
};

}  // namespace temvik
