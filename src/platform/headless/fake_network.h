#pragma once

// FakeNetwork: the headless web reads (the Win32 twin: win32_network.{h,cpp}).

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/network.h"

namespace temvik::headless {

// Web pages the test serves. A held address answers only once the test
// releases it, so a test can watch the program while a read is under way.
// An address never served cannot be connected to.
class FakeNetwork final : public Network {
 public:
  NetworkAnswer get(const std::string& address, std::chrono::milliseconds timeout,
                    std::size_t limit) override;
  // What `address` answers from now on (nothing: it cannot be connected to).
  // A body longer than a read's limit fails it as too large.
  void serve(const std::string& address, std::optional<std::string> body);
  // `address` fails from now on, as `failure` (with `status` for a status).
  void fail(const std::string& address, NetworkFailure failure, int status = 0);
  // Only the read of `address` after the next `after` ones fails, as
  // `failure`; the others answer as served.
  void failOnce(const std::string& address, NetworkFailure failure, int after = 0);
  void hold();
  void release();
  [[nodiscard]] int reads(const std::string& address) const;
  [[nodiscard]] std::chrono::milliseconds lastTimeout() const;
  [[nodiscard]] std::size_t lastLimit() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::map<std::string, NetworkAnswer> pages_;
  std::map<std::string, int> reads_;
  std::map<std::string, std::pair<int, NetworkFailure>> failOnce_;  // read number, failure
  std::chrono::milliseconds lastTimeout_{0};
  std::size_t lastLimit_ = 0;
};

}  // namespace temvik::headless
