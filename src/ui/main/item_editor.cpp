#include "ui/main/item_editor.h"

#include "ui/main/main_window_ids.h"

namespace temvik {

using namespace main_ids;

void ItemEditor::reset() {
  Window& w = window_;
  w.listSelect(kSequentialList, -1);
  w.listSelect(kTimedList, -1);
  for (ControlId id : {kContent, kHours, kMinutes, kSeconds, kMediaPath}) w.setText(id, "");
  const long long playSeconds = 10;
  values_ = EditorValues{};
  values_.playSeconds = playSeconds;
  for (ControlId id : {kRunProgram, kExitWhenDone, kEndProcesses, kShutdown, kRestart, kLogOff,
                       kLock, kForbidProcesses})
    w.setChecked(id, false);
  for (ControlId id :
       {kRunProgram, kExitWhenDone, kEndProcesses, kShutdown, kLock, kForbidProcesses, kRestart,
        kLogOff, kMedia, kUseDefault, kPlayTime, kAddItem, kDeleteItem, kContent, kHours,
        kMinutes, kSeconds, kMediaPath})
    w.setEnabled(id, true);
  w.setEnabled(kChooseProgram, false);
  w.setChecked(kMedia, true);
  w.setChecked(kUseDefault, true);
  w.setEnabled(kMediaPath, false);
  w.setText(kPlayTime, "10");
}

void ItemEditor::applyMediaDesign() {
  Window& w = window_;
  if (!w.isChecked(kMedia)) {
    for (ControlId id : {kUseDefault, kMediaPath, kOpenMedia, kPlayTime}) w.setEnabled(id, false);
    values_.media = false;
    return;
  }
  values_.media = true;
  w.setEnabled(kUseDefault, true);
  w.setEnabled(kPlayTime, true);
  if (!w.isChecked(kUseDefault)) {
    w.setEnabled(kMediaPath, true);
    w.setEnabled(kOpenMedia, true);
    values_.useDefault = false;
  } else {
    values_.useDefault = true;
  }
}

void ItemEditor::applyEditLock() {
  for (ControlId id : {kContent, kHours, kMinutes, kSeconds, kExitWhenDone, kRunProgram,
                       kChooseProgram, kEndProcesses, kForbidProcesses, kChooseEndProcess,
                       kChooseForbidden, kShutdown, kRestart, kLogOff, kLock, kMedia, kUseDefault,
                       kMediaPath, kOpenMedia, kPlayTime, kAddItem, kDeleteItem})
    window_.setEnabled(id, false);
}

}  // namespace temvik
