#pragma once

#include "platform/id_blocks.h"
#include "platform/services.h"
#include "platform/short_lived_window.h"

namespace temvik {

namespace about_ids {
enum AboutControl : ControlId {
  kName = id_blocks::kAbout + 1,  // 标签1
  kVersion,                       // 标签2
  kPurpose,                       // 标签3
  kWhereData,                     // 标签4
  kCredits,                       // 标签5
  kAboutOk,                       // 超级按钮1
};
}  // namespace about_ids

// "关于": the program's name, version and credits, modal over the main
// window; 确定, Enter or Esc closes it.
class AboutWindow final : public ShortLivedWindow {
 public:
  AboutWindow(Services& services, RetiredWindows& retired)
      : ShortLivedWindow(services.ui, retired) {}

  void open(Window& owner);
  void onClick(ControlId id) override;
};

const WindowDesign& aboutDesign();

}  // namespace temvik
