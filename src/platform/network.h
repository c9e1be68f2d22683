#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace temvik {

// Why a web read brought no body.
enum class NetworkFailure {
  BadAddress,    // not an http or https address
  NameNotFound,  // the server's name is known to no name server
  NoConnection,  // no connection came about (refused, unreachable, no network)
  TimedOut,      // the whole answer did not come in time
  Status,        // the server answered with a status other than 200
  TooLarge,      // the body is longer than the read allows
  Interrupted,   // the connection broke off before the whole answer came
};

// The outcome of one read: the whole body, or why there is none.
struct NetworkAnswer {
  std::optional<NetworkFailure> failure;  // nothing: `body` is the whole answer
  int status = 0;                         // the HTTP status, when one came
  std::string body;
  [[nodiscard]] bool ok() const { return !failure; }
};

// Web reads. Called from worker threads: an implementation must be safe to
// use from several threads at once. A read gives up about `timeout` after
// it began, however slowly the answer comes, and never holds more than
// `limit` bytes of body.
class Network {
 public:
  virtual ~Network() = default;
  // A GET request to an http or https address.
  [[nodiscard]] virtual NetworkAnswer get(const std::string& address,
                                          std::chrono::milliseconds timeout, std::size_t limit) = 0;
};

}  // namespace temvik
