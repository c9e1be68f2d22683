#include "run/give_up_dialog.h"

#include "run/run_controller.h"

namespace temvik {

using namespace run_ids;

const WindowDesign& giveUpDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "放弃窗口",
      .title = "放弃",
      .rect = {0, 0, 320, 140},
      .minimizeBox = false,
      .centered = true,
      .borderless = true,
      .picture = "giveup",
      .controls =
          {
              {kGiveUpQuestion,
               "透明标签4",
               "question",
               K::Label,
               {32, 30, 256, 20},
               "你确定要放弃该计划的执行吗？",
               ""},
              labelButton({kKeepGoing,
                           "透明标签2",
                           "keepGoing",
                           K::Label,
                           {32, 84, 120, 22},
                           "不 ， 我 要 坚 持",
                           ""}),
              labelButton({kConfirmGiveUp,
                           "透明标签1",
                           "confirmGiveUp",
                           K::Label,
                           {176, 84, 120, 22},
                           "对 ， 我 想 放 弃",
                           ""}),
          },
      // Giving up cannot be undone: Enter and Esc both keep the run going,
      // and the dialog opens with the focus there.
      .defaultControl = kKeepGoing,
      .cancelControl = kKeepGoing,
  };
  return design;
}

void GiveUpDialog::open(Window& owner) {
  if (bringToFront()) return;  // asked again while it is open
  Window& w = create(giveUpDesign(), &owner);
  run_.services().ui.runModal(w);
}

void GiveUpDialog::onClick(ControlId id) {
  if (id == kKeepGoing)
    close();
  else if (id == kConfirmGiveUp)
    run_.giveUp();
}

}  // namespace temvik
