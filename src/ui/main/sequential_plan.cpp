#include "ui/main/sequential_plan.h"

#include <string>
#include <vector>

#include "run/run_item.h"
#include "store/content_rules.h"
#include "store/plan_rewrite.h"
#include "store/text.h"
#include "ui/main/main_window_ids.h"

namespace temvik {

using namespace main_ids;

namespace {

constexpr ControlId kList = kSequentialList;

// Places an item before the password section, so that the password always
// stands behind the last item.
void putItem(IniDocument& items, const std::string& section, const ItemRecord& item) {
  const auto password = items.get(kPasswordSection, kPasswordKey);
  if (password && !items.hasSection(section)) items.removeSection(kPasswordSection);
  writeItem(items, section, item);
  if (password && !items.hasSection(kPasswordSection))
    items.set(kPasswordSection, kPasswordKey, *password);
}

}  // namespace

bool SequentialPlan::refusedWhileLocked() {
  if (!state_.editLocked()) return false;
  info(kEditLockedText);
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
  std::vector<RunItem> shown;
  for (const auto& row : rows())
    shown.push_back(ItemEditor::shownAfterLoad(readItem(items, sectionOfRow(row))));
  return shown;
}

void SequentialPlan::loadRow(int row) { loadRowFrom(store_.load(kItemFile), row); }

void SequentialPlan::loadRowFrom(const IniDocument& items, int row) {
  const std::string section = sectionOfRow(window_.listText(kList, row));
  state_.activeList = ActiveList::Sequential;
  editor_.reset();
  window_.listSelect(kTimedList, -1);
  editor_.load(readItem(items, section));
  window_.listSelect(kList, row);
}

bool SequentialPlan::inputAcceptable(const std::string& content) {
  if (auto problem = contentProblem(content)) {
    info(*problem, kPleaseCorrect);
    return false;
  }
  if (auto problem = numberProblem(editor_.runItem())) {
    info(*problem, kPleaseCorrect);
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
      info("计划列表里已经有此内容的任务了。", "重复");
      return;
    }
  }
  if (content.empty()) {
    info("请填写任务内容");
    return;
  }
  if (!inputAcceptable(content)) return;

  IniDocument items = store_.load(kItemFile);
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
bool SequentialPlan::listShows(const IniDocument& items) {
  const std::vector<std::string> onDisk = PlanStore::listRows(items, IniDocument(), kMarkKey);
  const std::vector<std::string> shown = rows();
  bool same = onDisk.size() == shown.size();
  for (std::size_t i = 0; same && i < shown.size(); ++i) same = sectionOfRow(shown[i]) == onDisk[i];
  if (same) return true;
  refill(true);
  editor_.reset();
  info("计划文件与列表不一致，列表已按文件重新显示，请重新操作。");
  return false;
}

// The rewritten plan keeps the password its file holds: the file, not
// memory, is what a password write changed last, and memory may not know
// it (a file that could not be read at start-up).
void SequentialPlan::carryPassword(const IniDocument& from, IniDocument& to) {
  to.set(kPasswordSection, kPasswordKey, from.get(kPasswordSection, kPasswordKey).value_or(""));
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
    info("清除了所有已完成标记后才能进行保存操作");
    return false;
  }
  const int selected = window_.listSelection(kList);
  if (selected < 0) {
    info("没有选择要保存到的计划项目");
    return false;
  }
  const std::string content = window_.text(kContent);
  const int n = window_.listCount(kList);
  for (int i = 0; i < n; ++i) {
    if (i != selected && equalsIgnoreCase(window_.listText(kList, i), content)) {
      info("计划列表里已经有此内容的计划了。", "重复");
      return false;
    }
  }
  if (content.empty()) {
    info("请填写任务内容");
    return false;
  }
  if (!inputAcceptable(content)) return false;

  IniDocument items = store_.load(kItemFile);
  if (!listShows(items)) return false;
  window_.listSetText(kList, selected, content);
  writeItem(items, content, editor_.record());
  rewriteThroughEditor(items);
  state_.unsavedEdit = false;
  return true;
}

void SequentialPlan::rewriteThroughEditor(const IniDocument& items) {
  // Each row as the editor would write it after loading it, without
  // loading every row: the same records in one pass.
  IniDocument scratch;
  const int n = window_.listCount(kList);
  for (int i = 0; i < n; ++i) {
    const std::string row = window_.listText(kList, i);
    writeItem(scratch, row,
              ItemEditor::recordOf(ItemEditor::shownAfterLoad(readItem(items, sectionOfRow(row)))));
  }
  if (n > 0) loadRowFrom(items, n - 1);  // the editor ends holding the last item
  carryPassword(items, scratch);
  commitPlanRewrite(store_, scratch, std::nullopt);
  // After the plan, so that a plan that could not be written leaves the
  // names as they were too.
  writePlanNames();
  showRows(PlanStore::listRows(scratch, store_.load(kMarkFile), kMarkKey));
}

void SequentialPlan::moveUp() {
  if (refusedWhileLocked()) return;
  const int selected = window_.listSelection(kList);
  if (selected == 0) {
    info("已经到顶");
    return;
  }
  if (selected < 0) {
    info("请选择要上移的计划");
    return;
  }
  move(-1);
}

void SequentialPlan::moveDown() {
  if (refusedWhileLocked()) return;
  const int selected = window_.listSelection(kList);
  if (selected == window_.listCount(kList) - 1) {
    info("已经到底");
    return;
  }
  if (selected < 0) {
    info("请选择要下移的计划");
    return;
  }
  move(+1);
}

void SequentialPlan::move(int offset) {
  if (firstRowFinished()) {
    info("清除了所有已完成标记后才能进行移动项操作");
    return;
  }
  const int selected = window_.listSelection(kList);
  const int target = selected + offset;
  std::vector<std::string> order;
  const int n = window_.listCount(kList);
  for (int i = 0; i < n; ++i) order.push_back(window_.listText(kList, i));
  std::swap(order[static_cast<std::size_t>(selected)], order[static_cast<std::size_t>(target)]);

  const IniDocument items = store_.load(kItemFile);
  if (!listShows(items)) return;
  IniDocument scratch;
  for (const auto& row : order) writeItem(scratch, row, readItem(items, row));
  carryPassword(items, scratch);
  commitPlanRewrite(store_, scratch, std::nullopt);

  // The list and the editor from what was just written, not read again.
  showRows(PlanStore::listRows(scratch, IniDocument(), kMarkKey));
  window_.listSelect(kList, target);
  loadRowFrom(scratch, target);
}

void SequentialPlan::deleteSelected() {
  if (refusedWhileLocked()) return;
  if (state_.activeList == ActiveList::Timed) {
    info("不能用此按钮删除同步计划");
    return;
  }
  const IniDocument items = store_.load(kItemFile);
  if (!listShows(items)) return;
  const int selected = window_.listSelection(kList);
  IniDocument scratchItems;
  IniDocument scratchMarks;
  const int n = window_.listCount(kList);
  for (int i = 0; i < n; ++i) {
    if (i == selected) continue;
    const std::string row = window_.listText(kList, i);
    const std::string section = sectionOfRow(row);
    if (isFinishedRow(row)) scratchMarks.set(section, kMarkKey, kFinishedMark);
    writeItem(scratchItems, section, readItem(items, section));
  }
  carryPassword(items, scratchItems);
  if (selected >= 0) window_.listRemove(kList, selected);
  commitPlanRewrite(store_, scratchItems, scratchMarks);

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
  const auto answer = prompts_.message(&window_, "您正在编辑的项未保存，是否保存？", "",
                                       MessageIcon::Question, MessageButtons::YesNo);
  if (answer == MessageAnswer::Yes) {
    window_.listSelect(kList, remembered);
    save();
  }
  state_.unsavedEdit = false;
}

}  // namespace temvik
