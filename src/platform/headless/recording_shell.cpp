// RecordingShell: every open and run recorded.

#include "platform/headless/recording_shell.h"

namespace temvik::headless {

bool RecordingShell::open(const std::string& path) {
  calls_.push_back("open:" + path);
  if (journal) journal->push_back(calls_.back());
  return opens;
}

bool RecordingShell::run(const std::string& commandLine) {
  calls_.push_back("run:" + commandLine);
  if (journal) journal->push_back(calls_.back());
  return true;
}

}  // namespace temvik::headless
