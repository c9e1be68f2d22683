// FakeProcesses: the table the test fills.

#include "platform/headless/fake_processes.h"

#include <utility>

namespace temvik::headless {

std::vector<ProcessEntry> FakeProcesses::list() const {
  ++snapshots_;
  return table_;
}

bool FakeProcesses::terminate(std::uint32_t id) {
  for (auto it = table_.begin(); it != table_.end(); ++it) {
    if (it->id != id) continue;
    if (journal) journal->push_back("end:" + it->exeName);
    table_.erase(it);
    return true;
  }
  return false;
}

std::uint32_t FakeProcesses::start(std::string exeName) {
  table_.push_back({next_, std::move(exeName)});
  return next_++;
}

bool FakeProcesses::running(std::string_view exeName) const {
  for (const auto& p : table_)
    if (p.exeName == exeName) return true;
  return false;
}

}  // namespace temvik::headless
