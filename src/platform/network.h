#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace temvik {

// Web reads. Called from worker threads: an implementation must be safe to
// use from several threads at once, and never blocks longer than the
// timeout it is given.
class Network {
 public:
  virtual ~Network() = default;
  // The body of a GET request to an http or https address; nothing when the
  // address cannot be read (no connection, no answer in time, a status other
  // than 200).
  [[nodiscard]] virtual std::optional<std::string> get(const std::string& address,
                                                       std::chrono::milliseconds timeout) = 0;
};

}  // namespace temvik
