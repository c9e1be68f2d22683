#include "ui/main/plan_menu.h"

#include <array>
#include <optional>

#include "store/history.h"
#include "store/messages.h"
#include "store/store_error.h"
#include "store/text.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/messages.h"

namespace temvik {

namespace {

constexpr std::string_view kIniFilter = "ini文件(*.ini)|*.ini";
constexpr std::string_view kIngFilter = "ing文件(*.ing)|*.ing";

struct PartFiles {
  std::string_view items;
  std::string_view marks;
  std::string_view nameKey;
};

PartFiles filesOf(PlanPart part) {
  return part == PlanPart::Sequential ? PartFiles{kItemFile, kMarkFile, kPlanNameKey}
                                      : PartFiles{kTimedItemFile, kTimedMarkFile, kTimedNameKey};
}

}  // namespace

PlanMenu::PlanMenu(Services& services, PlanStore& store, AppState& state, PlanMenuHost& host)
    : services_(services),
      store_(store),
      state_(state),
      host_(host),
      importSequential_(FileDialog::Kind::Open, std::string(kIniFilter)),
      exportSequential_(FileDialog::Kind::Save, std::string(kIniFilter)),
      importTimed_(FileDialog::Kind::Open, std::string(kIngFilter)),
      exportTimed_(FileDialog::Kind::Save, std::string(kIngFilter)) {}

FileDialog& PlanMenu::importDialog(PlanPart part) {
  return part == PlanPart::Sequential ? importSequential_ : importTimed_;
}

FileDialog& PlanMenu::exportDialog(PlanPart part) {
  return part == PlanPart::Sequential ? exportSequential_ : exportTimed_;
}

std::string PlanMenu::partName(PlanPart part) const {
  return part == PlanPart::Sequential ? state_.sequentialName : state_.timedName;
}

void PlanMenu::exportPart(PlanPart part) {
  if (host_.partRows(part) == 0) {
    show(services_.prompts, &host_.mainWindow(), kNothingToExport);
    return;
  }
  FileDialog& dialog = exportDialog(part);
  dialog.preset(partName(part));
  // A cancelled dialog exports nothing.
  if (!dialog.run(services_.prompts, &host_.mainWindow())) return;
  // The plan's own files are never written from here: the timed part over
  // time.ini would take the password away, the sequential part over out.ini
  // would change the timed plan behind the scheduler's back.
  if (store_.isProgramFile(dialog.fileName())) {
    show(services_.prompts, &host_.mainWindow(), kOwnFileExport);
    return;
  }
  const std::string from = store_.path(filesOf(part).items);
  const auto bytes = services_.files.read(from);
  if (!bytes) throw StoreError(StoreError::Kind::Read, from, services_.files.lastFailure());
  if (!services_.files.writeAtomic(dialog.fileName(), *bytes))
    throw StoreError(StoreError::Kind::Export, dialog.fileName(), services_.files.lastFailure());
}

void PlanMenu::importPart(PlanPart part) {
  if (part == PlanPart::Sequential && state_.editLocked()) {
    show(services_.prompts, &host_.mainWindow(), kEditLocked);
    return;
  }
  if (host_.partRows(part) > 0) {
    const auto answer = show(services_.prompts, &host_.mainWindow(), kAskImportOver);
    if (answer != MessageAnswer::Yes) return;
  }
  FileDialog& dialog = importDialog(part);
  if (!dialog.run(services_.prompts, &host_.mainWindow())) return;  // cancelled: nothing changes
  const std::string chosen = dialog.fileName();
  // Read first: a file that cannot be read changes nothing at all.
  const auto bytes = services_.files.read(chosen);
  if (!bytes) throw StoreError(StoreError::Kind::Read, chosen, services_.files.lastFailure());
  const PartFiles files = filesOf(part);
  const std::string target = store_.path(files.items);
  const auto previous = services_.files.read(target);
  if (!services_.files.writeAtomic(target, *bytes))
    throw StoreError(StoreError::Kind::Write, target, services_.files.lastFailure());
  // An imported part has no finished marks. When they cannot be removed,
  // the old part goes back: its marks belong to it, not to the new items.
  try {
    store_.remove(files.marks);
  } catch (const StoreError&) {
    if (previous)
      services_.files.writeAtomic(target, *previous);
    else
      services_.files.remove(target);
    throw;
  }
  store_.write(kPlanNameFile, kPlanNameSection, files.nameKey, fileBaseName(chosen));
  host_.showPlanNames(store_.readPlanNames());
  host_.resetEditor();
  host_.reloadPart(part);
  if (part == PlanPart::Sequential) {
    state_.password = store_.readPassword();
    host_.askImportedPassword();
  }
}

void PlanMenu::renamePart(PlanPart part, const std::string& name) {
  store_.write(kPlanNameFile, kPlanNameSection, filesOf(part).nameKey, name);
  PlanNames names{state_.sequentialName, state_.timedName};
  (part == PlanPart::Sequential ? names.sequential : names.timed) = name;
  host_.showPlanNames(names);
}

void PlanMenu::deletePlan() {
  // Deleting the plan is an edit of it, and it would take the password.
  if (state_.editLocked()) {
    show(services_.prompts, &host_.mainWindow(), kEditLocked);
    return;
  }
  if (host_.partRows(PlanPart::Sequential) == 0 && host_.partRows(PlanPart::Timed) == 0 &&
      state_.password.empty() && state_.sequentialName == kDefaultPlanName &&
      state_.timedName == kDefaultTimedName) {
    show(services_.prompts, &host_.mainWindow(), kNothingToDelete);
    return;
  }
  const auto answer = show(services_.prompts, &host_.mainWindow(), kAskDeletePlan);
  if (answer != MessageAnswer::Yes) return;
  // The password lives in the item file and goes with it. Every file is read
  // before the first one goes: when one cannot be deleted, those deleted
  // before it are written back as they were and the failure is told, so the
  // plan is never left half deleted.
  constexpr std::array<std::string_view, 5> planFiles = {kItemFile, kTimedItemFile, kPlanNameFile,
                                                         kMarkFile, kTimedMarkFile};
  std::array<std::optional<std::string>, planFiles.size()> kept;
  for (size_t i = 0; i < planFiles.size(); ++i) {
    const std::string path = store_.path(planFiles[i]);
    kept[i] = services_.files.read(path);
    if (!kept[i] && services_.files.exists(path))
      throw StoreError(StoreError::Kind::Read, path, services_.files.lastFailure());
  }
  for (size_t i = 0; i < planFiles.size(); ++i) {
    try {
      store_.remove(planFiles[i]);
    } catch (const StoreError&) {
      for (size_t j = 0; j < i; ++j)
        if (kept[j]) services_.files.writeAtomic(store_.path(planFiles[j]), *kept[j]);
      throw;
    }
  }
  // The history of runs is asked for apart, after the plan is gone.
  const std::string history = historyPath(services_.files);
  if (services_.files.exists(history) &&
      show(services_.prompts, &host_.mainWindow(), kAskDeleteHistory) == MessageAnswer::Yes &&
      !services_.files.remove(history))
    reportStoreError(services_.prompts, &host_.mainWindow(),
                     StoreError(StoreError::Kind::Write, history, services_.files.lastFailure()));
  state_.password.clear();
  state_.rights = true;
  host_.resetEditor();
  host_.showPlanNames(PlanNames{std::string(kDefaultPlanName), std::string(kDefaultTimedName)});
  host_.reloadPart(PlanPart::Sequential);
  host_.reloadPart(PlanPart::Timed);
  host_.mainWindow().setMenuEnabled(main_ids::kDeletePassword, false);
}

}  // namespace temvik
