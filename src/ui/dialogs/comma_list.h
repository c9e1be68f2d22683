#pragma once

#include <string>

namespace temvik {

// A list of programs or process names as one text in which every entry is
// followed by ",". What a chooser's "确定" stores: a text that already ends
// with "," stays as it is, any other gets one (an empty text becomes ",").
// Entries are taken as typed, neither trimmed nor checked.
[[nodiscard]] inline std::string committedCommaList(std::string text) {
  if (text.empty() || text.back() != ',') text += ',';
  return text;
}

}  // namespace temvik
