#pragma once

#include "platform/window.h"
#include "run/run_item.h"
#include "store/plan_store.h"
#include "store/store_error.h"

namespace temvik {

// What the timed plan needs of the main window it lives in: the editor and
// the sequential list, which belong to the main window. The main window
// implements it; the timed plan reaches them only through it.
class TimedHost {
 public:
  virtual ~TimedHost() = default;
  [[nodiscard]] virtual Window& mainWindow() = 0;
  // The sequential item load of a row: the row is selected and in the editor.
  virtual void loadSequentialRow(int row) = 0;
  // The sequential save of the editor into the selected sequential row.
  virtual void saveSequential() = 0;
  // Fills the sequential list afresh from its files.
  virtual void refillSequential() = 0;
  // Blanks the editor and clears the selection of both lists.
  virtual void resetEditor() = 0;
  // Fills the reset editor from a record; a locked plan keeps it read-only.
  virtual void loadEditor(const ItemRecord& item) = 0;
  // The editor's item, as a save writes it and as a run takes it.
  [[nodiscard]] virtual ItemRecord editorRecord() const = 0;
  [[nodiscard]] virtual RunItem editorItem() const = 0;
  // Shows the plan names in the title and the group captions.
  virtual void showPlanNames(const PlanNames& names) = 0;
  // A plan file failed in a window of the timed plan: the one message, and
  // the lists as the files hold them.
  virtual void storeFailed(const StoreError& error) = 0;
};

}  // namespace temvik
