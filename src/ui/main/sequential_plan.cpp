#include "ui/main/sequential_plan.h"

#include <string>
#include <vector>

#include "run/run_item.h"
#include "store/content_rules.h"
#include "store/messages.h"
#include "store/plan_rewrite.h"
#include "store/text.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/messages.h"

namespace temvik {

using namespace main_ids;

namespace {

constexpr ControlId kList = kSequentialList;

// Appends a new item, and the password section, whole, behind it: the
// password always stands behind the last item.
void putItem(IniDocument& items, const std::string& section, const ItemRecord& item) {
  writeItem(items, section, item);
  items.moveSectionToEnd(kPasswordSection);
}

}  // namespace

bool SequentialPlan::refusedWhileLocked() {
  if (!state_.editLocked()) return false;
  show(prompts_, &window_, kEditLocked);
  return true;
}

bool SequentialPlan::firstRowFinished() const {
  return window_.listCount(kList) > 0 && isFinishedRow(window_.listText(kList, 0));
}

std::vector<std::string> SequentialPlan::rows() const {
  std::vector<std::string> rows;
  const int n = window_.listCount(kList);
  rows.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) rows.push_back(window_.listText(kList, i));
  return rows;
}

void SequentialPlan::applyResumeRule() {
  window_.setEnabled(kResumeUnfinished, firstUnfinishedRow(rows()) > 0);
}

void SequentialPlan::refill(bool withMarks) {
  showRows(withMarks ? store_.loadList(kItemFile, kMarkFile, kMarkKey)
                     : store_.loadList(kItemFile, "", kMarkKey));
}

void SequentialPlan::showRows(const std::vector<std::string>& rows) {
  window_.listSetRows(kList, rows);
}

std::vector<RunItem> SequentialPlan::shownItems() const {
  const IniDocument items = store_.load(kItemFile);
  const std::vector<ListItem> list = listItems(items);
  const std::vector<std::string> shownRows = rows();
  std::vector<RunItem> shown;
  shown.reserve(shownRows.size());
  for (std::size_t r = 0; r < shownRows.size(); ++r) {
    const ListItem* item = itemOfRow(list, static_cast<int>(r), shownRows[r]);
    shown.push_back(
        ItemEditor::shownAfterLoad(item ? readItem(items, item->section) : ItemRecord{}));
  }
  return shown;
}

void SequentialPlan::loadRow(int row) { loadRowFrom(store_.load(kItemFile), row); }

void SequentialPlan::loadRowFrom(const IniDocument& items, int row) {
  const std::vector<ListItem> list = listItems(items);
  const ListItem* item = itemOfRow(list, row, window_.listText(kList, row));
  state_.activeList = ActiveList::Sequential;
  editor_.reset();
  window_.listSelect(kTimedList, -1);
  editor_.load(item ? readItem(items, item->section) : ItemRecord{});
  window_.listSelect(kList, row);
}

bool SequentialPlan::inputAcceptable(const std::string& content) {
  if (auto problem = contentProblem(content)) {
    show(prompts_, &window_, kInputRefused, {*problem});
    return false;
  }
  if (auto problem = numberProblem(editor_.runItem())) {
    show(prompts_, &window_, kInputRefused, {*problem});
    return false;
  }
  return true;
}

void SequentialPlan::add() {
  if (refusedWhileLocked()) return;
  const std::string content = window_.text(kContent);
  const int n = window_.listCount(kList);
  for (int i = 0; i < n; ++i) {
    const std::string row = window_.listText(kList, i);
    if (equalsIgnoreCase(row, content) || equalsIgnoreCase(sectionOfRow(row), content)) {
      show(prompts_, &window_, kContentTakenAtAdd);
      return;
    }
  }
  if (content.empty()) {
    show(prompts_, &window_, kNoContent);
    return;
  }
  if (!inputAcceptable(content)) return;

  IniDocument items = store_.load(kItemFile);
  if (sectionTaken(items, content)) return;
  putItem(items, content, editor_.record());
  store_.save(kItemFile, items);
  window_.listAdd(kList, content, 0);

  editor_.reset();
  window_.listSelect(kList, -1);
  applyResumeRule();
  state_.unsavedEdit = false;
}

// A rewrite is built from the list's rows. When they are not the items the
// file holds (it could not be read when the list was filled, or another
// program changed it), the rewrite would drop or reorder items: the list is
// shown afresh instead and the user tries again.
bool SequentialPlan::listShows(const std::vector<ListItem>& items) {
  if (rowsShowItems(items, rows())) return true;
  refill(true);
  editor_.reset();
  show(prompts_, &window_, kListOutOfStep);
  return false;
}

bool SequentialPlan::sectionTaken(const IniDocument& items, const std::string& content) {
  if (!items.hasSection(content)) return false;
  show(prompts_, &window_, kSectionTaken);
  return true;
}

// A rewrite changes the item file in place: every section it does not mean
// to change stays where it stands, byte for byte. The password section, as
// the file holds it (the file, not memory, is what a password write changed
// last), goes behind everything else, where an earlier version's list load,
// which ends at the first section without a content, never misses an item
// for it; an empty password is written when there is none.
void SequentialPlan::passwordLast(IniDocument& items) {
  items.moveSectionToEnd(kPasswordSection);
  if (!items.get(kPasswordSection, kPasswordKey)) items.set(kPasswordSection, kPasswordKey, "");
}

void SequentialPlan::writePlanNames() {
  IniDocument names = store_.load(kPlanNameFile);
  const bool sequentialChanged = names.set(kPlanNameSection, kPlanNameKey, state_.sequentialName);
  const bool timedChanged = names.set(kPlanNameSection, kTimedNameKey, state_.timedName);
  if (sequentialChanged || timedChanged) store_.save(kPlanNameFile, names);
}

bool SequentialPlan::save() {
  if (refusedWhileLocked()) return false;
  if (firstRowFinished()) {
    show(prompts_, &window_, kClearMarksBeforeSave);
    return false;
  }
  const int selected = window_.listSelection(kList);
  if (selected < 0) {
    show(prompts_, &window_, kNoRowToSaveTo);
    return false;
  }
  const std::string content = window_.text(kContent);
  const int n = window_.listCount(kList);
  for (int i = 0; i < n; ++i) {
    if (i != selected && equalsIgnoreCase(window_.listText(kList, i), content)) {
      show(prompts_, &window_, kContentTakenAtSave);
      return false;
    }
  }
  if (content.empty()) {
    show(prompts_, &window_, kNoContent);
    return false;
  }
  if (!inputAcceptable(content)) return false;

  IniDocument items = store_.load(kItemFile);
  const std::vector<ListItem> list = listItems(items);
  if (!listShows(list)) return false;
  // A new content renames the section in its place.
  const std::string& section = list[static_cast<std::size_t>(selected)].section;
  if (section != content) {
    if (!equalsIgnoreCase(trimBlanks(section), content) && sectionTaken(items, content))
      return false;
    items.renameSection(section, content);
  }
  window_.listSetText(kList, selected, content);
  writeItem(items, content, editor_.record());
  rewriteThroughEditor(items);
  state_.unsavedEdit = false;
  return true;
}

void SequentialPlan::rewriteThroughEditor(IniDocument& items) {
  // Each item as the editor would write it after loading it, without
  // loading every row: the same records in one pass, each in its place.
  const std::vector<ListItem> list = listItems(items);
  for (const ListItem& item : list)
    writeWholeItem(items, item.section,
                   ItemEditor::recordOf(ItemEditor::shownAfterLoad(readItem(items, item.section))));
  const int n = window_.listCount(kList);
  if (n > 0) loadRowFrom(items, n - 1);  // the editor ends holding the last item
  passwordLast(items);
  commitPlanRewrite(store_, items, std::nullopt);
  // After the plan, so that a plan that could not be written leaves the
  // names as they were too.
  writePlanNames();
  showRows(PlanStore::listRows(items, store_.load(kMarkFile), kMarkKey));
}

void SequentialPlan::moveUp() {
  if (refusedWhileLocked()) return;
  const int selected = window_.listSelection(kList);
  if (selected == 0) {
    show(prompts_, &window_, kAtTop);
    return;
  }
  if (selected < 0) {
    show(prompts_, &window_, kNoRowToMoveUp);
    return;
  }
  move(-1);
}

void SequentialPlan::moveDown() {
  if (refusedWhileLocked()) return;
  const int selected = window_.listSelection(kList);
  if (selected == window_.listCount(kList) - 1) {
    show(prompts_, &window_, kAtBottom);
    return;
  }
  if (selected < 0) {
    show(prompts_, &window_, kNoRowToMoveDown);
    return;
  }
  move(+1);
}

void SequentialPlan::move(int offset) {
  if (firstRowFinished()) {
    show(prompts_, &window_, kClearMarksBeforeMove);
    return;
  }
  const int selected = window_.listSelection(kList);
  const int target = selected + offset;
  IniDocument items = store_.load(kItemFile);
  const std::vector<ListItem> list = listItems(items);
  if (!listShows(list)) return;
  // The two items change places; whatever stands between them stays.
  items.swapSections(list[static_cast<std::size_t>(selected)].section,
                     list[static_cast<std::size_t>(target)].section);
  passwordLast(items);
  commitPlanRewrite(store_, items, std::nullopt);

  // The list and the editor from what was just written, not read again.
  showRows(PlanStore::listRows(items, IniDocument(), kMarkKey));
  window_.listSelect(kList, target);
  loadRowFrom(items, target);
}

void SequentialPlan::deleteSelected() {
  if (refusedWhileLocked()) return;
  if (state_.activeList == ActiveList::Timed) {
    show(prompts_, &window_, kNotForTimedItems);
    return;
  }
  IniDocument items = store_.load(kItemFile);
  const std::vector<ListItem> list = listItems(items);
  if (!listShows(list)) return;
  const int selected = window_.listSelection(kList);
  IniDocument marks;
  const int n = window_.listCount(kList);
  for (int i = 0; i < n; ++i) {
    if (i == selected) continue;
    const std::string row = window_.listText(kList, i);
    if (isFinishedRow(row)) marks.set(sectionOfRow(row), kMarkKey, kFinishedMark);
  }
  if (selected >= 0) items.removeSection(list[static_cast<std::size_t>(selected)].section);
  passwordLast(items);
  if (selected >= 0) window_.listRemove(kList, selected);
  commitPlanRewrite(store_, items, marks);

  window_.listSelect(kList, -1);
  editor_.reset();
  if (window_.listCount(kList) == 0) window_.setMenuEnabled(kDeletePassword, false);
}

void SequentialPlan::clearMarks() {
  if (refusedWhileLocked()) return;
  store_.remove(kMarkFile);
  refill(false);
  window_.setEnabled(kResumeUnfinished, false);
  window_.setEnabled(kRunFromStart, true);
  if (state_.rights) editor_.reset();
}

void SequentialPlan::askToSaveEdits() {
  const int remembered = window_.listSelection(kList);
  if (!state_.unsavedEdit) return;
  const auto answer = show(prompts_, &window_, kAskSaveEdits);
  if (answer == MessageAnswer::Yes) {
    window_.listSelect(kList, remembered);
    save();
  }
  state_.unsavedEdit = false;
}

}  // namespace temvik
