#pragma once

// ScriptedPrompts: the headless message boxes and file dialogs (the Win32
// twin: win32_prompts.cpp).

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompts.h"

namespace temvik::headless {

// Message boxes and file dialogs with scripted answers; every box is logged.
class ScriptedPrompts final : public Prompts {
 public:
  struct Shown {
    std::string text;
    std::string title;
    MessageIcon icon;
    MessageButtons buttons;
    bool systemModal = false;  // an alert
  };
  MessageAnswer message(const Window* owner, std::string_view text, std::string_view title,
                        MessageIcon icon, MessageButtons buttons) override;
  void alert(const Window* owner, std::string_view text, std::string_view title) override;
  std::optional<std::string> openFile(const Window* owner, std::string_view filter,
                                      std::string_view presetName) override;
  std::optional<std::string> saveFile(const Window* owner, std::string_view filter,
                                      std::string_view presetName) override;

  // Answers for the next boxes, in order; without one a box gets its
  // default button (OK or Yes; No for YesNoDefaultNo).
  void answer(MessageAnswer a) { answers_.push_back(a); }
  // The next file dialog returns this (nothing = cancel).
  void chooseFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
  // Runs `fn` while the next box is open, as the nested loop of a real box
  // runs timers and posts (a test advances time there).
  void whileNextOpen(std::function<void()> fn) { whileOpen_.push_back(std::move(fn)); }
  // The same for the next file dialog.
  void whileNextFileDialogOpen(std::function<void()> fn) {
    whileFileDialogOpen_.push_back(std::move(fn));
  }

  [[nodiscard]] const std::vector<Shown>& shown() const { return shown_; }
  // Texts of the boxes shown so far, cleared.
  std::vector<std::string> takeTexts();
  void clear() { shown_.clear(); }
  [[nodiscard]] const std::string& lastFilter() const { return lastFilter_; }
  // The file name the last file dialog opened with.
  [[nodiscard]] const std::string& lastPresetName() const { return lastPresetName_; }

 private:
  std::deque<MessageAnswer> answers_;
  std::deque<std::optional<std::string>> files_;
  std::deque<std::function<void()>> whileOpen_;
  std::deque<std::function<void()>> whileFileDialogOpen_;
  std::vector<Shown> shown_;
  std::string lastFilter_;
  std::string lastPresetName_;
};

}  // namespace temvik::headless
