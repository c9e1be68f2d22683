#include "ui/dialogs/about_window.h"

#include <string>

#include "store/program.h"

namespace temvik {

using namespace about_ids;

const WindowDesign& aboutDesign() {
  using K = ControlKind;
  static const std::string version = "版本 " + std::string(kProgramVersion);
  static const WindowDesign design{
      .designName = "关于窗口",
      .title = "关于",
      .rect = {0, 0, 420, 232},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kName, "标签1", "name", K::Label, {20, 16, 380, 20}, kProgramName, ""},
              {kVersion, "标签2", "version", K::Label, {20, 40, 380, 20}, version, ""},
              {kPurpose,
               "标签3",
               "purpose",
               K::Label,
               {20, 72, 380, 20},
               "按计划计时做事：非同步计划逐项倒计时，同步计划到点自动开始。",
               ""},
              {kWhereData,
               "标签4",
               "whereData",
               K::Label,
               {20, 96, 380, 20},
               "所有计划保存在程序所在文件夹的 INI 文件中。",
               ""},
              {kCredits,
               "标签5",
               "credits",
               K::Label,
               {20, 120, 380, 20},
               "致谢：Temvik 开发组，以及每一位提出建议的用户。",
               ""},
              {kAboutOk, "超级按钮1", "ok", K::Button, {316, 156, 84, 28}, "确定", ""},
          },
      .defaultControl = kAboutOk,
      .cancelControl = kAboutOk,
  };
  return design;
}

void AboutWindow::open(Window& owner) {
  if (bringToFront()) return;
  Window& w = create(aboutDesign(), &owner);
  w.show();
  ui().runModal(w);
}

void AboutWindow::onClick(ControlId id) {
  if (id == kAboutOk) close();
}

}  // namespace temvik
