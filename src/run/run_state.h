#pragma once

#include <string>

#include "run/duration.h"
#include "store/item_options.h"

namespace temvik {

enum class RunKind { Sequential, Timed };

// The one running item: its remaining time, content and options.
struct RunState {
  Duration remaining;
  std::string content;
  RunKind kind = RunKind::Sequential;
  int position = 0;        // list index of the running sequential item
  ItemOptions options;     // completion options, lists, play time and prompt points
  std::string startSound;  // timed items: played when the item starts
};

}  // namespace temvik
