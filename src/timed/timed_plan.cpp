#include "timed/timed_plan.h"

#include <algorithm>
#include <utility>

#include "run/messages.h"
#include "store/content_rules.h"
#include "store/messages.h"
#include "store/plan_rewrite.h"
#include "store/store_error.h"
#include "store/text.h"
#include "timed/messages.h"

namespace temvik {

namespace {

// The set-sync checks of the editor: the start checks of a run, with the
// play-time box required whatever the options.
std::optional<StartRefusal> setSyncRefusal(const RunItem& item) {
  constexpr StartRefusal kNoPlayTime{"请输入持续播放提示音的时间", "请补充"};
  auto refusal = startRefusal(item);
  const bool forbidOrNothing = !refusal || refusal->text == "请提供执行中要禁止的进程";
  if (forbidOrNothing && item.playTime.empty()) return kNoPlayTime;
  return refusal;
}

// A timed record: the start time and sound first, then the item's keys,
// then its repeat, if any, after all of them.
void writeTimedItem(IniDocument& doc, std::string_view section, const ItemRecord& item,
                    const std::string& startText, const std::string& sound,
                    std::string_view repeat) {
  doc.set(section, kStartTimeKey, startText);
  doc.set(section, kStartSoundKey, sound);
  writeItem(doc, section, item);
  doc.removeKey(section, kRepeatKey);
  if (!repeat.empty()) doc.set(section, kRepeatKey, repeat);
}

// The first occurrence at or after `start`: the start itself, unless its
// day does not qualify (工作日 on a weekend).
DateTime firstOccurrence(const DateTime& start, Repeat repeat) {
  const std::int64_t second = secondsOf(start);
  return dateTimeOfSeconds(nextOccurrence(second, repeat, second - 1).next);
}

}  // namespace

TimedPlan::TimedPlan(Services& services, PlanStore& store, AppState& state, TimedHost& host,
                     RunController& run, Window& window, const TimedListIds& ids)
    : services_(services),
      store_(store),
      state_(state),
      host_(host),
      run_(run),
      window_(window),
      ids_(ids),
      dialog_(services.ui, closedDialogs_, services.prompts, *this),
      editorStart_(services.clock.now()) {}

std::vector<std::string> TimedPlan::rows() const {
  std::vector<std::string> rows;
  const int n = window_.listCount(ids_.timedList);
  for (int i = 0; i < n; ++i) rows.push_back(window_.listText(ids_.timedList, i));
  return rows;
}

// ------------------------------------------------------------ list

void TimedPlan::loadList() {
  // Both files are read before anything is shown: a file that cannot be
  // read leaves the list empty rather than half filled.
  slots_.clear();
  window_.listClear(ids_.timedList);
  const IniDocument items = store_.load(kTimedItemFile);
  const IniDocument marks = store_.load(kTimedMarkFile);
  showDocuments(items, marks);
}

void TimedPlan::showDocuments(const IniDocument& items, const IniDocument& marks) {
  window_.listSetRows(ids_.timedList, PlanStore::listRows(items, marks, kTimedMarkKey));
  slots_ = timedSlots(items);
  wakeForNextStart();
}

void TimedPlan::loadSelectedRow() {
  const int row = window_.listSelection(ids_.timedList);
  if (row < 0) return;
  loadRowFrom(store_.load(kTimedItemFile), row);
}

void TimedPlan::loadRowFrom(const IniDocument& items, int row) {
  // A row past the end stands for no record: an empty editor.
  const bool shown = row >= 0 && row < window_.listCount(ids_.timedList);
  const std::vector<ListItem> list = listItems(items);
  const ListItem* item =
      shown ? itemOfRow(list, row, window_.listText(ids_.timedList, row)) : nullptr;
  const auto value = [&](std::string_view key) {
    return item ? items.value(item->section, key) : std::string();
  };
  state_.activeList = ActiveList::Timed;
  host_.resetEditor();
  host_.loadEditor(item ? readItem(items, item->section) : ItemRecord{});
  const std::string startText = value(kStartTimeKey);
  const auto start = parseDateTimeText(startText);
  // A start time that names no date-time offers the current time in the
  // dialog; a save keeps the text as it is (the current time would make
  // the item expire at the next tick).
  editorStart_ = start ? *start : services_.clock.now();
  keptStartText_ = start ? std::nullopt : std::optional<std::string>(startText);
  editorSound_ = value(kStartSoundKey);
  editorRepeat_ = value(kRepeatKey);
  if (shown) window_.listSelect(ids_.timedList, row);
}

void TimedPlan::showFileAfresh(const IniDocument& items) {
  const IniDocument marks = store_.load(kTimedMarkFile);
  host_.resetEditor();
  showDocuments(items, marks);
}

bool TimedPlan::save() {
  const int selected = window_.listSelection(ids_.timedList);
  if (selected < 0) {
    show(services_.prompts, &window_, kNoRowToSaveTo);
    return false;
  }
  const ItemRecord record = host_.editorRecord();
  const std::string& content = record.content;
  const int n = window_.listCount(ids_.timedList);
  for (int i = 0; i < n; ++i) {
    const std::string row = window_.listText(ids_.timedList, i);
    if (i != selected &&
        (equalsIgnoreCase(row, content) || equalsIgnoreCase(sectionOfRow(row), content))) {
      show(services_.prompts, &window_, kContentTakenAtSave);
      return false;
    }
  }
  if (content.empty()) {
    show(services_.prompts, &window_, kNoContent);
    return false;
  }
  if (auto problem = contentProblem(content)) {
    show(services_.prompts, &window_, kInputRefused, {*problem});
    return false;
  }
  if (auto problem = numberProblem(host_.editorItem())) {
    show(services_.prompts, &window_, kInputRefused, {*problem});
    return false;
  }

  const IniDocument items = store_.load(kTimedItemFile);
  const std::vector<ListItem> list = listItems(items);
  if (!rowsShowItems(list, rows())) {
    // The file changed behind the list: the row may name another item.
    showFileAfresh(items);
    show(services_.prompts, &window_, kListOutOfStep);
    return false;
  }
  const std::string name = list[static_cast<std::size_t>(selected)].section;
  const std::string startText = keptStartText_ ? *keptStartText_ : dateTimeText(editorStart_);
  IniDocument written = items;
  if (equalsIgnoreCase(name, content)) {
    writeTimedItem(written, name, record, startText, editorSound_, editorRepeat_);
    store_.save(kTimedItemFile, written);
  } else {
    // A new content renames the record in its place; every other section
    // stays as it is.
    if (items.hasSection(content)) {
      show(services_.prompts, &window_, kSectionTaken);
      return false;
    }
    written.renameSection(name, content);
    writeTimedItem(written, content, record, startText, editorSound_, editorRepeat_);
    commitPlanRewrite(store_, written, std::nullopt, kTimedFiles);
  }
  slots_ = timedSlots(written);
  wakeForNextStart();
  // The row shows what its section now holds, its mark kept.
  const std::string row = window_.listText(ids_.timedList, selected);
  window_.listSetText(ids_.timedList, selected,
                      (isFinishedRow(row) ? std::string(kFinishedMark) : std::string()) + content);
  window_.listSelect(ids_.timedList, selected);
  state_.unsavedEdit = false;
  return true;
}

bool TimedPlan::rewriteRows(const std::vector<int>& removed, const std::vector<MovedStart>& moved) {
  IniDocument items = store_.load(kTimedItemFile);
  const IniDocument marks = store_.load(kTimedMarkFile);
  const std::vector<ListItem> list = listItems(items);
  const std::vector<std::string> shown = rows();
  if (!rowsShowItems(list, shown)) {
    // The file changed behind the list: nothing is removed by rows that
    // no longer name its items.
    showDocuments(items, marks);
    return false;
  }
  // A moved start takes the place of the old one.
  for (const MovedStart& m : moved)
    items.set(list[static_cast<std::size_t>(m.row)].section, kStartTimeKey,
              dateTimeText(dateTimeOfSeconds(m.second)));
  if (removed.empty()) {
    store_.save(kTimedItemFile, items);
    slots_ = timedSlots(items);
    return true;
  }
  // The removed items' sections go; every other section stays where it
  // stands. The marks keep their rows.
  const auto markSections = marks.sectionNames();
  std::vector<std::string> gone;
  IniDocument keptMarks;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (std::binary_search(removed.begin(), removed.end(), static_cast<int>(i))) {
      gone.push_back(list[i].section);
      continue;
    }
    keptMarks.set(list[i].content, kTimedMarkKey,
                  i < markSections.size() ? marks.value(markSections[i], kTimedMarkKey) : "");
  }
  items.removeSections(gone);
  commitPlanRewrite(store_, items, keptMarks, kTimedFiles);
  unremovable_.clear();
  showDocuments(items, keptMarks);
  return true;
}

void TimedPlan::cancelSync() {
  const int k = window_.listSelection(ids_.timedList);
  if (k < 0) {
    show(services_.prompts, &window_, kNoTimedRowToCancel);
    return;
  }
  if (!rewriteRows({k})) {
    host_.resetEditor();
    show(services_.prompts, &window_, kListOutOfStep);
    return;
  }
  // The row after the removed one (what was k + 2 before), as it was.
  const int next = k + 1 < window_.listCount(ids_.timedList) ? k + 1 : -1;
  if (next >= 0) window_.listSelect(ids_.timedList, next);
  loadRowFrom(store_.load(kTimedItemFile), next);
}

// ------------------------------------------------------------ list events

int TimedPlan::rowOf(const std::string& section) const {
  const int n = window_.listCount(ids_.timedList);
  for (int i = 0; i < n; ++i)
    if (equalsIgnoreCase(sectionOfRow(window_.listText(ids_.timedList, i)), section)) return i;
  return -1;
}

void TimedPlan::leftPressed() {
  const int remembered = window_.listSelection(ids_.timedList);
  const std::string rememberedName =
      remembered >= 0 ? sectionOfRow(window_.listText(ids_.timedList, remembered)) : "";
  if (state_.unsavedEdit) {
    const auto answer = show(services_.prompts, &window_, kAskSaveTimedEdits);
    if (answer == MessageAnswer::Yes) {
      if (remembered >= 0) {
        // Found by its name: a tick may have removed rows while the box was open.
        const int row = rowOf(rememberedName);
        if (row >= 0) {
          window_.listSelect(ids_.timedList, row);
          save();
        }
      } else if (state_.activeList == ActiveList::Sequential) {
        // The changes belong to a sequential item: saved where they came from.
        host_.saveSequential();
      }
    }
  }
  state_.unsavedEdit = false;
}

void TimedPlan::rightPressed() {
  // The row under the pointer is selected and loaded as by a left click.
  window_.clickAtPointer();
}

void TimedPlan::rightReleased() {
  const int row = window_.listSelection(ids_.timedList);
  if (row < 0) return;
  window_.setMenuCaption(ids_.menuTitle, "正在操作项目：" + window_.listText(ids_.timedList, row));
  window_.popupMenu(ids_.menu);
}

void TimedPlan::keyPressed(int virtualKey) {
  if (virtualKey == vk::kDelete && window_.listSelection(ids_.timedList) >= 0) cancelSync();
}

void TimedPlan::doubleClicked() {
  window_.listSelect(ids_.timedList, -1);
  host_.resetEditor();
  editorSound_.clear();
  editorRepeat_.clear();
}

// ------------------------------------------------------------ set sync

bool TimedPlan::timedNameTaken(const std::string& section) const {
  // Sections are found without regard to letter case, and a marked row
  // names its section without the mark.
  for (const auto& row : rows())
    if (equalsIgnoreCase(sectionOfRow(row), section)) return true;
  return false;
}

void TimedPlan::setSyncCommand() {
  const int sequentialCount = window_.listCount(ids_.sequentialList);
  if (state_.activeList == ActiveList::Sequential && sequentialCount > 0 &&
      window_.listText(ids_.sequentialList, 0).find(kFinishedWord) != std::string::npos) {
    show(services_.prompts, &window_, kClearMarksBeforeSync);
    return;
  }
  if (sequentialCount == 0 && window_.listSelection(ids_.timedList) < 0) {
    show(services_.prompts, &window_, kNothingToSync);
    return;
  }
  if (state_.unsavedEdit) {
    const auto answer = show(services_.prompts, &window_, kAskSyncUnsaved);
    if (answer != MessageAnswer::Yes) return;
  }
  // The stored item again: unsaved changes are dropped.
  if (state_.activeList == ActiveList::Sequential) {
    const int row = window_.listSelection(ids_.sequentialList);
    if (row >= 0) {
      host_.loadSequentialRow(row);
      editorSound_.clear();
      editorRepeat_.clear();
    }
  } else if (state_.activeList == ActiveList::Timed) {
    loadSelectedRow();
  }
  state_.unsavedEdit = false;
  if (auto refusal = setSyncRefusal(host_.editorItem())) {
    show(services_.prompts, &window_, startRefusedMessage(*refusal));
    return;
  }
  const int sequentialRow = window_.listSelection(ids_.sequentialList);
  if (sequentialRow >= 0 &&
      timedNameTaken(sectionOfRow(window_.listText(ids_.sequentialList, sequentialRow)))) {
    show(services_.prompts, &window_, kTimedNameTaken);
    return;
  }
  const int timedRow = window_.listSelection(ids_.timedList);
  if (sequentialRow < 0 && timedRow < 0) {
    show(services_.prompts, &window_, kSelectItemFirst);
    return;
  }
  if (sequentialRow >= 0 && state_.editLocked()) {
    // Moving the item would change the locked sequential plan.
    show(services_.prompts, &window_, kEditLocked);
    return;
  }
  sourceIndex_ = sequentialRow;
  const std::string itemText = sequentialRow >= 0
                                   ? window_.listText(ids_.sequentialList, sequentialRow)
                                   : window_.listText(ids_.timedList, timedRow);
  sourceName_ = sectionOfRow(itemText);
  closedDialogs_.release();  // a menu of the main window: no dialog handler is running
  dialog_.open(window_, itemText, editorStart_, editorSound_, repeatOfText(editorRepeat_));
}

bool TimedPlan::setSyncAccepted(const DateTime& start, const std::string& sound, Repeat repeat) {
  try {
    return acceptStart(start, sound, repeat);
  } catch (const StoreError& error) {
    host_.storeFailed(error);
    return false;
  }
}

bool TimedPlan::acceptStart(const DateTime& chosen, const std::string& sound, Repeat repeat) {
  if (!isValidDateTime(chosen) || chosen <= services_.clock.now()) {
    show(services_.prompts, &window_, kStartPassed);
    return false;
  }
  const DateTime start = firstOccurrence(chosen, repeat);
  // What the dialog was opened for decides, not what the editor shows by
  // now: the main window stays usable while the dialog is open.
  if (sourceIndex_ >= 0) {
    if (!moveToTimedList(start, sound, repeat)) return false;
  } else {
    // The timed row it was opened for, still selected and loaded.
    const int row = window_.listSelection(ids_.timedList);
    if (row < 0 ||
        !equalsIgnoreCase(sectionOfRow(window_.listText(ids_.timedList, row)), sourceName_)) {
      show(services_.prompts, &window_, kSelectItemFirst);
      return false;
    }
    editorStart_ = start;
    keptStartText_.reset();
    editorSound_ = sound;
    editorRepeat_ = repeatText(repeat);
    if (!save()) return false;
  }
  host_.resetEditor();
  editorSound_.clear();
  editorRepeat_.clear();
  return true;
}

bool TimedPlan::moveToTimedList(const DateTime& start, const std::string& sound, Repeat repeat) {
  // The row the dialog was opened for, unless the list changed meanwhile.
  const int source = sourceIndex_;
  const std::string name = sourceName_;
  if (source >= window_.listCount(ids_.sequentialList) ||
      sectionOfRow(window_.listText(ids_.sequentialList, source)) != name) {
    show(services_.prompts, &window_, kSelectItemFirst);
    return false;
  }
  if (timedNameTaken(name)) {
    show(services_.prompts, &window_, kTimedNameTaken);
    return false;
  }
  // The item as its file holds it: the editor may show another one by now.
  // A list that does not show its file any more is shown afresh instead.
  IniDocument items = store_.load(kItemFile);
  const std::vector<ListItem> list = listItems(items);
  std::vector<std::string> sequentialRows;
  const int n = window_.listCount(ids_.sequentialList);
  for (int i = 0; i < n; ++i) sequentialRows.push_back(window_.listText(ids_.sequentialList, i));
  if (!rowsShowItems(list, sequentialRows)) {
    host_.refillSequential();
    host_.resetEditor();
    show(services_.prompts, &window_, kListOutOfStep);
    return false;
  }
  const std::string section = list[static_cast<std::size_t>(source)].section;
  ItemRecord record = readItem(items, section);
  if (overlapsTimedItem(slots_, start,
                        durationSeconds(record.hours, record.minutes, record.seconds))) {
    show(services_.prompts, &window_, kStartOverlaps);
    return false;
  }
  const IniDocument oldTimed = store_.load(kTimedItemFile);
  if (oldTimed.hasSection(name)) {
    // A section of that name that is no timed item (a note, say), which
    // the item would take over.
    show(services_.prompts, &window_, kTimedSectionTaken);
    return false;
  }
  const IniDocument timedMarks = store_.load(kTimedMarkFile);
  editorStart_ = start;
  keptStartText_.reset();
  editorSound_ = sound;

  // Appended to the timed file under the content its row shows.
  record.content = name;
  IniDocument timed = oldTimed;
  writeTimedItem(timed, name, record, dateTimeText(start), sound, repeatText(repeat));

  // The sequential item leaves its file, every other section stays; the
  // marks of the rows after it move up with them, as a delete does.
  items.removeSection(section);
  IniDocument marks;
  for (int i = 0; i < n; ++i) {
    if (i == source) continue;
    const std::string& row = sequentialRows[static_cast<std::size_t>(i)];
    if (isFinishedRow(row)) marks.set(sectionOfRow(row), kMarkKey, kFinishedMark);
  }

  store_.save(kTimedItemFile, timed);
  try {
    commitPlanRewrite(store_, items, marks);
  } catch (const StoreError&) {
    // The item stays where it was, and only there.
    store_.save(kTimedItemFile, oldTimed);
    throw;
  }
  // The timed list and its schedule from the file just written.
  showDocuments(timed, timedMarks);
  window_.listRemove(ids_.sequentialList, source);
  sourceIndex_ = -1;
  return true;
}

// ------------------------------------------------------------ scheduler

void TimedPlan::tick() {
  // Message boxes run their own loop and this timer goes on firing there:
  // a tick that comes while one of this tick's boxes is open does nothing,
  // and the next tick after it catches up within the bound of the step.
  if (inTick_) return;
  inTick_ = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{inTick_};
  // A start reached is behind: the wake moves on to the next one.
  wakeForNextStart();

  const DateTime now = services_.clock.now();
  if (window_.listSelection(ids_.timedList) < 0) editorStart_ = now;
  const std::vector<std::string> shown = rows();
  // The run a tick started is on while its window is open.
  const bool runOn = run_.runWindow().isOpen() && run_.state().kind == RunKind::Timed;
  const TickStep step = schedulerStep({slots_, shown, lastTick_, secondsOf(now), started_,
                                       runOn ? running_ : std::nullopt, unremovable_});
  const auto previous = std::exchange(lastTick_, secondsOf(now));
  std::optional<StartedItem> starting;
  if (step.start) {
    const auto row = static_cast<std::size_t>(*step.start);
    starting = StartedItem{sectionOfRow(shown[row]), secondsOf(*slots_[row].start)};
  }

  std::vector<int> expired = step.expired;
  std::int64_t missed = step.missed;
  std::optional<StoreError> failure;
  if (!expired.empty() || !step.moved.empty()) {
    const int selected = window_.listSelection(ids_.timedList);
    try {
      if (!rewriteRows(expired, step.moved)) {
        // The file changed behind the list, which now shows it afresh: the
        // next tick walks that, as if this one had not come.
        lastTick_ = previous;
        return;
      }
    } catch (const StoreError& error) {
      // Told once; the items stay and are not tried again in every tick.
      for (int row : expired) unremovable_.insert(shown[static_cast<std::size_t>(row)]);
      for (const MovedStart& m : step.moved)
        unremovable_.insert(shown[static_cast<std::size_t>(m.row)]);
      failure = error;
      expired.clear();  // the list is as it was: nothing moved up
      missed = 0;
    }
    // The item in the editor keeps its new start for the next save.
    for (const MovedStart& m : step.moved) {
      if (failure || m.row != selected) continue;
      editorStart_ = dateTimeOfSeconds(m.second);
      keptStartText_.reset();
    }
    // An editor that showed a removed item goes on as cancel sync leaves
    // it; any other item in the editor stays, selected as it was.
    if (!failure && selected >= 0) {
      const auto before = std::lower_bound(expired.begin(), expired.end(), selected);
      const int moved = selected - static_cast<int>(before - expired.begin());
      if (before != expired.end() && *before == selected) {
        const int next = moved + 1 < window_.listCount(ids_.timedList) ? moved + 1 : -1;
        if (next >= 0) window_.listSelect(ids_.timedList, next);
        loadRowFrom(store_.load(kTimedItemFile), next);
      } else {
        window_.listSelect(ids_.timedList, moved);
      }
    }
  }
  started_ = step.started;
  if (step.start) {
    const int original = *step.start;
    running_ = starting;
    // Its row now: the rows before it that were removed moved it up.
    const auto removedBefore =
        std::lower_bound(expired.begin(), expired.end(), original) - expired.begin();
    startDueItem(original - static_cast<int>(removedBefore));
  }
  if (failure) throw *failure;
  if (!expired.empty()) {
    if (window_.listCount(ids_.timedList) == 0) timedNameFallsBack();
    show(services_.prompts, &window_, kItemsExpired, {std::to_string(expired.size())});
  }
  if (missed > 0) show(services_.prompts, &window_, kRepeatsMissed, {std::to_string(missed)});
}

void TimedPlan::wakeForNextStart() {
  std::optional<DateTime> next;
  if (state_.settings.wakeForTimed) {
    const DateTime now = services_.clock.now();
    for (const TimedSlot& slot : slots_)
      if (slot.start && *slot.start > now && (!next || *slot.start < *next)) next = slot.start;
  }
  if (next == wakeFor_) return;
  wakeFor_ = next;
  services_.power.wakeFor(next);
}

void TimedPlan::timedNameFallsBack() {
  IniDocument names = store_.load(kPlanNameFile);
  if (names.removeKey(kPlanNameSection, kTimedNameKey)) store_.save(kPlanNameFile, names);
  host_.showPlanNames(store_.readPlanNames());
}

void TimedPlan::startDueItem(int row) {
  dialog_.close();
  run_.giveWayToTimedStart();

  window_.listSelect(ids_.timedList, row);
  loadRowFrom(store_.load(kTimedItemFile), row);
  run_.startTimedRun(editorSound_);
}

}  // namespace temvik
