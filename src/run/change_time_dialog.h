#pragma once

#include "platform/id_blocks.h"
#include "run/run_window_base.h"

namespace temvik {

namespace run_ids {
enum ChangeTimeControl : ControlId {
  kChangeRemainingLabel = id_blocks::kChangeTime + 1,  // 标签9
  kNewHours,                                           // 编辑框1
  kNewMinutes,                                         // 编辑框2
  kNewSeconds,                                         // 编辑框3
  kNewHoursUnit,                                       // 标签1
  kNewMinutesUnit,                                     // 标签2
  kNewSecondsUnit,                                     // 标签3
  kChangeOk,                                           // 透明标签1
  kChangeCancel,                                       // 透明标签2
};
}  // namespace run_ids

// Sets a new remaining time for the running item.
class ChangeTimeDialog final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  void open(Window& owner);
  void onClick(ControlId id) override;
};

const WindowDesign& changeTimeDesign();

}  // namespace temvik
