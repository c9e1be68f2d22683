#include <windows.h>

#include <shellapi.h>

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/native.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"
#include "pump.h"

namespace temvik {
namespace {

using testing::pumpFor;
using testing::pumpUntil;

constexpr ControlId kLabel = 11, kButton = 12, kCheck = 13, kEdit = 14, kMemo = 15, kList = 16,
                    kGroup = 17, kTicked = 18;
constexpr MenuItemId kImport = 101, kExit = 102, kTitleItem = 201, kDelete = 202, kUpdate = 301,
                     kAbout = 302;

WindowDesign design() {
  return WindowDesign{
      .designName = "测试窗口",
      .title = "Temvikv1.0 -- 默认计划 -- 默认同步",
      .rect = {60, 40, 485, 420},
      .controls =
          {
              {kGroup,
               "分组框6",
               "",
               ControlKind::GroupBox,
               {8, -8, 208, 304},
               "非同步计划列表",
               ""},
              {kLabel, "标签1", "", ControlKind::Label, {240, 0, 48, 16}, "内容：", ""},
              {kButton,
               "超级按钮5",
               "",
               ControlKind::Button,
               {376, 300, 72, 32},
               "从头执行",
               "从非同步列表的第一个项目开始执行"},
              {kCheck, "选择框4", "", ControlKind::CheckBox, {240, 208, 144, 16}, "完成后锁定", ""},
              {kTicked,
               "选择框2",
               "",
               ControlKind::CheckBox,
               {264, 240, 168, 24},
               "完成后打开多媒体：",
               "",
               true},
              {kEdit, "编辑框1", "", ControlKind::Edit, {240, 104, 48, 24}, "0", ""},
              {kMemo, "任务内容", "", ControlKind::MultiLineEdit, {240, 24, 232, 60}, "", ""},
              {kList, "非同步框", "", ControlKind::ListBox, {16, 24, 168, 248}, "", ""},
          },
      .menus = {
          {"计划",
           "计划",
           false,
           {{kImport, "导入非同步部分", ""}, {0, "", ""}, {kExit, "退出软件", ""}}},
          {"列表1右键菜单",
           "列表1右键菜单",
           true,
           {{kTitleItem, "选中计划名", ""}, {0, "", ""}, {kDelete, "删除", ""}}},
          {"帮助", "帮助", false, {{kUpdate, "检查更新", ""}, {kAbout, "关于", ""}}},
      }};
}

// Writes every event into a log; hooks let a test act inside a handler.
class Recorder : public WindowEvents {
 public:
  std::vector<std::string> log;
  bool allowClose = true;
  std::function<void(const std::string&)> hook;
  Window* window = nullptr;

  void onCreated() override { add("created"); }
  void onActivated() override { add("activated"); }
  bool onCloseRequested() override {
    add("closeRequested");
    return allowClose;
  }
  void onClosed() override { add("closed"); }
  void onMoved(Point p) override {
    add("moved:" + std::to_string(p.x) + "," + std::to_string(p.y));
  }
  void onClick(ControlId id) override { add("click:" + std::to_string(id)); }
  void onDoubleClick(ControlId id) override { add("dblclick:" + std::to_string(id)); }
  void onTextTyped(ControlId id) override { add("typed:" + std::to_string(id)); }
  void onRowSelected(ControlId id) override { add("selected:" + std::to_string(id) + sel(id)); }
  void onMouseDown(ControlId id, MouseButton b) override {
    add("down:" + std::to_string(id) + button(b) + sel(id));
  }
  void onMouseUp(ControlId id, MouseButton b) override {
    add("up:" + std::to_string(id) + button(b));
  }
  void onKeyDown(ControlId id, int key) override {
    add("key:" + std::to_string(id) + ":" + std::to_string(key));
  }
  void onTimer(TimerId id) override { add("timer:" + std::to_string(id)); }
  void onMenu(MenuItemId id) override { add("menu:" + std::to_string(id)); }
  void onContextMenu(ControlId id) override { add("context:" + std::to_string(id)); }
  void onTrayDoubleClick() override { add("trayDouble"); }
  void onTrayRightClick() override { add("trayRight"); }
  void onSystemTimeChanged() override { add("timeChanged"); }

  [[nodiscard]] bool has(const std::string& entry) const {
    return std::find(log.begin(), log.end(), entry) != log.end();
  }
  [[nodiscard]] int count(const std::string& entry) const {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
  }

 private:
  void add(const std::string& entry) {
    log.push_back(entry);
    if (hook) hook(entry);
  }
  static std::string button(MouseButton b) { return b == MouseButton::Left ? ":L" : ":R"; }
  // The selection as the handler sees it.
  std::string sel(ControlId id) const {
    return window ? ":sel=" + std::to_string(window->listSelection(id)) : "";
  }
};

RECT childRect(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring windowText(HWND h) {
  wchar_t buffer[512] = {};
  GetWindowTextW(h, buffer, 512);
  return buffer;
}

std::wstring menuString(HMENU menu, UINT item, UINT flags) {
  wchar_t buffer[256] = {};
  GetMenuStringW(menu, item, buffer, 256, flags);
  return buffer;
}

class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { open(design()); }
  void TearDown() override { window_.reset(); }

  void open(const WindowDesign& d) {
    window_ = ui_.createWindow(d, events_, nullptr);
    events_.window = window_.get();
    events_.log.clear();
  }
  Win32Window& native() { return static_cast<Win32Window&>(*window_); }
  HWND hwnd() { return native().hwnd(); }
  HWND item(int id) { return GetDlgItem(hwnd(), id); }
  // Puts the pointer on the centre of a list row (window shown on top).
  void pointAtRow(int row) {
    RECT r{};
    SendMessageW(item(kList), LB_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(item(kList), &p);
    ASSERT_TRUE(testing::movePointer(p)) << "the pointer did not reach the row";
  }
  void showOnTop() {
    window_->show();
    window_->activate();
    pumpFor(50);
    events_.log.clear();
  }

  Win32Ui ui_;
  Recorder events_;
  std::unique_ptr<Window> window_;
};

// ------------------------------------------------------------ creation

TEST_F(Win32WindowTest, WindowHasItsDesignedFrameTitleAndStartsHidden) {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  EXPECT_EQ(r.left, 60);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 485);
  EXPECT_EQ(r.bottom - r.top, 420);
  EXPECT_EQ(windowText(hwnd()), L"Temvikv1.0 -- 默认计划 -- 默认同步");
  const auto style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(window_->isOpen());
}

TEST_F(Win32WindowTest, OnCreatedRunsOnceWithEveryControlInPlace) {
  Recorder other;
  HWND listSeen = nullptr;
  other.hook = [&](const std::string&) {
    listSeen = GetDlgItem(FindWindowW(L"TemvikWindow", L"第二个窗口"), kList);
  };
  WindowDesign d = design();
  d.title = "第二个窗口";
  auto second = ui_.createWindow(d, other, nullptr);
  EXPECT_EQ(other.log, std::vector<std::string>{"created"});
  EXPECT_NE(listSeen, nullptr);
}

TEST_F(Win32WindowTest, ControlsSitAtTheirDesignedRectanglesWithTheirIds) {
  for (const auto& c : design().controls) {
    SCOPED_TRACE(c.designName);
    HWND h = item(c.id);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h, native().controlHwnd(c.id));
    const RECT r = childRect(hwnd(), h);
    EXPECT_EQ(r.left, c.rect.x);
    EXPECT_EQ(r.top, c.rect.y);
    EXPECT_EQ(r.right - r.left, c.rect.width);
    EXPECT_EQ(r.bottom - r.top, c.rect.height);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), ui_.font());
  }
  // A Chinese face at 9 pt, the size the layouts were made for.
  LOGFONTW font{};
  ASSERT_TRUE(GetObjectW(ui_.font(), sizeof(font), &font));
  EXPECT_NE(font.lfFaceName[0], L'\0');
  EXPECT_EQ(font.lfHeight, -12);
}

TEST_F(Win32WindowTest, OwnedResizableToolWindowsGetTheirFrame) {
  WindowDesign d = design();
  d.resizable = true;
  d.toolWindow = true;
  d.menus.clear();
  Recorder other;
  auto owned = ui_.createWindow(d, other, window_.get());
  const HWND h = static_cast<Win32Window&>(*owned).hwnd();
  EXPECT_TRUE(GetWindowLongPtrW(h, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetWindow(h, GW_OWNER), hwnd());
  EXPECT_EQ(GetMenu(h), nullptr);
}

TEST_F(Win32WindowTest, ChineseCaptionsRoundTripThroughTheWideApi) {
  EXPECT_EQ(windowText(item(kTicked)), L"完成后打开多媒体：");
  EXPECT_EQ(window_->text(kTicked), "完成后打开多媒体：");
  window_->setText(kLabel, "持续时间：");
  window_->setText(kMemo, "背单词\r\n第二行 😀");
  window_->setText(kButton, "继续未完成");
  EXPECT_EQ(windowText(item(kLabel)), L"持续时间：");
  EXPECT_EQ(windowText(item(kMemo)), L"背单词\r\n第二行 \U0001F600");
  EXPECT_EQ(window_->text(kMemo), "背单词\r\n第二行 😀");
  EXPECT_EQ(window_->text(kButton), "继续未完成");
  window_->setTitle("Temvikv1.0 -- 学习 -- 同步");
  EXPECT_EQ(windowText(hwnd()), L"Temvikv1.0 -- 学习 -- 同步");
  EXPECT_EQ(window_->title(), "Temvikv1.0 -- 学习 -- 同步");
}

TEST_F(Win32WindowTest, EnabledShownAndCheckedStatesFollowTheCalls) {
  EXPECT_TRUE(window_->isChecked(kTicked));
  EXPECT_FALSE(window_->isChecked(kCheck));
  window_->setChecked(kCheck, true);
  EXPECT_EQ(SendMessageW(item(kCheck), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(window_->isChecked(kCheck));

  window_->setEnabled(kButton, false);
  EXPECT_FALSE(IsWindowEnabled(item(kButton)));
  EXPECT_FALSE(window_->isEnabled(kButton));
  window_->setEnabled(kButton, true);
  EXPECT_TRUE(window_->isEnabled(kButton));

  // A control's own shown state, while its window is still hidden.
  EXPECT_TRUE(window_->isShown(kEdit));
  window_->setShown(kEdit, false);
  EXPECT_FALSE(window_->isShown(kEdit));
  window_->setShown(kEdit, true);
  EXPECT_TRUE(window_->isShown(kEdit));
  EXPECT_TRUE(events_.log.empty());
}

TEST_F(Win32WindowTest, TooltipsHoldTheirTextAndFollowChanges) {
  EXPECT_EQ(native().tooltip(kButton), "从非同步列表的第一个项目开始执行");
  window_->setTooltip(kButton, "退出软件");
  EXPECT_EQ(native().tooltip(kButton), "退出软件");
  window_->setTooltip(kEdit, "把右边窗体上正在编辑的内容添加到列表创建一个新计划");
  EXPECT_EQ(native().tooltip(kEdit), "把右边窗体上正在编辑的内容添加到列表创建一个新计划");
  window_->setTooltip(kButton, "");
  EXPECT_EQ(native().tooltip(kButton), "");
}

TEST_F(Win32WindowTest, LayeredAlphaReadsBack) {
  EXPECT_EQ(window_->layeredAlpha(), -1);
  window_->setLayered(230);
  EXPECT_TRUE(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(hwnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 230);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));  // a window without a picture has no key
  EXPECT_EQ(window_->layeredAlpha(), 230);
}

TEST_F(Win32WindowTest, ReadOnlyEditShowsTextTheUserCannotChange) {
  WindowDesign d = design();
  for (auto& c : d.controls)
    if (c.id == kMemo) c.readOnly = true;
  open(d);
  EXPECT_TRUE(GetWindowLongPtrW(item(kMemo), GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(GetWindowLongPtrW(item(kEdit), GWL_STYLE) & ES_READONLY);
  window_->setText(kMemo, "背单词");
  SendMessageW(item(kMemo), WM_CHAR, L'中', 1);
  EXPECT_EQ(window_->text(kMemo), "背单词");
  EXPECT_FALSE(events_.has("typed:15"));
}

// A borderless window in the middle of the screen, shaped by its picture.
WindowDesign pictureDesign(std::string_view picture) {
  return WindowDesign{
      .designName = "放弃窗口",
      .title = "放弃",
      .rect = {5, 5, 320, 140},
      .centered = true,
      .borderless = true,
      .picture = picture,
      .controls = {{kLabel,
                    "透明标签4",
                    "",
                    ControlKind::Label,
                    {32, 30, 256, 20},
                    "你确定要放弃该计划的执行吗？",
                    ""}},
  };
}

TEST_F(Win32WindowTest, PictureWindowIsCentredBorderlessAndSeeThroughWhereWhite) {
  open(pictureDesign("giveup"));
  const auto style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME));
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(window_->bounds(), (Rect{work.left + (work.right - work.left - 320) / 2,
                                     work.top + (work.bottom - work.top - 140) / 2, 320, 140}));

  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(hwnd(), &key, &alpha, &flags));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));  // see-through from the start
  EXPECT_EQ(key, RGB(255, 255, 255));
  // The translucent look keeps the see-through white.
  window_->setLayered(230);
  ASSERT_TRUE(GetLayeredWindowAttributes(hwnd(), &key, &alpha, &flags));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
  EXPECT_EQ(key, RGB(255, 255, 255));
  EXPECT_EQ(alpha, 230);
  EXPECT_EQ(window_->layeredAlpha(), 230);

  // The background is the picture, white outside its rounded panel.
  const HDC screen = GetDC(nullptr);
  const HDC canvas = CreateCompatibleDC(screen);
  const HBITMAP pixels = CreateCompatibleBitmap(screen, 320, 140);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ old = SelectObject(canvas, pixels);
  EXPECT_NE(SendMessageW(hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas), 0), 0);
  EXPECT_EQ(GetPixel(canvas, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(canvas, 319, 139), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(canvas, 1, 70), RGB(196, 120, 60));     // the frame
  EXPECT_EQ(GetPixel(canvas, 160, 70), RGB(250, 236, 214));  // the panel
  SelectObject(canvas, old);
  DeleteObject(pixels);
  DeleteDC(canvas);
}

TEST_F(Win32WindowTest, UnknownPictureLeavesAnOrdinaryBackground) {
  open(pictureDesign("没有这张图"));
  EXPECT_TRUE(window_->isOpen());
  EXPECT_EQ(window_->layeredAlpha(), -1);
  window_->setLayered(230);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(hwnd(), &key, &alpha, &flags));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
}

// ------------------------------------------------------------ list boxes

TEST_F(Win32WindowTest, ListRowsKeepTheirTextAndWhole64BitData) {
  const std::int64_t big = 0x123456789ABCDEF0;
  EXPECT_EQ(window_->listAdd(kList, "已完成--背单词", big), 0);
  EXPECT_EQ(window_->listAdd(kList, "写作业", INT64_MIN), 1);
  EXPECT_EQ(window_->listAdd(kList, "锻炼", -2), 2);
  EXPECT_EQ(window_->listCount(kList), 3);
  EXPECT_EQ(SendMessageW(item(kList), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(window_->listData(kList, 0), big);
  EXPECT_EQ(window_->listData(kList, 1), INT64_MIN);
  EXPECT_EQ(window_->listData(kList, 2), -2);
  // Rows stay in the order added (no sorting).
  EXPECT_EQ(window_->listText(kList, 0), "已完成--背单词");
  EXPECT_EQ(window_->listText(kList, 1), "写作业");
  window_->listSetData(kList, 2, INT64_MAX);
  EXPECT_EQ(window_->listData(kList, 2), INT64_MAX);
  EXPECT_EQ(window_->listText(kList, 3), "");
  EXPECT_EQ(window_->listData(kList, -1), 0);

  window_->listRemove(kList, 0);
  EXPECT_EQ(window_->listText(kList, 0), "写作业");
  EXPECT_EQ(window_->listData(kList, 0), INT64_MIN);
  window_->listClear(kList);
  EXPECT_EQ(window_->listCount(kList), 0);
}

TEST_F(Win32WindowTest, ListRowsSetAtOnceReplaceTheOldAndDrawAgain) {
  window_->listAdd(kList, "旧", 7);
  window_->listSelect(kList, 0);
  std::vector<std::string> rows;
  for (int i = 0; i < 3000; ++i) rows.push_back("第" + std::to_string(i) + "项");
  window_->listSetRows(kList, rows);
  EXPECT_EQ(window_->listCount(kList), 3000);
  EXPECT_EQ(window_->listText(kList, 0), "第0项");
  EXPECT_EQ(window_->listText(kList, 2999), "第2999项");
  EXPECT_EQ(window_->listData(kList, 0), 0);
  EXPECT_EQ(window_->listSelection(kList), -1);
  // Drawing is on again: a later change shows without another refill.
  EXPECT_TRUE(GetWindowLongPtrW(item(kList), GWL_STYLE) & WS_VISIBLE);
  window_->listSetRows(kList, {});
  EXPECT_EQ(window_->listCount(kList), 0);
}

TEST_F(Win32WindowTest, ProgrammaticChangesRaiseNoEvents) {
  window_->listAdd(kList, "一", 1);
  window_->listAdd(kList, "二", 2);
  window_->listAdd(kList, "三", 3);
  window_->listSelect(kList, 1);
  EXPECT_EQ(window_->listSelection(kList), 1);
  EXPECT_EQ(SendMessageW(item(kList), LB_GETCURSEL, 0, 0), 1);
  window_->listSetText(kList, 1, "已完成--二");
  EXPECT_EQ(window_->listSelection(kList), 1);  // the rewritten row stays selected
  EXPECT_EQ(window_->listData(kList, 1), 2);
  EXPECT_EQ(window_->listText(kList, 1), "已完成--二");
  window_->listSelect(kList, -1);
  EXPECT_EQ(window_->listSelection(kList), -1);

  window_->setText(kEdit, "25");
  window_->setText(kMemo, "多行\r\n内容");
  window_->setText(kLabel, "标签");
  window_->setChecked(kCheck, true);
  window_->setChecked(kCheck, false);
  window_->listRemove(kList, 0);
  window_->listClear(kList);
  pumpFor(30);
  EXPECT_TRUE(events_.log.empty()) << events_.log.front();
}

// ------------------------------------------------------------ user events

TEST_F(Win32WindowTest, UserChangesReportTheirEvents) {
  SendMessageW(item(kEdit), WM_CHAR, L'5', 1);
  SendMessageW(item(kMemo), WM_CHAR, L'中', 1);
  EXPECT_TRUE(events_.has("typed:14"));
  EXPECT_TRUE(events_.has("typed:15"));
  EXPECT_EQ(window_->text(kMemo), "中");

  bool checkedInHandler = false;  // a check box reports after its tick changed
  events_.hook = [&](const std::string& e) {
    if (e == "click:13") checkedInHandler = window_->isChecked(kCheck);
  };
  SendMessageW(item(kCheck), BM_CLICK, 0, 0);
  EXPECT_EQ(events_.count("click:13"), 1);
  EXPECT_TRUE(checkedInHandler);
}

TEST_F(Win32WindowTest, ASetClockAndAWakeAreHeardAndASuspendIsNot) {
  SendMessageW(hwnd(), WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(events_.count("timeChanged"), 1);
  for (const WPARAM event : {PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND, PBT_APMSUSPEND})
    EXPECT_EQ(SendMessageW(hwnd(), WM_POWERBROADCAST, event, 0), TRUE);
  EXPECT_EQ(events_.count("timeChanged"), 3);
}

TEST_F(Win32WindowTest, ClicksAtThePointerReachLabelsAndButtons) {
  showOnTop();
  for (int id : {kLabel, kButton}) {
    RECT r{};
    GetWindowRect(item(id), &r);
    ASSERT_TRUE(testing::movePointer({(r.left + r.right) / 2, (r.top + r.bottom) / 2}))
        << "the pointer did not reach " << id;
    window_->clickAtPointer();
    const std::string expected = "click:" + std::to_string(id);
    EXPECT_TRUE(pumpUntil([&] { return events_.has(expected); })) << expected;
  }
}

TEST_F(Win32WindowTest, ListMouseDownComesBeforeTheSelectionMoves) {
  window_->listAdd(kList, "一", 1);
  window_->listAdd(kList, "二", 2);
  showOnTop();
  pointAtRow(1);
  window_->clickAtPointer();
  // All of the click is handled before clickAtPointer returns.
  const std::vector<std::string> expected{"down:16:L:sel=-1", "selected:16:sel=1", "up:16:L"};
  EXPECT_EQ(events_.log, expected);
  EXPECT_EQ(window_->listSelection(kList), 1);
}

TEST_F(Win32WindowTest, ListPressWhoseReleaseWentElsewhereStillSelects) {
  window_->listAdd(kList, "一", 1);
  window_->listAdd(kList, "二", 2);
  RECT row{};
  SendMessageW(item(kList), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  // The press alone, as when its handler's message box took the release.
  SendMessageW(item(kList), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 2, row.top + 2));
  EXPECT_TRUE(events_.has("selected:16:sel=1"));
  EXPECT_NE(GetCapture(), item(kList));
}

TEST_F(Win32WindowTest, ListReportsRightButtonKeysAndDoubleClicks) {
  window_->listAdd(kList, "一", 1);
  window_->listSelect(kList, 0);
  const HWND list = item(kList);
  SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
  SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(events_.has("down:16:R:sel=0"));
  EXPECT_TRUE(events_.has("up:16:R"));
  EXPECT_TRUE(events_.has("key:16:46"));
  EXPECT_TRUE(events_.has("dblclick:16"));
}

TEST_F(Win32WindowTest, HandlerThatDeletesItsWindowLeavesNothingBroken) {
  window_->listAdd(kList, "一", 1);
  events_.hook = [&](const std::string& e) {
    if (e.rfind("down:", 0) == 0 || e == "click:12") {
      events_.window = nullptr;
      window_.reset();
    }
  };
  SendMessageW(item(kList), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(window_, nullptr);
  open(design());
  SendMessageW(item(kButton), BM_CLICK, 0, 0);
  EXPECT_EQ(window_, nullptr);
  pumpFor(30);
}

// ------------------------------------------------------------ menus

TEST_F(Win32WindowTest, MenuBarHoldsOnlyTheVisibleMenusInOrder) {
  HMENU bar = GetMenu(hwnd());
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(menuString(bar, 0, MF_BYPOSITION), L"计划");
  EXPECT_EQ(menuString(bar, 1, MF_BYPOSITION), L"帮助");

  HMENU plan = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(plan), 3);
  EXPECT_EQ(GetMenuItemID(plan, 0), static_cast<UINT>(kImport));
  EXPECT_TRUE(GetMenuState(plan, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(GetMenuItemID(plan, 2), static_cast<UINT>(kExit));
  EXPECT_EQ(menuString(plan, 2, MF_BYPOSITION), L"退出软件");

  HMENU popup = native().popupMenuHandle("列表1右键菜单");
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), 3);
  EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(kTitleItem));
  EXPECT_EQ(menuString(popup, 2, MF_BYPOSITION), L"删除");
  EXPECT_EQ(window_->menuCaption(kTitleItem), "选中计划名");
}

TEST_F(Win32WindowTest, MenuItemsCanBeDisabledAndRenamed) {
  window_->setMenuEnabled(kExit, false);
  EXPECT_TRUE(GetMenuState(GetMenu(hwnd()), kExit, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(window_->isMenuEnabled(kExit));
  window_->setMenuEnabled(kExit, true);
  EXPECT_TRUE(window_->isMenuEnabled(kExit));

  window_->setMenuCaption(kTitleItem, "正在操作项目：写作业");
  EXPECT_EQ(menuString(native().popupMenuHandle("列表1右键菜单"), kTitleItem, MF_BYCOMMAND),
            L"正在操作项目：写作业");
  EXPECT_EQ(window_->menuCaption(kTitleItem), "正在操作项目：写作业");
}

TEST_F(Win32WindowTest, MenuCommandsArriveAsOnMenu) {
  SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(kExit, 0), 0);
  EXPECT_EQ(events_.log, std::vector<std::string>{"menu:102"});
}

TEST_F(Win32WindowTest, PopupMenuChoiceArrivesAsOnMenu) {
  showOnTop();
  // The menu runs its own loop; another thread picks its first item.
  std::thread chooser([] {
    for (int i = 0; i < 200 && !FindWindowW(L"#32768", nullptr); ++i) Sleep(10);
    Sleep(50);
    INPUT keys[4]{};
    const WORD vks[] = {VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN};
    for (int i = 0; i < 4; ++i) {
      keys[i].type = INPUT_KEYBOARD;
      keys[i].ki.wVk = vks[i];
      keys[i].ki.dwFlags = (i % 2) ? KEYEVENTF_KEYUP : 0;
    }
    const INPUT sequence[] = {keys[0], keys[1], keys[2], keys[3]};
    SendInput(4, const_cast<INPUT*>(sequence), sizeof(INPUT));
  });
  window_->popupMenu("列表1右键菜单");
  chooser.join();
  EXPECT_TRUE(pumpUntil([&] { return events_.has("menu:201"); })) << events_.log.size();
}

// ------------------------------------------------------------ context menus

TEST_F(Win32WindowTest, ContextMenuNamesTheControlUnderThePointerOrTheWindow) {
  showOnTop();
  // A label passes the released right button on as WM_CONTEXTMENU, as a real click does.
  SendMessageW(item(kLabel), WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(events_.log, std::vector<std::string>{"context:11"});

  const auto contextAt = [&](int x, int y) {
    events_.log.clear();
    POINT at{x, y};
    ClientToScreen(hwnd(), &at);
    SendMessageW(hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(at.x, at.y));
    return events_.log;
  };
  EXPECT_EQ(contextAt(410, 310), std::vector<std::string>{"context:12"});  // the button
  EXPECT_EQ(contextAt(230, 320), std::vector<std::string>{"context:0"});   // bare window
  EXPECT_EQ(contextAt(12, 290), std::vector<std::string>{"context:0"});    // inside the group box
  window_->setEnabled(kLabel, false);
  EXPECT_EQ(contextAt(250, 5), std::vector<std::string>{"context:0"});  // a disabled label
  window_->setShown(kButton, false);
  EXPECT_EQ(contextAt(410, 310), std::vector<std::string>{"context:0"});  // a hidden button

  events_.log.clear();  // from the keyboard (Shift+F10): the window itself
  SendMessageW(hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(-1, -1));
  EXPECT_EQ(events_.log, std::vector<std::string>{"context:0"});
}

// ------------------------------------------------------------ the tray icon

// Whether the shell holds the window's icon: modifying a missing icon fails.
bool shellHasIcon(HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner;
  data.uID = Win32Window::kTrayIconId;
  return Shell_NotifyIconW(NIM_MODIFY, &data);
}

TEST_F(Win32WindowTest, TrayIconIsAddedUpdatedAndRemoved) {
  EXPECT_FALSE(window_->hasTrayIcon());
  window_->showTrayIcon("任务\r\n背单词\r\n剩余:0时1分2秒");
  EXPECT_TRUE(window_->hasTrayIcon());
  EXPECT_TRUE(shellHasIcon(hwnd()));
  EXPECT_EQ(native().trayTooltip(), L"任务\r\n背单词\r\n剩余:0时1分2秒");

  window_->showTrayIcon("任务\r\n背单词\r\n剩余:0时1分1秒");
  EXPECT_TRUE(window_->hasTrayIcon());
  EXPECT_EQ(native().trayTooltip(), L"任务\r\n背单词\r\n剩余:0时1分1秒");

  // A tooltip longer than the shell takes is cut, never inside a character.
  const std::string longText = "任务\r\n" + std::string(122, 'x') + "😀剩余";
  window_->showTrayIcon(longText);
  EXPECT_TRUE(window_->hasTrayIcon());
  EXPECT_EQ(native().trayTooltip(), toUtf16("任务\r\n" + std::string(122, 'x')));

  window_->removeTrayIcon();
  EXPECT_FALSE(window_->hasTrayIcon());
  EXPECT_FALSE(shellHasIcon(hwnd()));
  window_->removeTrayIcon();  // twice does no harm
  EXPECT_FALSE(window_->hasTrayIcon());
}

TEST_F(Win32WindowTest, TrayIconComesBackWhenTheShellRestarts) {
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  window_->showTrayIcon("任务");
  ASSERT_TRUE(shellHasIcon(hwnd()));
  // A restarted shell has lost every icon, then tells every top-level window.
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = hwnd();
  data.uID = Win32Window::kTrayIconId;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
  ASSERT_FALSE(shellHasIcon(hwnd()));
  SendMessageW(hwnd(), taskbarCreated, 0, 0);
  EXPECT_TRUE(shellHasIcon(hwnd()));
  EXPECT_TRUE(window_->hasTrayIcon());
  // The message while the icon is still there changes nothing.
  SendMessageW(hwnd(), taskbarCreated, 0, 0);
  EXPECT_TRUE(shellHasIcon(hwnd()));

  // Without an icon wanted, none comes.
  window_->removeTrayIcon();
  SendMessageW(hwnd(), taskbarCreated, 0, 0);
  EXPECT_FALSE(shellHasIcon(hwnd()));
  EXPECT_FALSE(window_->hasTrayIcon());
}

TEST_F(Win32WindowTest, TrayClicksArriveAsTheirEvents) {
  window_->showTrayIcon("任务");
  const auto mouse = [&](UINT message) {
    SendMessageW(hwnd(), kTrayMessage, Win32Window::kTrayIconId, message);
  };
  // What the shell sends for a double click.
  for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) mouse(m);
  EXPECT_EQ(events_.log, std::vector<std::string>{"trayDouble"});

  // Another window in front; the right click brings this one forward before
  // its handler pops a menu up.
  showOnTop();
  Recorder otherEvents;
  WindowDesign d = design();
  d.title = "前面的窗口";
  auto other = ui_.createWindow(d, otherEvents, nullptr);
  other->show();
  other->activate();
  ASSERT_TRUE(
      pumpUntil([&] { return GetForegroundWindow() == static_cast<Win32Window&>(*other).hwnd(); }));
  HWND foregroundInHandler = nullptr;
  events_.hook = [&](const std::string& e) {
    if (e == "trayRight") foregroundInHandler = GetForegroundWindow();
  };
  events_.log.clear();
  mouse(WM_RBUTTONDOWN);
  mouse(WM_RBUTTONUP);
  EXPECT_EQ(events_.log, (std::vector<std::string>{"activated", "trayRight"}));
  EXPECT_EQ(foregroundInHandler, hwnd());
}

TEST_F(Win32WindowTest, ClosingTheWindowTakesItsTrayIconAway) {
  window_->showTrayIcon("任务");
  const HWND h = hwnd();
  bool iconWhileClosing = true;  // asked while the native window still exists
  events_.hook = [&](const std::string& e) {
    if (e == "closed") iconWhileClosing = shellHasIcon(h);
  };
  window_->close();
  EXPECT_FALSE(iconWhileClosing);
  EXPECT_FALSE(window_->hasTrayIcon());
}

// ------------------------------------------------------------ timers

TEST_F(Win32WindowTest, ShortTimerFiresRepeatedlyUntilStopped) {
  window_->setTimer(1, 20);
  EXPECT_EQ(window_->timerInterval(1), 20u);
  EXPECT_TRUE(pumpUntil([&] { return events_.count("timer:1") >= 3; }));
  window_->setTimer(1, 0);
  EXPECT_EQ(window_->timerInterval(1), 0u);
  const int fired = events_.count("timer:1");
  pumpFor(120);
  EXPECT_EQ(events_.count("timer:1"), fired);
}

TEST_F(Win32WindowTest, IntervalsBeyondTheNativeLimitAreKeptAndDoNotFireEarly) {
  // Cut to 32 bits, 2^32 + 20 ms would be a 20 ms timer.
  const std::uint64_t wraps = (std::uint64_t{1} << 32) + 20;
  const std::uint64_t justOver = std::uint64_t{USER_TIMER_MAXIMUM} + 1;
  window_->setTimer(2, wraps);
  window_->setTimer(3, justOver);
  EXPECT_EQ(window_->timerInterval(2), wraps);
  EXPECT_EQ(window_->timerInterval(3), justOver);
  pumpFor(250);
  EXPECT_TRUE(events_.log.empty());
}

TEST(Win32LongTimer, ChunkedIntervalFiresOnlyOnceAllOfItPassed) {
  Win32Options options;
  options.maxTimerChunkMs = 30;  // every interval above 30 ms runs in chunks
  Win32Ui ui(options);
  Recorder events;
  auto window = ui.createWindow(design(), events, nullptr);
  std::vector<ULONGLONG> firedAt;
  events.hook = [&](const std::string& e) {
    if (e == "timer:1") firedAt.push_back(GetTickCount64());
  };
  const ULONGLONG start = GetTickCount64();
  window->setTimer(1, 200);
  ASSERT_TRUE(pumpUntil([&] { return firedAt.size() >= 2; }, 3000));
  // GetTickCount64 steps by up to ~16 ms.
  EXPECT_GE(firedAt[0] - start, 184u);
  EXPECT_GE(firedAt[1] - firedAt[0], 184u);

  // Setting the interval again starts the count again.
  window->setTimer(1, 200);
  const ULONGLONG restart = GetTickCount64();
  pumpFor(120);
  window->setTimer(1, 200);
  const ULONGLONG restartAgain = GetTickCount64();
  firedAt.clear();
  ASSERT_TRUE(pumpUntil([&] { return !firedAt.empty(); }, 3000));
  EXPECT_GE(firedAt[0] - restartAgain, 184u);
  EXPECT_GE(firedAt[0] - restart, 300u);
}

// ------------------------------------------------------------ the window's life

TEST_F(Win32WindowTest, ShowActivateHideAndMoveReport) {
  window_->show();
  EXPECT_TRUE(IsWindowVisible(hwnd()));
  EXPECT_TRUE(pumpUntil([&] { return events_.has("activated"); }));
  window_->move({100, 120});
  EXPECT_EQ(window_->bounds(), (Rect{100, 120, 485, 420}));
  EXPECT_TRUE(events_.has("moved:100,120"));
  window_->hide();
  EXPECT_FALSE(window_->isVisible());
}

TEST_F(Win32WindowTest, CloseRequestsCanBeRefused) {
  events_.allowClose = false;
  window_->requestClose();
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);  // the close box
  pumpFor(30);
  EXPECT_EQ(events_.count("closeRequested"), 2);
  EXPECT_TRUE(window_->isOpen());

  events_.allowClose = true;
  const HWND h = hwnd();
  window_->requestClose();
  EXPECT_EQ(events_.count("closed"), 1);
  EXPECT_FALSE(window_->isOpen());
  EXPECT_FALSE(IsWindow(h));
  window_->setText(kEdit, "x");  // a closed window ignores calls
  EXPECT_EQ(window_->text(kEdit), "");
}

TEST_F(Win32WindowTest, CloseDoesNotAskAndDestroyingTheObjectReportsNothing) {
  window_->close();
  EXPECT_EQ(events_.log, std::vector<std::string>{"closed"});

  open(design());
  const HWND h = hwnd();
  window_.reset();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_TRUE(events_.log.empty());
}

// ------------------------------------------------------------ modal windows and the loop

TEST_F(Win32WindowTest, RunModalDisablesTheOwnerUntilTheWindowCloses) {
  window_->show();
  Recorder dialogEvents;
  WindowDesign d = design();
  d.title = "对话框";
  auto dialog = ui_.createWindow(d, dialogEvents, window_.get());
  bool ownerEnabledMeanwhile = true;
  dialogEvents.hook = [&](const std::string& e) {
    if (e != "timer:1") return;
    ownerEnabledMeanwhile = IsWindowEnabled(hwnd());
    dialog->requestClose();
  };
  dialog->setTimer(1, 20);
  ui_.runModal(*dialog);
  EXPECT_FALSE(ownerEnabledMeanwhile);
  EXPECT_TRUE(dialogEvents.has("closed"));
  EXPECT_TRUE(IsWindowEnabled(hwnd()));
  EXPECT_TRUE(pumpUntil([&] { return GetActiveWindow() == hwnd(); }, 500));
}

TEST_F(Win32WindowTest, QuitEndsModalAndMainLoops) {
  Recorder dialogEvents;
  auto dialog = ui_.createWindow(design(), dialogEvents, window_.get());
  dialogEvents.hook = [&](const std::string& e) {
    if (e != "timer:1") return;
    dialog->setTimer(1, 0);
    ui_.quit();
  };
  dialog->setTimer(1, 20);
  ui_.runModal(*dialog);  // returns on quit, leaving the quit for the outer loop
  EXPECT_TRUE(dialog->isOpen());
  EXPECT_TRUE(IsWindowEnabled(hwnd()));
  EXPECT_EQ(ui_.run(), 0);

  // run(window) also ends when that window goes.
  events_.hook = [&](const std::string& e) {
    if (e == "timer:1") window_->close();
  };
  window_->setTimer(1, 20);
  EXPECT_EQ(ui_.run(window_.get()), 0);
  EXPECT_FALSE(window_->isOpen());
}

}  // namespace
}  // namespace temvik
