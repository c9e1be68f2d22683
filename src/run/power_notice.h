#pragma once

#include <cstdint>
#include <functional>

#include "platform/id_blocks.h"
#include "platform/services.h"
#include "platform/short_lived_window.h"

namespace temvik {

namespace power_notice_ids {
enum NoticeControl : ControlId {
  kNoticeText = id_blocks::kPowerNotice + 1,  // 标签1
  kNoticeHint,                                // 标签2
  kCancelPower,                               // 超级按钮2
  kCarryOutNow,                               // 超级按钮1
};
enum NoticeTimer : TimerId {
  kNoticeTimer = 1,  // 倒计时
};
}  // namespace power_notice_ids

// The notice before a forced shut down, restart or log-off, above every
// window: what will happen and in how many seconds, counted down each
// second. At 0, or on "立即执行", the action is carried out; "取消" (also
// Enter, Esc and the close box) keeps the computer on. Whoever shows it
// says what each means; it knows no run.
class PowerNotice final : public ShortLivedWindow {
 public:
  struct Choices {
    std::function<void()> carryOut;   // at 0 or on 立即执行
    std::function<void()> cancelled;  // on 取消, once allowed
    // Asks before a 取消 counts (strict mode) and runs `allowed` when it
    // does; empty: it counts at once. The countdown goes on meanwhile.
    std::function<void(Window& over, std::function<void()> allowed)> allowCancel;
  };

  PowerNotice(Services& services, RetiredWindows& retired)
      : ShortLivedWindow(services.ui, retired), services_(services) {}

  // Shows the notice for `seconds` (> 0), owned by `owner`.
  void open(Window& owner, PowerAction action, int seconds, Choices choices);
  // The same, but with no seconds to count (0 or less, as the setting 关机提示秒数
  // 0 asks) the action is carried out at once, without a notice.
  void announce(Window& owner, PowerAction action, int seconds, Choices choices);
  // Whole seconds left, as shown.
  [[nodiscard]] int secondsLeft() const { return left_; }

  void onClick(ControlId id) override;
  void onTimer(TimerId id) override;
  bool onCloseRequested() override;
  void onClosed() override;

 private:
  void showLeft();
  void cancel();
  void carryOut();

  Services& services_;
  PowerAction action_ = PowerAction::ShutDown;
  int seconds_ = 0;
  int left_ = 0;
  std::uint64_t startMs_ = 0;
  Choices choices_;
};

const WindowDesign& powerNoticeDesign();

}  // namespace temvik
