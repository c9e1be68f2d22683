#include "platform/prompts.h"

namespace temvik {

std::string filledText(std::string_view text, std::initializer_list<std::string_view> values) {
  constexpr std::string_view kSlot = "{}";
  std::string filled;
  filled.reserve(text.size());
  std::size_t from = 0;
  for (std::string_view value : values) {
    const std::size_t slot = text.find(kSlot, from);
    if (slot == std::string_view::npos) break;
    filled.append(text.substr(from, slot - from)).append(value);
    from = slot + kSlot.size();
  }
  return filled.append(text.substr(from));
}

MessageAnswer show(Prompts& prompts, const Window* owner, const Message& message,
                   std::initializer_list<std::string_view> values) {
  if (values.size() == 0)
    return prompts.message(owner, message.text, message.title, message.icon, message.buttons);
  return prompts.message(owner, filledText(message.text, values), message.title, message.icon,
                         message.buttons);
}

}  // namespace temvik
