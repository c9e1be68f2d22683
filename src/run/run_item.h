#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/item_options.h"
#include "store/messages.h"

namespace temvik {

// An item as the editor shows it once loaded: the texts as typed, the ticks
// of its check boxes and the option values. The start checks look at what
// the user sees; the run acts on the option values.
struct RunItem {
  std::string content;
  std::string hours;
  std::string minutes;
  std::string seconds;
  std::string playTime;   // the play-time box
  std::string mediaPath;  // the media path box
  struct Ticks {
    bool runProgram = false;
    bool exitWhenDone = false;
    bool endProcesses = false;
    bool forbid = false;
    bool media = false;
    bool useDefault = false;
    friend bool operator==(const Ticks&, const Ticks&) = default;
  } ticked;
  ItemOptions options;
  friend bool operator==(const RunItem&, const RunItem&) = default;
};

// Why an item cannot start: the text and the title of its box
// (kStartRefused, run/messages.h).
struct StartRefusal {
  std::string_view text;
  std::string_view title;
  friend bool operator==(const StartRefusal&, const StartRefusal&) = default;
};

// Why the numbers typed for an item cannot be counted: its duration, and
// its play time when the end sound plays. Add, save and the start checks
// refuse such an item with this message.
[[nodiscard]] std::optional<std::string_view> numberProblem(const RunItem& item);

// The start checks of one item, in their order; nothing when it may run.
[[nodiscard]] std::optional<StartRefusal> startRefusal(const RunItem& item);

}  // namespace temvik
