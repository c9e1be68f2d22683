#include "run/item_finished_dialog.h"

#include "run/content_note_window.h"
#include "run/give_up_dialog.h"
#include "run/run_controller.h"
#include "store/text.h"

namespace temvik {

using namespace run_ids;

namespace {

constexpr std::uint64_t kSecondMs = 1000;
constexpr std::uint64_t kAutoYesMs = 10000;

}  // namespace

const WindowDesign& itemFinishedDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "完成提示窗口",
      .title = "时间到",
      .rect = {0, 0, 340, 170},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kFinishedQuestion,
               "透明标签1",
               "question",
               K::Label,
               {20, 16, 300, 20},
               "一个项目已完成，是否进行下一项目？",
               ""},
              {kCountdownNumber,
               "透明标签2",
               "countdownNumber",
               K::Label,
               {20, 48, 36, 20},
               "10",
               ""},
              {kCountdownText,
               "透明标签3",
               "countdownText",
               K::Label,
               {56, 48, 200, 20},
               "秒钟后自动选“是”",
               ""},
              {kYesButton, "超级按钮1", "yes", K::Button, {60, 84, 80, 28}, "是", ""},
              {kGiveUpButton, "超级按钮2", "giveUp", K::Button, {184, 84, 80, 28}, "放弃", ""},
          },
      // Enter goes on, as the countdown would. Esc means not going on, and
      // only asks: the give-up dialog keeps the run on Enter and Esc.
      .defaultControl = kYesButton,
      .cancelControl = kGiveUpButton,
  };
  return design;
}

void ItemFinishedDialog::open() {
  const RunState& s = run_.state();
  goingOn_ = false;
  Window& w = create(itemFinishedDesign(), &run_.host().mainWindow());
  run_.keepAwakeWhileRunning();
  player_ = run_.services().sound.createPlayer();
  run_.startEndSound(*player_);
  if (!s.content.empty()) run_.contentNote().open(run_.host().mainWindow(), w, 0);
  w.setText(kCountdownNumber, "10");
  w.setTimer(kLabelTimer, kSecondMs);
  w.setTimer(kAutoYesTimer, kAutoYesMs);
  if (s.options.media) {
    if (s.options.playSeconds > 0)
      w.setTimer(kPlayTimer, static_cast<std::uint64_t>(s.options.playSeconds) * 1000);
    if (s.options.playSeconds > 10) {
      w.setText(kCountdownNumber, std::to_string(s.options.playSeconds));
      w.setTimer(kAutoYesTimer, static_cast<std::uint64_t>(s.options.playSeconds) * 1000);
    }
  }
  run_.services().ui.runModal(w);
}

void ItemFinishedDialog::onTimer(TimerId id) {
  Window& w = *window_;
  switch (id) {
    case kLabelTimer:
      w.setText(kCountdownNumber, std::to_string(integerValue(w.text(kCountdownNumber)) - 1));
      break;
    case kPlayTimer:
      run_.services().sound.stopMusic();
      w.setTimer(kPlayTimer, 0);
      break;
    case kAutoYesTimer:
      w.setTimer(kAutoYesTimer, 0);
      w.setEnabled(kYesButton, false);
      goOn();
      break;
    default:
      break;
  }
}

void ItemFinishedDialog::goOn() {
  goingOn_ = true;
  close();
  run_.nextItem();
}

void ItemFinishedDialog::onClick(ControlId id) {
  if (id == kYesButton)
    goOn();
  else if (id == kGiveUpButton)
    run_.withAdministrator(*window_, [this] {
      if (isOpen()) run_.giveUpDialog().open(*window_);
    });
}

bool ItemFinishedDialog::onCloseRequested() {
  // Closed by the user, the dialog ends the run: in strict mode only after
  // the password.
  if (!run_.strictMode()) return true;
  run_.withAdministrator(*window_, [this] { close(); });
  return false;
}

void ItemFinishedDialog::onClosed() {
  run_.keepAwakeWhileRunning();
  run_.contentNote().close();
  run_.services().sound.stopMusic();
  if (player_) player_->stop();
  if (!goingOn_) run_.backToMain(false);
}

}  // namespace temvik
