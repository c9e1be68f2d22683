#pragma once

#include <memory>

#include "platform/id_blocks.h"
#include "platform/system.h"
#include "run/run_window_base.h"

namespace temvik {

namespace run_ids {
enum FinishedControl : ControlId {
  kFinishedQuestion = id_blocks::kItemFinished + 1,  // 透明标签1
  kCountdownNumber,                                  // 透明标签2
  kCountdownText,                                    // 透明标签3
  kYesButton,                                        // 超级按钮1
  kGiveUpButton,                                     // 超级按钮2
};
enum FinishedTimer : TimerId {
  kLabelTimer = 1,  // 标签改变钟
  kAutoYesTimer,    // 自动选择钟
  kPlayTimer,       // 播放时间
};
}  // namespace run_ids

// Between two items: goes on to the next one when the user says "是", or
// by itself after its countdown, while the end sound plays.
class ItemFinishedDialog final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  void open();

  void onTimer(TimerId id) override;
  void onClick(ControlId id) override;
  bool onCloseRequested() override;
  void onClosed() override;

 private:
  void goOn();
  bool goingOn_ = false;
  std::unique_ptr<MediaPlayer> player_;
};

const WindowDesign& itemFinishedDesign();

}  // namespace temvik
