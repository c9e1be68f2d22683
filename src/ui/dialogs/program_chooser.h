#pragma once

#include <string>

#include "platform/id_blocks.h"
#include "platform/prompts.h"
#include "platform/services.h"
#include "platform/short_lived_window.h"

namespace temvik {

namespace chooser_ids {
enum ProgramChooserControl : ControlId {
  kProgramFrame = id_blocks::kProgramChooser + 1,  // 分组框1
  kProgramText,                                    // 编辑框1
  kAddProgram,                                     // 超级按钮1
  kProgramOk,                                      // 超级按钮2
};
}  // namespace chooser_ids

// Sets the programs an item runs when it finishes. "添加" appends the file
// dialog's name to the comma list it is opened on (the item editor's) and
// writes it at once; "确定" writes what the edit box holds. There is no
// cancel button: the close box closes the chooser, dropping only what was
// typed.
class ProgramChooser final : public ShortLivedWindow {
 public:
  ProgramChooser(Services& services, RetiredWindows& retired)
      : ShortLivedWindow(services.ui, retired), services_(services) {}

  // Opens a fresh, non-modal chooser over `owner` on `list`, which must
  // outlive it; one that is open already comes to the front instead.
  void open(Window& owner, std::string& list);

  void onClick(ControlId id) override;

 private:
  Services& services_;
  std::string* list_ = nullptr;
  // Belongs to the chooser: a new chooser's dialog starts with no name.
  FileDialog dialog_{FileDialog::Kind::Open, ""};
};

const WindowDesign& programChooserDesign();

}  // namespace temvik
