// ScriptedPrompts: the boxes logged, the answers given from the script.

#include "platform/headless/scripted_prompts.h"

namespace temvik::headless {

void ScriptedPrompts::alert(const Window*, std::string_view text, std::string_view title) {
  shown_.push_back(
      {std::string(text), std::string(title), MessageIcon::None, MessageButtons::Ok, true});
}

MessageAnswer ScriptedPrompts::message(const Window*, std::string_view text, std::string_view title,
                                       MessageIcon icon, MessageButtons buttons) {
  shown_.push_back({std::string(text), std::string(title), icon, buttons});
  if (!whileOpen_.empty()) {
    auto fn = std::move(whileOpen_.front());
    whileOpen_.pop_front();
    fn();
  }
  if (!answers_.empty()) {
    const MessageAnswer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  if (buttons == MessageButtons::YesNoDefaultNo) return MessageAnswer::No;  // its default button
  return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
             ? MessageAnswer::Yes
             : MessageAnswer::Ok;
}

std::optional<std::string> ScriptedPrompts::openFile(const Window*, std::string_view filter,
                                                     std::string_view presetName) {
  lastFilter_ = filter;
  lastPresetName_ = presetName;
  if (!whileFileDialogOpen_.empty()) {
    auto fn = std::move(whileFileDialogOpen_.front());
    whileFileDialogOpen_.pop_front();
    fn();
  }
  if (files_.empty()) return std::nullopt;
  auto f = std::move(files_.front());
  files_.pop_front();
  return f;
}

std::optional<std::string> ScriptedPrompts::saveFile(const Window* owner, std::string_view filter,
                                                     std::string_view presetName) {
  return openFile(owner, filter, presetName);
}

std::vector<std::string> ScriptedPrompts::takeTexts() {
  std::vector<std::string> texts;
  for (auto& s : shown_) texts.push_back(std::move(s.text));
  shown_.clear();
  return texts;
}

}  // namespace temvik::headless
