#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window.h"
#include "run/run_item.h"

namespace temvik {

// What a run needs of the window it starts from. The main window
// implements it; a run reaches the lists and the editor only through it.
class RunHost {
 public:
  virtual ~RunHost() = default;
  // The window the run's windows belong to; hidden while an item runs.
  [[nodiscard]] virtual Window& mainWindow() = 0;
  // The rows of the sequential list as shown.
  [[nodiscard]] virtual int sequentialCount() const = 0;
  [[nodiscard]] virtual std::vector<std::string> sequentialRows() const = 0;
  // Every row's item as the editor would show it once loaded, from one
  // read of the item file: what the start checks look at.
  [[nodiscard]] virtual std::vector<RunItem> sequentialItems() const = 0;
  // Selects a row of the sequential list and loads it into the editor;
  // gives the item as the editor then shows it.
  virtual RunItem loadSequential(int row) = 0;
  // The item the editor holds now (a timed item loaded to start).
  [[nodiscard]] virtual RunItem editorItem() const = 0;
  // Fill a list again from its files.
  virtual void refillSequential() = 0;
  virtual void refillTimed() = 0;
  // "继续未完成" is offered by the rows now shown.
  virtual void applyResumeRule() = 0;
  // Closes the window's own dialogs that give way to a timed item
  // starting: the rename dialog, the program chooser, the password dialog,
  // the two process choosers and the prompt-point editor.
  virtual void closeDialogsForTimedStart() = 0;
  // Asks for the administrator password in a dialog modal to `owner`
  // (strict mode). `granted` runs once the right one was given, from the
  // message loop after the dialog closed; a wrong answer or a closed
  // dialog changes nothing.
  virtual void confirmAdministrator(Window& owner, std::function<void()> granted) = 0;
};

}  // namespace temvik
