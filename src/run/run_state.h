#pragma once

#include <string>

#include "run/duration.h"
#include "ui/main/item_editor.h"

namespace temvik {

enum class RunKind { Sequential, Timed };

// The one running item: its remaining time, content and options.
struct RunState {
  Duration remaining;
  std::string content;
  RunKind kind = RunKind::Sequential;
  int position = 0;  // list index of the running sequential item
  long long playSeconds = 10;
  EditorValues options;    // completion options, lists and prompt points
  std::string startSound;  // timed items: played when the item starts
};

}  // namespace temvik
