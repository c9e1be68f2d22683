#include "run/power_notice.h"

#include <string>
#include <string_view>
#include <utility>

namespace temvik {

using namespace power_notice_ids;

namespace {

constexpr std::uint64_t kSecondMs = 1000;

// What the notice says, with "{}" for the seconds left.
std::string_view noticeText(PowerAction action) {
  switch (action) {
    case PowerAction::Restart:
      return "电脑将在 {} 秒后重启。";
    case PowerAction::LogOff:
      return "将在 {} 秒后注销当前用户。";
    case PowerAction::ShutDown:
      break;
  }
  return "电脑将在 {} 秒后关机。";
}

std::string_view noticeTitle(PowerAction action) {
  switch (action) {
    case PowerAction::Restart:
      return "即将重启";
    case PowerAction::LogOff:
      return "即将注销";
    case PowerAction::ShutDown:
      break;
  }
  return "即将关机";
}

}  // namespace

const WindowDesign& powerNoticeDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "关机提示窗口",
      .title = "即将关机",
      .rect = {0, 0, 360, 170},
      .minimizeBox = false,
      .centered = true,
      .topmost = true,
      .controls =
          {
              {kNoticeText, "标签1", "noticeText", K::Label, {24, 20, 312, 20}, "", ""},
              {kNoticeHint,
               "标签2",
               "noticeHint",
               K::Label,
               {24, 48, 312, 20},
               "请先保存正在编辑的文件。",
               ""},
              {kCancelPower, "超级按钮2", "cancel", K::Button, {56, 88, 100, 28}, "取消", ""},
              {kCarryOutNow,
               "超级按钮1",
               "carryOutNow",
               K::Button,
               {196, 88, 100, 28},
               "立即执行",
               ""},
          },
      // The notice may come up while the user types: neither Enter nor Esc
      // may carry the action out. It opens with the focus on 取消.
      .defaultControl = kCancelPower,
      .cancelControl = kCancelPower,
  };
  return design;
}

void PowerNotice::open(Window& owner, PowerAction action, int seconds, Choices choices) {
  action_ = action;
  seconds_ = left_ = seconds;
  choices_ = std::move(choices);
  Window& w = create(powerNoticeDesign(), &owner);
  w.setTitle(noticeTitle(action));
  showLeft();
  startMs_ = services_.clock.monotonicMs();
  w.setTimer(kNoticeTimer, kSecondMs);
  w.show();
  w.activate();
}

void PowerNotice::announce(Window& owner, PowerAction action, int seconds, Choices choices) {
  if (seconds > 0) {
    open(owner, action, seconds, std::move(choices));
  } else if (choices.carryOut) {
    choices.carryOut();
  }
}

void PowerNotice::showLeft() {
  window_->setText(kNoticeText, filledText(noticeText(action_), {std::to_string(left_)}));
}

void PowerNotice::onTimer(TimerId id) {
  if (id != kNoticeTimer) return;
  // Counted from the clock, to the nearest second, so a late tick shows
  // what is left rather than falling behind.
  const std::uint64_t elapsed =
      (services_.clock.monotonicMs() - startMs_ + kSecondMs / 2) / kSecondMs;
  left_ =
      elapsed >= static_cast<std::uint64_t>(seconds_) ? 0 : seconds_ - static_cast<int>(elapsed);
  if (left_ == 0) {
    carryOut();
    return;
  }
  showLeft();
}

void PowerNotice::onClick(ControlId id) {
  if (id == kCarryOutNow)
    carryOut();
  else if (id == kCancelPower)
    cancel();
}

bool PowerNotice::onCloseRequested() {
  cancel();
  return false;  // cancel closes it, when it may
}

void PowerNotice::cancel() {
  auto cancelNow = [this] {
    if (!isOpen()) return;  // carried out meanwhile
    auto cancelled = std::move(choices_.cancelled);
    close();
    if (cancelled) cancelled();
  };
  // A copy: a 取消 allowed at once closes the window, which drops the choices.
  if (const auto allow = choices_.allowCancel)
    allow(*window_, cancelNow);
  else
    cancelNow();
}

void PowerNotice::carryOut() {
  if (!isOpen()) return;
  auto carry = std::move(choices_.carryOut);
  close();
  if (carry) carry();
}

void PowerNotice::onClosed() {
  if (window_) window_->setTimer(kNoticeTimer, 0);
  choices_ = {};
}

}  // namespace temvik
