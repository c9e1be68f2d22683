#include "timed/set_sync_dialog.h"

#include "store/text.h"
#include "timed/timed_plan.h"
#include "timed/timed_schedule.h"

namespace temvik {

using namespace timed_ids;

const WindowDesign& setSyncDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "设置同步窗口",
      .title = "设置同步",
      .rect = {0, 0, 424, 404},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kEditingLabel,
               "透明标签4",
               "editingLabel",
               K::Label,
               {16, 14, 120, 20},
               "你正在编辑的项是：",
               ""},
              {kItemText, "透明标签5", "itemText", K::Label, {136, 14, 264, 20}, "", ""},
              {kSetTimeLabel,
               "透明标签6",
               "setTimeLabel",
               K::Label,
               {16, 42, 144, 20},
               "请设置该项的执行时间：",
               ""},
              {kSystemClockLabel,
               "透明标签7",
               "systemClockLabel",
               K::Label,
               {160, 42, 132, 20},
               "(以系统时间为标准)",
               ""},
              {kCalendar, "月历1", "calendar", K::MonthCalendar, {16, 68, 240, 168}, "", ""},
              {kStartHours, "编辑框1", "hours", K::Edit, {276, 76, 56, 24}, "", ""},
              {kStartHoursUnit, "透明标签1", "hoursUnit", K::Label, {338, 80, 20, 20}, "时", ""},
              {kStartMinutes, "编辑框2", "minutes", K::Edit, {276, 112, 56, 24}, "", ""},
              {kStartMinutesUnit,
               "透明标签2",
               "minutesUnit",
               K::Label,
               {338, 116, 20, 20},
               "分",
               ""},
              {kStartSeconds, "编辑框3", "seconds", K::Edit, {276, 148, 56, 24}, "", ""},
              {kStartSecondsUnit,
               "透明标签3",
               "secondsUnit",
               K::Label,
               {338, 152, 20, 20},
               "秒",
               ""},
              // The repeat: one of four rows, picked with the mouse or the arrow keys.
              {kRepeatLabel,
               "透明标签10",
               "repeatLabel",
               K::Label,
               {276, 184, 116, 20},
               "重复：",
               ""},
              {kRepeatList, "列表框1", "repeat", K::ListBox, {276, 204, 116, 72}, "", ""},
              {kSoundLabel,
               "透明标签8",
               "soundLabel",
               K::Label,
               {16, 264, 124, 20},
               "计划开始时提示音:",
               ""},
              {kSoundPath, "编辑框4", "soundPath", K::Edit, {16, 288, 304, 24}, "", ""},
              {kOpenSound, "超级按钮2", "openSound", K::Button, {328, 288, 64, 24}, "打开", ""},
              {kSoundNote,
               "透明标签9",
               "soundNote",
               K::Label,
               {16, 318, 200, 20},
               "(留空则不使用开始时提示音)",
               ""},
              {kSetSyncOk, "超级按钮1", "ok", K::Button, {312, 328, 80, 28}, "确定", ""},
          },
      // Enter takes the time; the frame's close box leaves without storing.
      .defaultControl = kSetSyncOk,
  };
  return design;
}

SetSyncDialog::SetSyncDialog(Ui& ui, RetiredWindows& retired, Prompts& prompts, TimedPlan& plan)
    : ShortLivedWindow(ui, retired),
      prompts_(prompts),
      plan_(plan),
      soundDialog_(FileDialog::Kind::Open, "mp3文件(*.mp3)|*.mp3") {}

void SetSyncDialog::open(Window& owner, const std::string& itemText, const DateTime& start,
                         const std::string& sound, Repeat repeat) {
  close();  // asked again while open: opened afresh for the item asked for now
  Window& w = create(setSyncDesign(), &owner);
  w.setText(kItemText, itemText);
  w.setText(kSoundPath, sound);
  w.calendarSetDate(kCalendar, start);
  w.setText(kStartHours, std::to_string(start.hour));
  w.setText(kStartMinutes, std::to_string(start.minute));
  w.setText(kStartSeconds, std::to_string(start.second));
  w.listSetRows(kRepeatList,
                std::vector<std::string>(kRepeatChoices.begin(), kRepeatChoices.end()));
  w.listSelect(kRepeatList, static_cast<int>(repeat));
  w.show();
  w.activate();
}

DateTime SetSyncDialog::chosenStart() const {
  const Window& w = *window_;
  return atTimeOfDay(w.calendarDate(kCalendar), integerValue(w.text(kStartHours)),
                     integerValue(w.text(kStartMinutes)), integerValue(w.text(kStartSeconds)));
}

Repeat SetSyncDialog::chosenRepeat() const {
  const int row = window_->listSelection(kRepeatList);
  return row > 0 && row < static_cast<int>(kRepeatChoices.size()) ? static_cast<Repeat>(row)
                                                                  : Repeat::None;
}

void SetSyncDialog::onClick(ControlId id) {
  if (id == kOpenSound) {
    // The box takes the dialog's file name, which a cancel leaves as it was.
    soundDialog_.run(prompts_, window_.get());
    window_->setText(kSoundPath, soundDialog_.fileName());
  } else if (id == kSetSyncOk) {
    if (plan_.setSyncAccepted(chosenStart(), window_->text(kSoundPath), chosenRepeat())) close();
  }
}

}  // namespace temvik
