#pragma once

#include <memory>

#include "platform/id_blocks.h"
#include "platform/system.h"
#include "run/run_window_base.h"

namespace temvik {

namespace run_ids {
enum CompleteControl : ControlId {
  kCompleteText = id_blocks::kPlanComplete + 1,  // 透明标签4
  kBackToMain,                                   // 透明标签1
  kExitProgramLabel,                             // 透明标签2
};
}  // namespace run_ids

// The plan is done: back to the main window, or out of the program.
class PlanCompleteWindow final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  void open();
  void onClick(ControlId id) override;
  void onMoved(Point topLeft) override;
  void onClosed() override;

 private:
  bool leavingByExit_ = false;
  std::unique_ptr<MediaPlayer> player_;
};

const WindowDesign& planCompleteDesign();

}  // namespace temvik
