#pragma once

// RecordingShell: the headless shell (the Win32 twin: Win32Shell in
// win32_system.cpp).

#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"

namespace temvik::headless {

// Records what was opened and run.
class RecordingShell final : public Shell {
 public:
  bool open(const std::string& path) override;
  bool run(const std::string& commandLine) override;
  // False: every open fails, as for a file no program is set to open.
  bool opens = true;
  // "open:<path>" and "run:<command line>", in order; cleared when read.
  std::vector<std::string> take() { return std::exchange(calls_, {}); }
  [[nodiscard]] const std::vector<std::string>& calls() const { return calls_; }
  // Every call is also appended here (shared with the other fakes).
  std::vector<std::string>* journal = nullptr;

 private:
  std::vector<std::string> calls_;
};

}  // namespace temvik::headless
