#pragma once

#include "platform/id_blocks.h"
#include "run/run_window_base.h"

namespace temvik {

namespace run_ids {
enum GiveUpControl : ControlId {
  kGiveUpQuestion = id_blocks::kGiveUp + 1,  // 透明标签4
  kKeepGoing,                                // 透明标签2
  kConfirmGiveUp,                            // 透明标签1
};
}  // namespace run_ids

// Asks whether the user really gives the run up; shaped by its picture.
class GiveUpDialog final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  void open(Window& owner);
  void onClick(ControlId id) override;
};

const WindowDesign& giveUpDesign();

}  // namespace temvik
