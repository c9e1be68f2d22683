#include "run/plan_complete_window.h"

#include "run/content_note_window.h"
#include "run/run_controller.h"

namespace temvik {

using namespace run_ids;

const WindowDesign& planCompleteDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "计划完成窗口",
      .title = "计划完成",
      .rect = {0, 0, 320, 150},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kCompleteText,
               "透明标签4",
               "completeText",
               K::Label,
               {24, 24, 260, 24},
               "该计划已完成",
               ""},
              labelButton({kBackToMain,
                           "透明标签1",
                           "backToMain",
                           K::Label,
                           {32, 72, 100, 22},
                           "回到主界面",
                           ""}),
              labelButton({kExitProgramLabel,
                           "透明标签2",
                           "exitProgram",
                           K::Label,
                           {184, 72, 100, 22},
                           "退出软件",
                           ""}),
          },
      // Enter and Esc go back to the plan; ending the program takes a
      // deliberate choice.
      .defaultControl = kBackToMain,
      .cancelControl = kBackToMain,
  };
  return design;
}

void PlanCompleteWindow::open() {
  leavingByExit_ = false;
  Window& w = create(planCompleteDesign(), &run_.host().mainWindow());
  player_ = run_.services().sound.createPlayer();
  run_.startEndSound(*player_);
  if (!run_.state().content.empty()) run_.contentNote().open(w, w, 10);
  run_.services().ui.runModal(w);
}

void PlanCompleteWindow::onMoved(Point) {
  if (run_.contentNote().isOpen()) run_.contentNote().follow(*window_, 10);
}

void PlanCompleteWindow::onClick(ControlId id) {
  if (id == kBackToMain) {
    close();
    if (run_.state().kind == RunKind::Timed) {
      run_.host().refillTimed();
    } else {
      run_.host().refillSequential();
      run_.host().applyResumeRule();
    }
  } else if (id == kExitProgramLabel) {
    leavingByExit_ = true;
    close();
    run_.host().mainWindow().close();
  }
}

void PlanCompleteWindow::onClosed() {
  run_.contentNote().close();
  run_.services().sound.stopMusic();
  if (player_) player_->stop();
  if (!leavingByExit_) run_.backToMain(false);
}

}  // namespace temvik
