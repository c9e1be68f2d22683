#include "ui/main/item_editor.h"

#include <algorithm>
#include <array>

#include "store/text.h"
#include "ui/main/main_window_ids.h"

namespace temvik {

using namespace main_ids;

namespace {

constexpr std::array<ControlId, 4> kPowerBoxes = {kShutdown, kRestart, kLogOff, kLock};
constexpr std::array<ControlId, 10> kCheckBoxes = {
    kExitWhenDone, kRunProgram, kEndProcesses, kForbidProcesses, kShutdown,
    kRestart,      kLogOff,     kLock,         kMedia,           kUseDefault};
constexpr std::array<ControlId, 6> kEditBoxes = {kContent, kHours,     kMinutes,
                                                 kSeconds, kMediaPath, kPlayTime};

}  // namespace

bool ItemEditor::isCheckBox(ControlId id) {
  return std::find(kCheckBoxes.begin(), kCheckBoxes.end(), id) != kCheckBoxes.end();
}

bool ItemEditor::isEditBox(ControlId id) {
  return std::find(kEditBoxes.begin(), kEditBoxes.end(), id) != kEditBoxes.end();
}

void ItemEditor::reset() {
  leaveItem();
  Window& w = window_;
  w.listSelect(kSequentialList, -1);
  w.listSelect(kTimedList, -1);
  for (ControlId id : {kContent, kHours, kMinutes, kSeconds, kMediaPath}) w.setText(id, "");
  values_ = ItemOptions{};
  for (ControlId id : {kRunProgram, kExitWhenDone, kEndProcesses, kShutdown, kRestart, kLogOff,
                       kLock, kForbidProcesses})
    w.setChecked(id, false);
  for (ControlId id : {kRunProgram, kExitWhenDone, kEndProcesses, kShutdown, kLock,
                       kForbidProcesses, kRestart, kLogOff, kMedia, kUseDefault, kPlayTime,
                       kAddItem, kDeleteItem, kContent, kHours, kMinutes, kSeconds, kMediaPath})
    w.setEnabled(id, true);
  w.setEnabled(kChooseProgram, false);
  w.setChecked(kMedia, true);
  w.setChecked(kUseDefault, true);
  w.setEnabled(kMediaPath, false);
  w.setText(kPlayTime, "10");
  if (points_) points_->clear();
  keepLocked();
}

void ItemEditor::keepLocked() {
  if (state_.editLocked()) applyEditLock();
}

RunItem ItemEditor::shownAfterLoad(const ItemRecord& item) {
  RunItem shown;
  shown.content = item.content;
  shown.hours = item.hours;
  shown.minutes = item.minutes;
  shown.seconds = item.seconds;
  shown.playTime = item.playSeconds;
  RunItem::Ticks& t = shown.ticked;
  ItemOptions& o = shown.options;  // as a reset leaves them
  t.media = t.useDefault = true;   // ticked in the design
  o.programList = item.programList;
  o.processList = item.processList;
  o.forbiddenList = item.forbiddenList;
  o.mediaPath = item.mediaPath;
  o.playSeconds = integerValue(item.playSeconds);
  t.runProgram = o.runProgram = readFlag(item.runProgram);
  if (readFlag(item.exitApp)) {
    // An item that ends the program has no end media: its keys stay unread.
    t.exitWhenDone = o.exitApp = true;
  } else {
    t.media = o.media = readFlag(item.media);
    if (t.media) {
      t.useDefault = o.useDefault = readUseDefault(item.useDefault);
      if (!t.useDefault) shown.mediaPath = item.mediaPath;
    }
  }
  t.endProcesses = o.endProcesses = readFlag(item.endProcesses);
  t.forbid = o.forbid = readFlag(item.forbid);
  // A power action excludes the others and the end options; of several
  // stored, the last one wins.
  const std::array<const std::string*, 4> stored = {&item.shutdown, &item.restart, &item.logOff,
                                                    &item.lock};
  const std::array<bool*, 4> power = {&o.shutdown, &o.restart, &o.logOff, &o.lock};
  for (std::size_t i = 0; i < power.size(); ++i) {
    if (!readFlag(*stored[i])) continue;
    for (bool* other : power) *other = false;
    *power[i] = true;
    o.media = o.exitApp = o.runProgram = o.endProcesses = o.forbid = false;
  }
  for (const auto& p : item.promptPoints)
    o.promptPoints.push_back({p.name, integerValue(p.packedTime), p.sound});
  return shown;
}

ItemRecord ItemEditor::recordOf(const RunItem& shown) {
  const ItemOptions& v = shown.options;
  ItemRecord r;
  r.content = shown.content;
  r.hours = shown.hours;
  r.minutes = shown.minutes;
  r.seconds = shown.seconds;
  r.runProgram = flagText(v.runProgram);
  r.programList = v.programList;
  r.exitApp = flagText(v.exitApp);
  r.endProcesses = flagText(v.endProcesses);
  r.processList = v.processList;
  r.shutdown = flagText(v.shutdown);
  r.restart = flagText(v.restart);
  r.logOff = flagText(v.logOff);
  r.lock = flagText(v.lock);
  r.media = flagText(v.media);
  r.useDefault = flagText(v.useDefault);
  r.mediaPath = v.mediaPath;
  r.playSeconds = shown.playTime;
  r.forbiddenList = v.forbiddenList;
  r.forbid = flagText(v.forbid);
  for (const auto& p : v.promptPoints)
    r.promptPoints.push_back({p.name, std::to_string(p.packed), p.sound});
  return r;
}

void ItemEditor::load(const ItemRecord& item) {
  leaveItem();
  const RunItem shown = shownAfterLoad(item);
  const RunItem::Ticks& t = shown.ticked;
  Window& w = window_;
  w.setText(kContent, shown.content);
  w.setText(kHours, shown.hours);
  w.setText(kMinutes, shown.minutes);
  w.setText(kSeconds, shown.seconds);
  w.setText(kPlayTime, shown.playTime);
  w.setText(kMediaPath, shown.mediaPath);
  w.setChecked(kRunProgram, t.runProgram);
  w.setChecked(kExitWhenDone, t.exitWhenDone);
  w.setChecked(kMedia, t.media);
  w.setChecked(kUseDefault, t.useDefault);
  w.setChecked(kEndProcesses, t.endProcesses);
  w.setChecked(kForbidProcesses, t.forbid);
  values_ = shown.options;
  if (points_) points_->showPoints();
  // What the ticks offer and exclude, by the rules of clicking them; the
  // rules keep the values as they are.
  if (t.runProgram) w.setEnabled(kChooseProgram, true);
  if (t.exitWhenDone) {
    for (ControlId id : {kMedia, kUseDefault, kMediaPath, kOpenMedia, kPlayTime})
      w.setEnabled(id, false);
  } else {
    w.setEnabled(kMedia, true);
    mediaRule();
  }
  if (t.endProcesses) w.setEnabled(kChooseEndProcess, true);
  if (t.forbid) w.setEnabled(kChooseForbidden, true);
  const std::array<const std::string*, 4> power = {&item.shutdown, &item.restart, &item.logOff,
                                                   &item.lock};
  for (std::size_t i = 0; i < kPowerBoxes.size(); ++i) {
    if (!readFlag(*power[i])) continue;
    powerTicked(kPowerBoxes[i]);
    w.setChecked(kPowerBoxes[i], true);
  }
  keepLocked();
}

ItemRecord ItemEditor::record() const { return recordOf(runItem()); }

RunItem ItemEditor::runItem() const {
  const Window& w = window_;
  RunItem item;
  item.content = w.text(kContent);
  item.hours = w.text(kHours);
  item.minutes = w.text(kMinutes);
  item.seconds = w.text(kSeconds);
  item.playTime = w.text(kPlayTime);
  item.mediaPath = w.text(kMediaPath);
  item.ticked = {.runProgram = w.isChecked(kRunProgram),
                 .exitWhenDone = w.isChecked(kExitWhenDone),
                 .endProcesses = w.isChecked(kEndProcesses),
                 .forbid = w.isChecked(kForbidProcesses),
                 .media = w.isChecked(kMedia),
                 .useDefault = w.isChecked(kUseDefault)};
  item.options = values_;
  return item;
}

void ItemEditor::applyMediaDesign() { mediaRule(); }

void ItemEditor::applyEditLock() {
  leaveItem();
  for (ControlId id :
       {kContent,         kHours,         kMinutes,      kSeconds,         kExitWhenDone,
        kRunProgram,      kChooseProgram, kEndProcesses, kForbidProcesses, kChooseEndProcess,
        kChooseForbidden, kShutdown,      kRestart,      kLogOff,          kLock,
        kMedia,           kUseDefault,    kMediaPath,    kOpenMedia,       kPlayTime,
        kAddItem,         kDeleteItem})
    window_.setEnabled(id, false);
}

// The media controls follow the media box: with it ticked, "默认" and the
// play time are offered and the path follows "默认"; without it, none is.
void ItemEditor::mediaRule() {
  Window& w = window_;
  values_.media = w.isChecked(kMedia);
  if (!values_.media) {
    for (ControlId id : {kUseDefault, kMediaPath, kOpenMedia, kPlayTime}) w.setEnabled(id, false);
    return;
  }
  w.setEnabled(kUseDefault, true);
  w.setEnabled(kPlayTime, true);
  mediaPathRule();
}

void ItemEditor::mediaPathRule() {
  if (!window_.isChecked(kUseDefault)) {
    window_.setEnabled(kMediaPath, true);
    window_.setEnabled(kOpenMedia, true);
    values_.useDefault = false;
  } else {
    values_.useDefault = true;
  }
}

bool& ItemEditor::powerFlag(ControlId box) {
  switch (box) {
    case kShutdown:
      return values_.shutdown;
    case kRestart:
      return values_.restart;
    case kLogOff:
      return values_.logOff;
    default:
      return values_.lock;
  }
}

void ItemEditor::powerTicked(ControlId box) {
  Window& w = window_;
  powerFlag(box) = true;
  for (ControlId id : {kExitWhenDone, kRunProgram, kChooseProgram, kEndProcesses, kChooseEndProcess,
                       kMedia, kUseDefault, kMediaPath, kOpenMedia, kPlayTime})
    w.setEnabled(id, false);
  for (ControlId other : kPowerBoxes) {
    if (other == box) continue;
    w.setEnabled(other, false);
    powerFlag(other) = false;
  }
  values_.media = values_.exitApp = values_.runProgram = false;
  values_.endProcesses = values_.forbid = false;
}

void ItemEditor::powerUnticked(ControlId box) {
  Window& w = window_;
  powerFlag(box) = false;
  for (ControlId id : {kExitWhenDone, kRunProgram, kEndProcesses}) w.setEnabled(id, true);
  for (ControlId other : kPowerBoxes)
    if (other != box) w.setEnabled(other, true);
  if (!w.isChecked(kExitWhenDone)) {
    w.setEnabled(kMedia, true);
    mediaRule();
  }
  if (w.isChecked(kRunProgram)) w.setEnabled(kChooseProgram, true);
  if (w.isChecked(kEndProcesses)) w.setEnabled(kChooseEndProcess, true);
}

void ItemEditor::checkBoxClicked(ControlId box) {
  Window& w = window_;
  const bool on = w.isChecked(box);
  switch (box) {
    case kRunProgram:
      values_.runProgram = on;
      w.setEnabled(kChooseProgram, on);
      break;
    case kEndProcesses:
      values_.endProcesses = on;
      w.setEnabled(kChooseEndProcess, on);
      break;
    case kForbidProcesses:
      values_.forbid = on;
      w.setEnabled(kChooseForbidden, on);
      break;
    case kUseDefault:
      values_.useDefault = on;
      w.setEnabled(kMediaPath, !on);
      w.setEnabled(kOpenMedia, !on);
      break;
    case kMedia:
      mediaRule();
      break;
    case kExitWhenDone:
      if (on) {
        values_.exitApp = true;
        values_.media = false;
        for (ControlId id : {kMedia, kUseDefault, kMediaPath, kOpenMedia, kPlayTime})
          w.setEnabled(id, false);
      } else {
        values_.exitApp = false;
        w.setEnabled(kMedia, true);
        mediaRule();
      }
      break;
    case kShutdown:
    case kRestart:
    case kLogOff:
    case kLock:
      if (on)
        powerTicked(box);
      else
        powerUnticked(box);
      break;
    default:
      break;
  }
}

void ItemEditor::playTimeTyped() { values_.playSeconds = integerValue(window_.text(kPlayTime)); }

void ItemEditor::setMediaPath(const std::string& path) {
  values_.mediaPath = path;
  window_.setText(kMediaPath, path);
}

}  // namespace temvik
