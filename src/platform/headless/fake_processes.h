#pragma once

// FakeProcesses: the headless process table (the Win32 twin: Win32Processes
// in win32_system.cpp).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"

namespace temvik::headless {

// A process table the test fills; terminated processes leave it.
class FakeProcesses final : public Processes {
 public:
  static constexpr std::uint32_t kSelf = 4242;
  [[nodiscard]] std::vector<ProcessEntry> list() const override;
  [[nodiscard]] std::uint32_t currentId() const override { return kSelf; }
  bool terminate(std::uint32_t id) override;
  std::uint32_t start(std::string exeName);
  [[nodiscard]] bool running(std::string_view exeName) const;
  [[nodiscard]] int snapshots() const { return snapshots_; }
  std::vector<std::string>* journal = nullptr;

 private:
  std::vector<ProcessEntry> table_{{kSelf, "temvik.exe"}};
  std::uint32_t next_ = 100;
  mutable int snapshots_ = 0;
};

}  // namespace temvik::headless
