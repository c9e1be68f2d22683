#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace temvik {

// A prompt point of the item being worked on: name, packed delay and play
// time, sound.
struct PromptPoint {
  std::string name;
  std::int64_t packed = 0;
  std::string sound;
  friend bool operator==(const PromptPoint&, const PromptPoint&) = default;
};

// The option values of the item in the editor. The check boxes show them,
// but these, not the boxes, are what add and save write and what a run
// acts on.
struct ItemOptions {
  bool runProgram = false;
  bool exitApp = false;
  bool endProcesses = false;
  bool forbid = false;
  bool shutdown = false;
  bool restart = false;
  bool logOff = false;
  bool lock = false;
  bool media = true;
  bool useDefault = true;
  std::string programList;
  std::string processList;
  std::string forbiddenList;
  std::string mediaPath;
  long long playSeconds = 10;
  std::vector<PromptPoint> promptPoints;
  friend bool operator==(const ItemOptions&, const ItemOptions&) = default;
};

}  // namespace temvik
