#include "store/comma_list.h"

#include "store/text.h"

namespace temvik {

std::vector<std::string> commaListEntries(std::string_view list) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  for (std::size_t comma = list.find(','); comma != std::string_view::npos;
       comma = list.find(',', start)) {
    const std::string_view entry = list.substr(start, comma - start);
    if (!trimBlanks(entry).empty()) entries.emplace_back(entry);
    start = comma + 1;
  }
  return entries;
}

bool namesNothing(std::string_view list) { return commaListEntries(list).empty(); }

std::string committedCommaList(std::string text) {
  if (text.empty() || text.back() != ',') text += ',';
  return text;
}

}  // namespace temvik
