// Real key presses in a real window: Tab moves the focus in table order,
// Enter and Esc press the default and cancel controls, also label buttons and
// also inside the nested loop of a modal window; a drop-down's own keys.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/win32/win32_ui.h"
#include "pump.h"

namespace temvik {
namespace {

using testing::pumpFor;
using testing::pumpUntil;

constexpr ControlId kCaption = 21, kName = 22, kMemo = 23, kFrame = 24, kTick = 25, kYes = 26,
                    kNo = 27, kQuit = 28;

// A dialog with a push button as its default and a label button as its cancel control.
WindowDesign dialogDesign() {
  using K = ControlKind;
  return WindowDesign{
      .designName = "键盘测试",
      .title = "键盘测试",
      .rect = {80, 60, 360, 240},
      .controls = {{kCaption, "标签1", "", K::Label, {8, 8, 200, 16}, "名称：", ""},
                   {kName, "编辑框1", "", K::Edit, {8, 28, 200, 24}, "", ""},
                   {kMemo, "编辑框2", "", K::MultiLineEdit, {8, 60, 200, 48}, "", ""},
                   {kFrame, "分组框1", "", K::GroupBox, {216, 24, 120, 90}, "选项", ""},
                   {kTick, "选择框1", "", K::CheckBox, {224, 44, 100, 20}, "完成后锁定", ""},
                   {kYes, "超级按钮1", "", K::Button, {8, 140, 72, 28}, "是", ""},
                   {kNo, "超级按钮2", "", K::Button, {96, 140, 72, 28}, "否", ""},
                   labelButton(
                       {kQuit, "透明标签1", "", K::Label, {200, 146, 80, 20}, "取 消", ""})},
      .defaultControl = kYes,
      .cancelControl = kQuit,
  };
}

class Recorder : public WindowEvents {
 public:
  std::vector<std::string> log;
  std::function<void(ControlId)> onClickHook;
  void onClick(ControlId id) override {
    log.push_back("click:" + std::to_string(id));
    if (onClickHook) onClickHook(id);
  }
  void onTextTyped(ControlId id) override { log.push_back("typed:" + std::to_string(id)); }
  void onRowSelected(ControlId id) override { log.push_back("row:" + std::to_string(id)); }
  bool onCloseRequested() override {
    log.push_back("closeRequested");
    return true;
  }
};

// Presses and releases a key as the keyboard does, Shift held around it if asked.
void realKey(WORD virtualKey, bool shift = false) {
  std::vector<INPUT> in;
  const auto add = [&](WORD k, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  if (shift) add(VK_SHIFT, false);
  add(virtualKey, false);
  add(virtualKey, true);
  if (shift) add(VK_SHIFT, true);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

LONG_PTR buttonType(HWND button) { return GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK; }

class Win32KeyboardTest : public ::testing::Test {
 protected:
  void open(const WindowDesign& d) {
    window_ = ui_.createWindow(d, events_, nullptr);
    window_->show();
    window_->activate();
    pumpUntil([&] { return GetActiveWindow() == hwnd(); });
    pumpFor(30);
  }
  [[nodiscard]] HWND hwnd() const { return static_cast<Win32Window&>(*window_).hwnd(); }
  [[nodiscard]] HWND item(ControlId id) const { return GetDlgItem(hwnd(), id); }
  [[nodiscard]] ControlId focused() const {
    const HWND f = GetFocus();
    return f && GetParent(f) == hwnd() ? GetDlgCtrlID(f) : 0;
  }
  // Presses a key and waits until the focus is on `id`.
  bool tabTo(ControlId id, bool shift = false) {
    realKey(VK_TAB, shift);
    return pumpUntil([&] { return focused() == id; });
  }
  bool logged(const std::string& entry) {
    return pumpUntil([&] {
      return std::find(events_.log.begin(), events_.log.end(), entry) != events_.log.end();
    });
  }

  Win32Ui ui_;
  Recorder events_;
  std::unique_ptr<Window> window_;
};

TEST_F(Win32KeyboardTest, StylesFollowTheDesign) {
  open(dialogDesign());
  EXPECT_EQ(buttonType(item(kYes)), BS_DEFPUSHBUTTON);
  EXPECT_EQ(buttonType(item(kNo)), BS_PUSHBUTTON);
  for (ControlId id : {kName, kMemo, kTick, kYes, kNo, kQuit}) {
    const LONG_PTR style = GetWindowLongPtrW(item(id), GWL_STYLE);
    EXPECT_TRUE(style & WS_TABSTOP) << id;
    EXPECT_TRUE(style & WS_GROUP) << id;
  }
  for (ControlId id : {kCaption, kFrame})
    EXPECT_FALSE(GetWindowLongPtrW(item(id), GWL_STYLE) & WS_TABSTOP) << id;
}

TEST_F(Win32KeyboardTest, TabAndShiftTabGoThroughTheTabStopsInTableOrder) {
  open(dialogDesign());
  EXPECT_EQ(focused(), kName) << "a dialog opens on its first tab stop";
  for (ControlId next : {kMemo, kTick, kYes, kNo, kQuit, kName})
    ASSERT_TRUE(tabTo(next)) << "Tab to " << next << ", focus on " << focused();
  ASSERT_TRUE(tabTo(kQuit, true)) << "Shift+Tab wraps to the last, focus on " << focused();
  ASSERT_TRUE(tabTo(kNo, true));

  // Disabled controls are passed over.
  window_->setEnabled(kTick, false);
  window_->setEnabled(kYes, false);
  window_->focus(kMemo);
  ASSERT_TRUE(tabTo(kNo)) << "focus on " << focused();
  EXPECT_TRUE(events_.log.empty()) << "moving the focus presses nothing";
}

TEST_F(Win32KeyboardTest, EnterPressesTheDefaultButtonAndEscTheCancelLabel) {
  open(dialogDesign());
  realKey(VK_RETURN);
  ASSERT_TRUE(logged("click:26"));
  realKey(VK_ESCAPE);
  ASSERT_TRUE(logged("click:28")) << "the label's click";
  EXPECT_EQ(events_.log, (std::vector<std::string>{"click:26", "click:28"}));
  EXPECT_EQ(focused(), kName) << "the focus stays in the edit box";

  // Space on the focused label button presses it; Enter on a focused button
  // presses that one.
  events_.log.clear();
  window_->focus(kQuit);
  realKey(VK_SPACE);
  ASSERT_TRUE(logged("click:28"));
  window_->focus(kNo);
  realKey(VK_RETURN);
  ASSERT_TRUE(logged("click:27"));

  // A disabled default ignores Enter.
  events_.log.clear();
  window_->setEnabled(kYes, false);
  window_->focus(kName);
  realKey(VK_RETURN);
  realKey(VK_ESCAPE);
  ASSERT_TRUE(logged("click:28"));
  EXPECT_EQ(events_.log, std::vector<std::string>{"click:28"});
}

TEST_F(Win32KeyboardTest, AMultiLineEditKeepsEnter) {
  open(dialogDesign());
  window_->focus(kMemo);
  realKey(VK_RETURN);
  ASSERT_TRUE(pumpUntil([&] { return window_->text(kMemo) == "\r\n"; }))
      << "text: " << window_->text(kMemo);
  EXPECT_EQ(events_.log, std::vector<std::string>{"typed:23"});
}

TEST_F(Win32KeyboardTest, TheDefaultLookFollowsAFocusedPushButton) {
  open(dialogDesign());
  window_->focus(kYes);
  ASSERT_TRUE(tabTo(kNo));
  EXPECT_EQ(buttonType(item(kNo)), BS_DEFPUSHBUTTON);
  EXPECT_EQ(buttonType(item(kYes)), BS_PUSHBUTTON);
  ASSERT_TRUE(tabTo(kQuit));
  EXPECT_EQ(buttonType(item(kNo)), BS_PUSHBUTTON);
  EXPECT_EQ(buttonType(item(kYes)), BS_DEFPUSHBUTTON) << "back on the default button";
}

TEST_F(Win32KeyboardTest, KeysPostedToTheFocusedControlReachTheModalLoop) {
  WindowDesign plain = dialogDesign();
  plain.title = "主窗口";
  plain.defaultControl = 0;
  plain.cancelControl = 0;
  open(plain);

  Recorder dialogEvents;
  auto dialog = ui_.createWindow(dialogDesign(), dialogEvents, window_.get());
  Window* d = dialog.get();
  dialogEvents.onClickHook = [&](ControlId id) {
    if (id == kQuit) d->close();
  };
  const HWND dialogHwnd = static_cast<Win32Window&>(*dialog).hwnd();
  // Posted before the dialog's loop runs, to the control that will have the
  // focus; a timer closes the dialog should the key be lost.
  PostMessageW(GetDlgItem(dialogHwnd, kName), WM_KEYDOWN, VK_ESCAPE, 1);
  SetTimer(dialogHwnd, 999, 5000, [](HWND h, UINT, UINT_PTR, DWORD) { DestroyWindow(h); });
  ui_.runModal(*dialog);
  EXPECT_EQ(dialogEvents.log, std::vector<std::string>{"click:28"});
  EXPECT_FALSE(IsWindow(dialogHwnd));
}

TEST_F(Win32KeyboardTest, AWindowWithoutDefaultOrCancelIgnoresEnterAndEsc) {
  WindowDesign plain = dialogDesign();
  plain.defaultControl = 0;
  plain.cancelControl = 0;
  open(plain);
  EXPECT_EQ(focused(), 0) << "no control has the focus at first";
  EXPECT_EQ(buttonType(item(kYes)), BS_PUSHBUTTON);
  realKey(VK_ESCAPE);
  realKey(VK_RETURN);
  window_->focus(kName);
  realKey(VK_RETURN);
  realKey(VK_ESCAPE);
  // Keys are handled in order: once Tab moved the focus, the others were handled.
  ASSERT_TRUE(tabTo(kMemo));
  EXPECT_TRUE(events_.log.empty()) << events_.log.front();
  EXPECT_TRUE(window_->isOpen());
  EXPECT_EQ(window_->text(kName), "");
}

// A drop-down is a native combo box that drops its rows; the user's choice,
// by arrow key or in the dropped list, is reported, the program's is not,
// and while its list is down Enter and Esc close the list, not the dialog.
TEST_F(Win32KeyboardTest, ADropDownIsAComboBoxWhoseKeysChooseAndOpenIt) {
  constexpr ControlId kChoice = 29;
  WindowDesign d = dialogDesign();
  d.controls.insert(d.controls.begin() + 3,
                    {kChoice, "下拉框1", "", ControlKind::DropDown, {8, 112, 120, 22}, "", ""});
  open(d);
  const HWND box = item(kChoice);
  wchar_t cls[32]{};
  GetClassNameW(box, cls, 32);
  EXPECT_STREQ(cls, L"ComboBox");
  const LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
  EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
  EXPECT_EQ(SendMessageW(box, WM_GETFONT, 0, 0), SendMessageW(item(kName), WM_GETFONT, 0, 0));
  const std::vector<std::string> rows = {"仅提示", "关机", "重启", "注销", "锁定", "运行程序"};
  for (const auto& row : rows) window_->listAdd(kChoice, row);
  window_->listSelect(kChoice, 1);
  EXPECT_EQ(window_->listSelection(kChoice), 1);
  EXPECT_EQ(window_->text(kChoice), "关机");

  ASSERT_TRUE(tabTo(kMemo));
  ASSERT_TRUE(tabTo(kChoice)) << "a tab stop in table order";
  realKey(VK_DOWN);
  ASSERT_TRUE(logged("row:29"));
  EXPECT_EQ(window_->listSelection(kChoice), 2);
  EXPECT_EQ(window_->text(kChoice), "重启");
  realKey(VK_F4);
  ASSERT_TRUE(pumpUntil([&] { return SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
  // Dropped, it shows every row without scrolling.
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(box, &info));
  RECT dropped{};
  GetClientRect(info.hwndList, &dropped);
  EXPECT_GE(dropped.bottom, static_cast<LONG>(rows.size()) *
                                static_cast<LONG>(SendMessageW(box, CB_GETITEMHEIGHT, 0, 0)));
  realKey(VK_RETURN);
  ASSERT_TRUE(pumpUntil([&] { return SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
  realKey(VK_F4);
  ASSERT_TRUE(pumpUntil([&] { return SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
  realKey(VK_ESCAPE);
  ASSERT_TRUE(pumpUntil([&] { return SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
  pumpFor(50);
  EXPECT_EQ(events_.log, std::vector<std::string>{"row:29"}) << "neither 是 nor 取 消 pressed";
  EXPECT_TRUE(window_->isOpen());
}

}  // namespace
}  // namespace temvik
