#pragma once

#include <string>

#include "platform/id_blocks.h"
#include "platform/services.h"
#include "platform/short_lived_window.h"

namespace temvik {

namespace chooser_ids {
enum ProcessChooserControl : ControlId {
  kTypedFrame = id_blocks::kProcessChooser + 1,  // 分组框1
  kProcessText,                                  // 编辑框1
  kRunningFrame,                                 // 分组框2
  kRunningList,                                  // 列表框1
  kDeleteAll,                                    // 超级按钮1
  kProcessOk,                                    // 超级按钮2
  kProcessCancel,                                // 超级按钮3
};
}  // namespace chooser_ids

// Chooses the processes an item ends when it finishes, or forbids while it
// runs: the running processes are listed, a double click adds one to the
// list. Edits the comma list (comma_list.h) it is opened on, which belongs to
// the item editor; a double click and "全部删除" write it at once, "确定"
// writes what the edit box holds, and "取消" drops only what was typed.
class ProcessChooser final : public ShortLivedWindow {
 public:
  enum class Kind {
    EndProcesses,  // modal to its owner
    Forbidden,     // stays open while the user goes on editing
  };
  ProcessChooser(Services& services, RetiredWindows& retired, Kind kind)
      : ShortLivedWindow(services.ui, retired), services_(services), kind_(kind) {}

  // Opens a fresh chooser over `owner` on `list`, which must outlive it; one
  // that is open already comes to the front instead.
  void open(Window& owner, std::string& list);

  void onClick(ControlId id) override;
  void onDoubleClick(ControlId id) override;

 private:
  void write(const std::string& text);

  Services& services_;
  Kind kind_;
  std::string* list_ = nullptr;
};

const WindowDesign& endProcessChooserDesign();
const WindowDesign& forbiddenChooserDesign();

}  // namespace temvik
