#pragma once

#include <string>
#include <string_view>

#include "platform/services.h"
#include "store/app_state.h"
#include "store/plan_store.h"
#include "ui/dialogs/rename_dialog.h"

namespace temvik {

// What the plan menu needs of the main window.
class PlanMenuHost {
 public:
  virtual ~PlanMenuHost() = default;
  virtual Window& mainWindow() = 0;
  [[nodiscard]] virtual int partRows(PlanPart part) const = 0;
  // Takes the names into the program's state and shows them in the title and
  // the group captions.
  virtual void showPlanNames(const PlanNames& names) = 0;
  virtual void resetEditor() = 0;
  // Loads the part's list from its file afresh, no row selected, and applies
  // the resume rule.
  virtual void reloadPart(PlanPart part) = 0;
  // After a sequential import: asks for the imported plan's password, as at
  // start-up, and locks the editor without the right one.
  virtual void askImportedPassword() = 0;
};

// The menu "计划": export and import of each part, rename, delete the plan.
// Every file operation is checked; a failure throws StoreError before
// anything else is changed, or reports what was done.
class PlanMenu {
 public:
  PlanMenu(Services& services, PlanStore& store, AppState& state, PlanMenuHost& host);

  void exportPart(PlanPart part);
  void importPart(PlanPart part);
  void deletePlan();

  // The part's name in memory, and a new name stored and shown.
  [[nodiscard]] std::string partName(PlanPart part) const;
  void renamePart(PlanPart part, const std::string& name);

 private:
  FileDialog& importDialog(PlanPart part);
  FileDialog& exportDialog(PlanPart part);

  Services& services_;
  PlanStore& store_;
  AppState& state_;
  PlanMenuHost& host_;
  FileDialog importSequential_;  // 导入框
  FileDialog exportSequential_;  // 导出框
  FileDialog importTimed_;       // 导入框2
  FileDialog exportTimed_;       // 导出框2
};

}  // namespace temvik
