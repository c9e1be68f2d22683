#pragma once

#include <string>

#include "platform/date_time.h"
#include "platform/id_blocks.h"
#include "platform/prompts.h"
#include "platform/short_lived_window.h"
#include "timed/repeat.h"

namespace temvik {

class TimedPlan;

namespace timed_ids {
enum SetSyncControl : ControlId {
  kEditingLabel = id_blocks::kSetSync + 1,  // 透明标签4
  kItemText,                                // 透明标签5
  kSetTimeLabel,                            // 透明标签6
  kSystemClockLabel,                        // 透明标签7
  kCalendar,                                // 月历1
  kStartHours,                              // 编辑框1
  kStartHoursUnit,                          // 透明标签1
  kStartMinutes,                            // 编辑框2
  kStartMinutesUnit,                        // 透明标签2
  kStartSeconds,                            // 编辑框3
  kStartSecondsUnit,                        // 透明标签3
  kSoundLabel,                              // 透明标签8
  kSoundPath,                               // 编辑框4
  kOpenSound,                               // 超级按钮2
  kSoundNote,                               // 透明标签9
  kSetSyncOk,                               // 超级按钮1
  kRepeatLabel,                             // 透明标签10
  kRepeatList,                              // 列表框1
};
}  // namespace timed_ids

// "设置同步": the start date, time, repeat and sound of one item. Non-modal
// and owned by the main window; OK hands the values to the timed plan.
class SetSyncDialog final : public ShortLivedWindow {
 public:
  SetSyncDialog(Ui& ui, RetiredWindows& retired, Prompts& prompts, TimedPlan& plan);

  // Opens the dialog for the item shown as `itemText`, preset with a start
  // time, sound and repeat.
  void open(Window& owner, const std::string& itemText, const DateTime& start,
            const std::string& sound, Repeat repeat);
  void onClick(ControlId id) override;

  // The start date and time the controls hold now (carry-over applied).
  [[nodiscard]] DateTime chosenStart() const;
  [[nodiscard]] Repeat chosenRepeat() const;

 private:
  Prompts& prompts_;
  TimedPlan& plan_;
  // The sound file dialog remembers its last choice across openings.
  FileDialog soundDialog_;
};

const WindowDesign& setSyncDesign();

}  // namespace temvik
