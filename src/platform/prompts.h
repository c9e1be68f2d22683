#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace temvik {

class Window;

enum class MessageIcon { None, Information, Question, Warning, Error };
// YesNoDefaultNo: 是 and 否 with 否 the default button, for a question whose
// 是 cannot be undone.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Modal message boxes and the common file dialogs.
class Prompts {
 public:
  virtual ~Prompts() = default;

  // An empty title leaves the box with the program's own title.
  virtual MessageAnswer message(const Window* owner, std::string_view text, std::string_view title,
                                MessageIcon icon, MessageButtons buttons) = 0;

  // A box with an OK button and no icon that stays above every program's
  // windows until it is answered (system-modal); returns once it is.
  virtual void alert(const Window* owner, std::string_view text, std::string_view title) = 0;

  // `filter` has the form "描述|*.ext|描述|*.ext". Returns the chosen path,
  // or nothing when the user cancels.
  virtual std::optional<std::string> openFile(const Window* owner, std::string_view filter,
                                              std::string_view presetName) = 0;
  virtual std::optional<std::string> saveFile(const Window* owner, std::string_view filter,
                                              std::string_view presetName) = 0;
};

// One message box: its text, its title (empty: the program's own), its icon
// and its buttons. Every box the program shows is a named Message in the
// messages.h of the layer that shows it; a text made at run time keeps its
// fixed part there, with "{}" where show() puts each value.
struct Message {
  std::string_view text;
  std::string_view title;
  MessageIcon icon;
  MessageButtons buttons;
};

// `text` with each "{}", in turn, made the next of `values`, taken as it
// stands (a "{}" in a value stays); a "{}" left without a value stays too.
[[nodiscard]] std::string filledText(std::string_view text,
                                     std::initializer_list<std::string_view> values);

// Shows the box and returns the answer, its text filled with `values` as
// filledText fills it.
MessageAnswer show(Prompts& prompts, const Window* owner, const Message& message,
                   std::initializer_list<std::string_view> values = {});

// A file dialog that remembers its last chosen name, as a dialog object on a
// form does: after a cancel, fileName() still holds the earlier choice.
class FileDialog {
 public:
  enum class Kind { Open, Save };
  FileDialog(Kind kind, std::string filter) : kind_(kind), filter_(std::move(filter)) {}

  // True when the user chose a file.
  bool run(Prompts& prompts, const Window* owner) {
    auto chosen = kind_ == Kind::Open ? prompts.openFile(owner, filter_, fileName_)
                                      : prompts.saveFile(owner, filter_, fileName_);
    if (!chosen) return false;
    fileName_ = std::move(*chosen);
    return true;
  }
  // The name the dialog proposes the next time it opens.
  void preset(std::string fileName) { fileName_ = std::move(fileName); }
  [[nodiscard]] const std::string& fileName() const { return fileName_; }
  [[nodiscard]] const std::string& filter() const { return filter_; }

 private:
  Kind kind_;
  std::string filter_;
  std::string fileName_;
};

}  // namespace temvik
