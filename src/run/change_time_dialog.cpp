#include "run/change_time_dialog.h"

#include "run/duration.h"
#include "run/run_controller.h"
#include "run/run_window.h"
#include "store/text.h"

namespace temvik {

using namespace run_ids;

const WindowDesign& changeTimeDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "更改时间窗口",
      .title = "更改剩余时间",
      .rect = {0, 0, 320, 140},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kChangeRemainingLabel,
               "标签9",
               "remainingLabel",
               K::Label,
               {16, 20, 48, 20},
               "剩余：",
               ""},
              {kNewHours, "编辑框1", "hours", K::Edit, {64, 16, 40, 24}, "", ""},
              {kNewHoursUnit, "标签1", "hoursUnit", K::Label, {108, 20, 20, 20}, "时", ""},
              {kNewMinutes, "编辑框2", "minutes", K::Edit, {132, 16, 40, 24}, "", ""},
              {kNewMinutesUnit, "标签2", "minutesUnit", K::Label, {176, 20, 20, 20}, "分", ""},
              {kNewSeconds, "编辑框3", "seconds", K::Edit, {200, 16, 40, 24}, "", ""},
              {kNewSecondsUnit, "标签3", "secondsUnit", K::Label, {244, 20, 20, 20}, "秒", ""},
              labelButton({kChangeOk, "透明标签1", "ok", K::Label, {64, 64, 64, 22}, "确 定", ""}),
              labelButton(
                  {kChangeCancel, "透明标签2", "cancel", K::Label, {176, 64, 64, 22}, "取 消", ""}),
          },
      // Opens with the focus on the hours, ready to type; Enter takes the time.
      .defaultControl = kChangeOk,
      .cancelControl = kChangeCancel,
  };
  return design;
}

void ChangeTimeDialog::open(Window& owner) {
  if (bringToFront()) return;  // asked again while it is open
  Window& w = create(changeTimeDesign(), &owner);
  run_.services().ui.runModal(w);
}

void ChangeTimeDialog::onClick(ControlId id) {
  if (id == kChangeOk) {
    const Window& w = *window_;
    // Taken as typed: no range check and no carrying.
    run_.runWindow().changeRemaining({numberValue(w.text(kNewHours)),
                                      numberValue(w.text(kNewMinutes)),
                                      numberValue(w.text(kNewSeconds))});
    close();
  } else if (id == kChangeCancel) {
    close();
  }
}

}  // namespace temvik
