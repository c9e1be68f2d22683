// RecordingPower: every request recorded. RecordingAutoStart: the entry in
// memory.

#include "platform/headless/recording_power.h"

#include <string>

namespace temvik::headless {

void RecordingPower::request(PowerAction action) {
  requests.push_back(action);
  if (onRequest) onRequest(action);
  if (journal) journal->push_back("power:" + std::to_string(static_cast<int>(action)));
}

bool RecordingAutoStart::setCommand(const std::string& commandLine) {
  if (refuses) return false;
  entry = commandLine;
  return true;
}

bool RecordingAutoStart::remove() {
  if (refuses) return false;
  entry.reset();
  return true;
}

}  // namespace temvik::headless
