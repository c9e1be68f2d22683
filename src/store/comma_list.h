#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace temvik {

// A list of programs or process names as one text in which every entry is
// followed by ",". Entries are kept as typed, neither trimmed nor checked;
// but text after the last comma is no entry, and neither is one of blanks
// only (store/text.h), so "," or " , ," names nothing.

// The entries of a list, in order: what a run opens, ends or forbids.
[[nodiscard]] std::vector<std::string> commaListEntries(std::string_view list);

// True when the list names nothing: the start checks take it as empty.
[[nodiscard]] bool namesNothing(std::string_view list);

// What a chooser's "确定" stores: a text that already ends with "," stays as
// it is, any other gets one (an empty text becomes ",", which names nothing).
[[nodiscard]] std::string committedCommaList(std::string text);

}  // namespace temvik
