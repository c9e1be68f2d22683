#pragma once

#include "platform/id_blocks.h"
#include "run/run_window_base.h"

namespace temvik {

namespace run_ids {
enum NoteControl : ControlId {
  kNoteContent = id_blocks::kContentNote + 1,  // 编辑框1
};
}  // namespace run_ids

// Shows the content of the item that just ended above the dialog that
// follows it.
class ContentNoteWindow final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  // Shows the content above `beside` (left + dx, top - 92).
  void open(Window& owner, const Window& beside, int dx);
  void follow(const Window& beside, int dx);
};

const WindowDesign& contentNoteDesign();

}  // namespace temvik
