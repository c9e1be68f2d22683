// FakeNetwork: pages served, failures asked for, reads held.

#include "platform/headless/fake_network.h"

namespace temvik::headless {

NetworkAnswer FakeNetwork::get(const std::string& address, std::chrono::milliseconds timeout,
                               std::size_t limit) {
  std::unique_lock lock(mutex_);
  const int read = ++reads_[address];
  lastTimeout_ = timeout;
  lastLimit_ = limit;
  released_.wait(lock, [&] { return !held_; });
  if (const auto once = failOnce_.find(address);
      once != failOnce_.end() && once->second.first == read)
    return {once->second.second};
  const auto page = pages_.find(address);
  if (page == pages_.end()) return {NetworkFailure::NoConnection};
  if (page->second.ok() && page->second.body.size() > limit) return {NetworkFailure::TooLarge, 200};
  return page->second;
}

void FakeNetwork::serve(const std::string& address, std::optional<std::string> body) {
  std::lock_guard lock(mutex_);
  if (body)
    pages_[address] = NetworkAnswer{std::nullopt, 200, std::move(*body)};
  else
    pages_.erase(address);
}

void FakeNetwork::fail(const std::string& address, NetworkFailure failure, int status) {
  std::lock_guard lock(mutex_);
  pages_[address] = NetworkAnswer{failure, status};
}

void FakeNetwork::failOnce(const std::string& address, NetworkFailure failure, int after) {
  std::lock_guard lock(mutex_);
  failOnce_[address] = {reads_[address] + after + 1, failure};
}

void FakeNetwork::hold() {
  std::lock_guard lock(mutex_);
  held_ = true;
}

void FakeNetwork::release() {
  {
    std::lock_guard lock(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

int FakeNetwork::reads(const std::string& address) const {
  std::lock_guard lock(mutex_);
  const auto n = reads_.find(address);
  return n == reads_.end() ? 0 : n->second;
}

std::chrono::milliseconds FakeNetwork::lastTimeout() const {
  std::lock_guard lock(mutex_);
  return lastTimeout_;
}

std::size_t FakeNetwork::lastLimit() const {
  std::lock_guard lock(mutex_);
  return lastLimit_;
}

}  // namespace temvik::headless
