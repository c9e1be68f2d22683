// The keyboard rules as a window on the headless backend follows them: Tab
// order, Enter and Esc on the default and cancel controls, label buttons.

#include "platform/keyboard.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

namespace temvik::headless {
namespace {

enum : ControlId { kTitle = 1, kName, kFrame, kNotes, kAgree, kRows, kOk, kApply, kCancel };

// A dialog: a label, an edit box, a group box, a multi-line edit, a check
// box, a list, a label acting as the default button, a push button and the
// cancel button.
WindowDesign dialogDesign() {
  using K = ControlKind;
  return WindowDesign{
      .designName = "对话框",
      .title = "对话框",
      .rect = {0, 0, 300, 200},
      .controls = {{kTitle, "标签1", "title", K::Label, {8, 8, 200, 16}, "名称：", ""},
                   {kName, "编辑框1", "name", K::Edit, {8, 28, 200, 24}, "", ""},
                   {kFrame, "分组框1", "frame", K::GroupBox, {4, 56, 292, 80}, "", ""},
                   {kNotes, "编辑框2", "notes", K::MultiLineEdit, {8, 64, 200, 40}, "", ""},
                   {kAgree, "选择框1", "agree", K::CheckBox, {8, 108, 100, 16}, "同意", ""},
                   {kRows, "列表框1", "rows", K::ListBox, {212, 64, 80, 60}, "", ""},
                   labelButton({kOk, "透明标签1", "ok", K::Label, {8, 150, 60, 20}, "确 定", ""}),
                   {kApply, "超级按钮1", "apply", K::Button, {100, 150, 60, 24}, "应用", ""},
                   {kCancel, "超级按钮2", "cancel", K::Button, {200, 150, 60, 24}, "取消", ""}},
      .defaultControl = kOk,
      .cancelControl = kCancel,
  };
}

// The same controls in a window that is no dialog.
WindowDesign plainDesign() {
  WindowDesign d = dialogDesign();
  d.designName = "普通窗口";
  d.defaultControl = 0;
  d.cancelControl = 0;
  return d;
}

struct Recorder : WindowEvents {
  std::vector<std::string> log;
  void onClick(ControlId id) override { log.push_back("click" + std::to_string(id)); }
  void onTextTyped(ControlId id) override { log.push_back("typed" + std::to_string(id)); }
  void onKeyDown(ControlId id, int key) override {
    log.push_back("key" + std::to_string(id) + ":" + std::to_string(key));
  }
  bool onCloseRequested() override {
    log.push_back("closeRequested");
    return true;
  }
};

class KeyboardTest : public ::testing::Test {
 protected:
  HeadlessWindow& open(const WindowDesign& design) {
    design_ = design;
    window_ = env.ui.createWindow(design_, events, nullptr);
    auto& w = static_cast<HeadlessWindow&>(*window_);
    w.show();
    return w;
  }
  // The controls that Tab (or Shift+Tab) reaches, `count` presses long.
  static std::vector<ControlId> tabWalk(HeadlessWindow& w, int count, bool shift = false) {
    std::vector<ControlId> reached;
    for (int i = 0; i < count; ++i) {
      w.pressKey(vk::kTab, shift);
      reached.push_back(w.focusedControl());
    }
    return reached;
  }

  Headless env;
  Recorder events;
  WindowDesign design_;
  std::unique_ptr<Window> window_;
};

using Ids = std::vector<ControlId>;

TEST_F(KeyboardTest, TabGoesThroughTheTabStopsInTableOrderAndWraps) {
  auto& w = open(dialogDesign());
  EXPECT_EQ(w.focusedControl(), kName) << "a dialog opens on its first tab stop";
  // Neither the label nor the group box stops Tab; the label button does.
  EXPECT_EQ(tabWalk(w, 7), (Ids{kNotes, kAgree, kRows, kOk, kApply, kCancel, kName}));
  EXPECT_TRUE(events.log.empty()) << "moving the focus presses nothing";
}

TEST_F(KeyboardTest, ShiftTabGoesBackwardsAndWraps) {
  auto& w = open(dialogDesign());
  EXPECT_EQ(tabWalk(w, 3, true), (Ids{kCancel, kApply, kOk}));
  w.focus(kNotes);
  EXPECT_EQ(tabWalk(w, 1, true), Ids{kName});
}

TEST_F(KeyboardTest, TabPassesOverDisabledAndHiddenControls) {
  auto& w = open(dialogDesign());
  w.setEnabled(kAgree, false);
  w.setShown(kRows, false);
  w.setEnabled(kApply, false);
  w.focus(kNotes);
  EXPECT_EQ(tabWalk(w, 3), (Ids{kOk, kCancel, kName}));
  EXPECT_EQ(tabWalk(w, 2, true), (Ids{kCancel, kOk}));

  // A control that is disabled while it has the focus loses it; Tab then
  // starts again from the first tab stop.
  w.setEnabled(kOk, false);
  EXPECT_EQ(w.focusedControl(), 0);
  EXPECT_EQ(tabWalk(w, 1), Ids{kName});
}

TEST_F(KeyboardTest, TabWithNoUsableTabStopLeavesTheFocusAlone) {
  auto& w = open(plainDesign());
  for (ControlId id : {kName, kNotes, kAgree, kRows, kOk, kApply, kCancel}) w.setEnabled(id, false);
  EXPECT_TRUE(w.pressKey(vk::kTab));
  EXPECT_EQ(w.focusedControl(), 0);
  w.setEnabled(kApply, true);
  EXPECT_EQ(tabWalk(w, 2), (Ids{kApply, kApply})) << "the only tab stop keeps the focus";
}

TEST_F(KeyboardTest, EnterPressesTheDefaultControlAndEscTheCancelControl) {
  auto& w = open(dialogDesign());
  w.type(kName, "语文");
  events.log.clear();
  w.pressKey(vk::kReturn);
  EXPECT_EQ(events.log, std::vector<std::string>{"click7"}) << "the label button's click";
  w.pressKey(vk::kEscape);
  EXPECT_EQ(events.log, (std::vector<std::string>{"click7", "click9"}));
  EXPECT_EQ(w.focusedControl(), kName) << "a press by the keyboard leaves the focus where it is";

  // From the check box and from the list as well.
  events.log.clear();
  w.focus(kAgree);
  w.pressKey(vk::kReturn);
  w.focus(kRows);
  w.pressKey(vk::kEscape);
  EXPECT_EQ(events.log, (std::vector<std::string>{"click7", "click9"}));
  EXPECT_FALSE(w.isChecked(kAgree)) << "Enter on a check box does not tick it";
}

TEST_F(KeyboardTest, EnterOnAFocusedButtonPressesThatButton) {
  auto& w = open(dialogDesign());
  w.focus(kApply);
  w.pressKey(vk::kReturn);
  w.focus(kCancel);
  w.pressKey(vk::kReturn);
  EXPECT_EQ(events.log, (std::vector<std::string>{"click8", "click9"}));

  // A click with the mouse gives a push button the focus; a click on a label does not.
  events.log.clear();
  w.click(kApply);
  w.pressKey(vk::kReturn);
  EXPECT_EQ(events.log, (std::vector<std::string>{"click8", "click8"}));
  w.focus(kName);
  w.click(kOk);
  EXPECT_EQ(w.focusedControl(), kName);
}

TEST_F(KeyboardTest, ADisabledOrHiddenDefaultIgnoresTheKey) {
  auto& w = open(dialogDesign());
  w.setEnabled(kOk, false);
  w.setShown(kCancel, false);
  EXPECT_TRUE(w.pressKey(vk::kReturn));
  EXPECT_TRUE(w.pressKey(vk::kEscape));
  EXPECT_TRUE(events.log.empty());
  w.setEnabled(kOk, true);
  w.pressKey(vk::kReturn);
  EXPECT_EQ(events.log, std::vector<std::string>{"click7"});
}

TEST_F(KeyboardTest, AMultiLineEditKeepsEnterButNotEsc) {
  auto& w = open(dialogDesign());
  w.type(kNotes, "第一行");
  events.log.clear();
  w.pressKey(vk::kReturn);
  EXPECT_EQ(w.text(kNotes), "第一行\r\n");
  EXPECT_EQ(events.log, std::vector<std::string>{"typed4"}) << "no press of the default";
  w.pressKey(vk::kEscape);
  EXPECT_EQ(events.log, (std::vector<std::string>{"typed4", "click9"}));
  w.pressKey(vk::kTab);
  EXPECT_EQ(w.focusedControl(), kAgree) << "Tab leaves the edit";
}

TEST_F(KeyboardTest, SpacePressesAFocusedButtonLabelButtonOrCheckBox) {
  auto& w = open(dialogDesign());
  w.focus(kOk);
  w.pressKey(vk::kSpace);
  w.focus(kApply);
  w.pressKey(vk::kSpace);
  w.focus(kAgree);
  w.pressKey(vk::kSpace);
  EXPECT_TRUE(w.isChecked(kAgree));
  w.focus(kName);
  w.pressKey(vk::kSpace);
  EXPECT_EQ(events.log, (std::vector<std::string>{"click7", "click8", "click5"}));
}

TEST_F(KeyboardTest, AListHearsItsOtherKeys) {
  auto& w = open(dialogDesign());
  w.focus(kRows);
  w.pressKey(vk::kDelete);
  w.pressKey(vk::kSpace);
  EXPECT_EQ(events.log, (std::vector<std::string>{"key6:46", "key6:32"}));
}

TEST_F(KeyboardTest, AWindowWithoutDefaultOrCancelIgnoresEnterAndEsc) {
  auto& w = open(plainDesign());
  EXPECT_EQ(w.focusedControl(), 0) << "no control has the focus at first";
  EXPECT_TRUE(w.pressKey(vk::kReturn));
  EXPECT_TRUE(w.pressKey(vk::kEscape));
  w.type(kName, "x");
  w.pressKey(vk::kReturn);
  w.pressKey(vk::kEscape);
  // Nothing is pressed; the window itself hears the keys while no control
  // has the focus.
  EXPECT_EQ(events.log, (std::vector<std::string>{"key0:13", "key0:27", "typed2"}));
  EXPECT_TRUE(w.isOpen()) << "Esc does not close it";
  EXPECT_EQ(tabWalk(w, 1), Ids{kNotes});
}

TEST_F(KeyboardTest, AWindowBehindAModalOneTakesNoKeys) {
  auto& owner = open(dialogDesign());
  Recorder modalEvents;
  auto modal = env.ui.createWindow(plainDesign(), modalEvents, &owner);
  env.ui.runModal(*modal);
  EXPECT_FALSE(owner.pressKey(vk::kReturn));
  EXPECT_FALSE(owner.pressKey(vk::kTab));
  EXPECT_EQ(owner.focusedControl(), kName);
  EXPECT_TRUE(events.log.empty());
  modal->close();
  EXPECT_TRUE(owner.pressKey(vk::kReturn));
  EXPECT_EQ(events.log, std::vector<std::string>{"click7"});
}

TEST(KeyRules, AnEmptyWindowHasNoTabStop) {
  const WindowDesign empty{.designName = "空", .defaultControl = 0};
  const auto any = [](ControlId) { return true; };
  EXPECT_EQ(nextTabStop(empty, 0, false, any), 0);
  EXPECT_EQ(answerKey(empty, 0, vk::kTab, false, any).kind, KeyAnswer::Kind::Nothing);
  EXPECT_EQ(initialFocus(empty, any), 0);
}

}  // namespace
}  // namespace temvik::headless
