// RecordingPower: every request recorded.

#include "platform/headless/recording_power.h"

#include <string>

namespace temvik::headless {

void RecordingPower::request(PowerAction action) {
  requests.push_back(action);
  if (onRequest) onRequest(action);
  if (journal) journal->push_back("power:" + std::to_string(static_cast<int>(action)));
}

}  // namespace temvik::headless
