// The real main window, seen from another process: start-up with and
// without plan files, the layout against the design, the sequential list's
// context menu, double click and Delete key, and the ways to close the program.

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "caption_fit.h"
#include "e2e_support.h"
#include "store/gbk.h"
#include "ui/dialogs/about_window.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using Rows = std::vector<std::string>;

// A plan as a user's earlier session leaves it: named parts, three
// sequential items (the first `marked` of them finished) and a timed list
// with one finished and one waiting item.
void writePlan(PlanFolder& folder, int marked) {
  ASSERT_TRUE(folder.writeIni("name.ini", "[名称]\n名称=周末计划\n同步=晚间同步\n"));
  ASSERT_TRUE(folder.writeIni(
      "time.ini", itemSection("背单词", "0", "20", "0") + itemSection("写作业", "1", "0", "0") +
                      itemSection("练钢琴", "0", "45", "30") + "[密码]\n密码=\n"));
  const std::vector<std::string> all = {"背单词", "写作业", "练钢琴"};
  if (marked > 0) {
    ASSERT_TRUE(folder.writeIni(
        "win.ini", markSections(std::vector<std::string>(all.begin(), all.begin() + marked))));
  }
  ASSERT_TRUE(folder.writeIni(
      "out.ini", itemSection("晚饭", "0", "30", "0", {"同步时间=2024-05-01 18:00:00"}) +
                     itemSection("洗澡", "0", "15", "0", {"同步时间=2024-05-01 20:00:00"})));
  ASSERT_TRUE(folder.writeIni("fin.ini", markSections({"晚饭"}, "fin")));
}

// ---------------------------------------------------------------- start-up

TEST(MainWindowStartup, WithoutPlanFilesShowsDefaultNamesAndEmptyLists) {
  PlanFolder folder;
  E2E_START(app, folder);

  EXPECT_EQ(app.title(), "Temvikv1.0 -- 默认计划 -- 默认同步");
  EXPECT_EQ(app.text(kSequentialGroup), "非同步计划列表--默认计划");
  EXPECT_EQ(app.text(kTimedGroup), "同步计划列表--默认同步");
  EXPECT_EQ(app.rows(kSequentialList), Rows{});
  EXPECT_EQ(app.rows(kTimedList), Rows{});
  EXPECT_EQ(app.selection(kSequentialList), -1);
  EXPECT_TRUE(app.enabled(kRunFromStart)) << "从头执行";
  EXPECT_FALSE(app.enabled(kResumeUnfinished)) << "继续未完成";

  // The design's media boxes are ticked; the path and the choosers start disabled.
  EXPECT_TRUE(app.checked(kMedia));
  EXPECT_TRUE(app.checked(kUseDefault));
  EXPECT_TRUE(app.enabled(kUseDefault));
  EXPECT_TRUE(app.enabled(kPlayTime));
  EXPECT_EQ(app.text(kPlayTime), "10");
  for (int id : {kChooseProgram, kChooseEndProcess, kChooseForbidden, kMediaPath, kOpenMedia})
    EXPECT_FALSE(app.enabled(id)) << mainWindowDesign().control(id)->designName;
  for (int id : {kContent, kHours, kMinutes, kSeconds, kAddItem, kDeleteItem, kExitWhenDone,
                 kRunProgram, kEndProcesses, kForbidProcesses, kShutdown, kRestart, kLogOff, kLock})
    EXPECT_TRUE(app.enabled(id)) << mainWindowDesign().control(id)->designName;

  const auto alpha = app.layeredAlpha();
  ASSERT_TRUE(alpha.has_value()) << "the main window is not layered, or its alpha cannot be read";
  EXPECT_EQ(*alpha, 230);

  // Starting reads the plan; it writes no file.
  for (const char* file : {"time.ini", "win.ini", "out.ini", "fin.ini", "name.ini", "time1.ini"})
    EXPECT_FALSE(folder.exists(file)) << file;
}

struct MarkCase {
  int marked;                // of three rows
  bool runFromStartEnabled;  // 从头执行
  bool resumeEnabled;        // 继续未完成
};

class MainWindowMarks : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MainWindowMarks, PlanFilesFillTitleListsAndRunButtons) {
  const MarkCase c = GetParam();
  PlanFolder folder;
  ASSERT_NO_FATAL_FAILURE(writePlan(folder, c.marked));
  E2E_START(app, folder);

  // The title, compared byte for byte as UTF-8.
  const std::string title = app.title();
  EXPECT_EQ(title, "Temvikv1.0 -- 周末计划 -- 晚间同步");
  EXPECT_EQ(utf8ToGbk(title), utf8ToGbk("Temvikv1.0 -- 周末计划 -- 晚间同步"));
  EXPECT_EQ(app.text(kSequentialGroup), "非同步计划列表--周末计划");
  EXPECT_EQ(app.text(kTimedGroup), "同步计划列表--晚间同步");

  Rows expected = {"背单词", "写作业", "练钢琴"};
  for (int i = 0; i < c.marked; ++i)
    expected[static_cast<size_t>(i)] = "已完成--" + expected[static_cast<size_t>(i)];
  EXPECT_EQ(app.rows(kSequentialList), expected);
  EXPECT_EQ(app.rows(kTimedList), (Rows{"已完成--晚饭", "洗澡"}));
  EXPECT_EQ(app.selection(kSequentialList), -1);

  EXPECT_EQ(app.enabled(kRunFromStart), c.runFromStartEnabled) << "从头执行";
  EXPECT_EQ(app.enabled(kResumeUnfinished), c.resumeEnabled) << "继续未完成";
}

INSTANTIATE_TEST_SUITE_P(Rows, MainWindowMarks,
                         ::testing::Values(MarkCase{0, true, false}, MarkCase{1, false, true},
                                           MarkCase{2, false, true}, MarkCase{3, false, false}),
                         [](const auto& info) {
                           return std::to_string(info.param.marked) + "of3Marked";
                         });

// ---------------------------------------------------------------- layout

const char* expectedClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return "Static";
    case ControlKind::Edit:
    case ControlKind::MultiLineEdit:
      return "Edit";
    case ControlKind::ListBox:
      return "ListBox";
    default:
      return "Button";
  }
}

TEST(MainWindowLayout, EveryControlHasItsDesignedPlaceCaptionAndKind) {
  PlanFolder folder;
  ASSERT_NO_FATAL_FAILURE(writePlan(folder, 1));
  E2E_START(app, folder);
  const WindowDesign& design = mainWindowDesign();

  const Rect r = app.windowRect();
  EXPECT_EQ(r, design.rect) << "window at " << r.x << "," << r.y << " size " << r.width << "x"
                            << r.height;

  for (const ControlDesign& c : design.controls) {
    SCOPED_TRACE(std::string(c.designName) + " (" + std::string(c.identifier) + ", id " +
                 std::to_string(c.id) + ")");
    ASSERT_NE(app.control(c.id), nullptr) << "no control with this id";
    EXPECT_TRUE(app.visible(c.id));

    const Rect got = app.clientRect(c.id);
    EXPECT_EQ(got, c.rect) << "at " << got.x << "," << got.y << " size " << got.width << "x"
                           << got.height << "; designed " << c.rect.x << "," << c.rect.y << " size "
                           << c.rect.width << "x" << c.rect.height;

    std::string caption(c.caption);
    if (c.id == kSequentialGroup) caption = "非同步计划列表--周末计划";
    if (c.id == kTimedGroup) caption = "同步计划列表--晚间同步";
    if (c.kind != ControlKind::ListBox) {
      EXPECT_EQ(app.text(c.id), caption);
    }

    // Class names are case-blind in Win32.
    std::string cls = app.className(c.id);
    std::string want = expectedClass(c.kind);
    for (auto* s : {&cls, &want})
      for (auto& ch : *s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(cls, want);
    const LONG_PTR type = app.style(c.id) & BS_TYPEMASK;
    if (c.kind == ControlKind::CheckBox) {
      EXPECT_EQ(type, BS_AUTOCHECKBOX);
      EXPECT_EQ(app.checked(c.id), c.checked);
    }
    if (c.kind == ControlKind::GroupBox) {
      EXPECT_EQ(type, BS_GROUPBOX);
    }
    if (c.kind == ControlKind::Button) {
      EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) << "style type " << type;
    }
  }
}

// ---------------------------------------------------------------- context menu

TEST(MainWindowContextMenu, RightClickOnRowOpensItsMenuAndEscapeClosesIt) {
  PlanFolder folder;
  ASSERT_NO_FATAL_FAILURE(writePlan(folder, 1));
  E2E_START(app, folder);

  // Pressing the right button selects the row under the pointer (the program
  // clicks there itself); releasing it opens the menu for that row.
  ASSERT_TRUE(app.pointAtRow(kSequentialList, 1));
  App::mouseDown(Button::Right);
  E2E_EVENTUALLY_EQ(app.selection(kSequentialList), 1);
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("写作业"));
  App::mouseUp(Button::Right);

  HWND menu = nullptr;
  E2E_EVENTUALLY_TRUE((menu = app.popupMenu()) != nullptr);
  if (const auto items = App::menuItems(menu)) {
    ASSERT_EQ(items->size(), 4u);
    EXPECT_EQ((*items)[0], "正在操作项目：写作业");
    EXPECT_EQ((*items)[1], "");
    EXPECT_EQ((*items)[2], "添加到同步");
    EXPECT_EQ((*items)[3], "删除");
  } else {
    // wine keeps a menu private to its process; the caption is checked by
    // the backend's in-process tests.
    std::printf("note: the popup menu's items cannot be read from another process here\n");
  }
  EXPECT_TRUE(app.messageBox() == std::nullopt);

  // Escape goes to the menu's own loop, which ends the menu.
  PostMessageW(app.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  E2E_EVENTUALLY_TRUE(app.popupMenu() == nullptr);
  ASSERT_TRUE(app.sync());
  EXPECT_EQ(app.rows(kSequentialList), (Rows{"已完成--背单词", "写作业", "练钢琴"}));
  EXPECT_EQ(app.selection(kSequentialList), 1);

  // The menu's 删除 item (sent as its command) deletes the selected row.
  app.menu(kDeleteFromMenu);
  E2E_EVENTUALLY_EQ(app.rows(kSequentialList), (Rows{"已完成--背单词", "练钢琴"}));
  EXPECT_EQ(app.selection(kSequentialList), -1);
  const auto items = parseIni(folder.readText("time.ini"));
  EXPECT_EQ(sectionNames(items), (Rows{"背单词", "练钢琴", "密码"}));
  EXPECT_EQ(sectionNames(parseIni(folder.readText("win.ini"))), Rows{"背单词"});
}

// A quick click: the release is already queued when the program handles the
// press, so the row must be selected before the press handler returns (a
// click the program queued itself would come after the release, and the
// menu would open for no row or for the row selected before).
TEST(MainWindowContextMenu, QuickRightClickOpensTheMenuForTheRowUnderThePointer) {
  PlanFolder folder;
  ASSERT_NO_FATAL_FAILURE(writePlan(folder, 0));
  E2E_START(app, folder);

  ASSERT_TRUE(app.pointAtRow(kSequentialList, 2));
  App::mouseDown(Button::Right);
  App::mouseUp(Button::Right);
  HWND menu = nullptr;
  const bool opened = waitFor([&] { return (menu = app.popupMenu()) != nullptr; });
  EXPECT_EQ(app.selection(kSequentialList), 2);
  ASSERT_TRUE(opened) << "no menu after a quick right click on a row";
  PostMessageW(app.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  E2E_EVENTUALLY_TRUE(app.popupMenu() == nullptr);
}

TEST(MainWindowContextMenu, RightClickOnEmptyListOpensNoMenu) {
  PlanFolder folder;
  E2E_START(app, folder);

  ASSERT_TRUE(app.pointAtRow(kSequentialList, 0));
  App::mouseDown(Button::Right);
  App::mouseUp(Button::Right);
  // Input is handled in order: once a later click into the content box
  // took the focus there, the right click has been handled; an open menu
  // would have swallowed that click. (The left click the program makes for
  // a right press may land there too, so the later click must be one that
  // does the same when it comes twice.)
  const HWND box = app.control(kContent);
  RECT r{};
  GetWindowRect(box, &r);
  ASSERT_TRUE(App::movePointer({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
  App::mouseDown(Button::Left);
  App::mouseUp(Button::Left);
  E2E_EVENTUALLY_TRUE(app.focus() == box);
  EXPECT_EQ(app.popupMenu(), nullptr);
  EXPECT_EQ(app.selection(kSequentialList), -1);
  EXPECT_TRUE(app.messageBox() == std::nullopt);
}

// ---------------------------------------------------------------- list events

TEST(MainWindowList, DoubleClickClearsTheEditorAndDeleteKeyDeletesTheSelectedRow) {
  PlanFolder folder;
  ASSERT_NO_FATAL_FAILURE(writePlan(folder, 1));
  E2E_START(app, folder);

  ASSERT_TRUE(app.clickRow(kSequentialList, 2));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("练钢琴"));
  EXPECT_EQ(app.text(kSeconds), "30");

  // A double click empties the editor and leaves no row selected.
  ASSERT_TRUE(app.clickRow(kSequentialList, 2));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string(""));
  EXPECT_EQ(app.selection(kSequentialList), -1);
  EXPECT_EQ(app.text(kSeconds), "");

  // The Delete key with a row selected deletes it; the marked row keeps its mark.
  ASSERT_TRUE(app.clickRow(kSequentialList, 1));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("写作业"));
  App::pressKey(VK_DELETE);
  E2E_EVENTUALLY_EQ(app.rows(kSequentialList), (Rows{"已完成--背单词", "练钢琴"}));
  EXPECT_EQ(sectionNames(parseIni(folder.readText("time.ini"))),
            (Rows{"背单词", "练钢琴", "密码"}));
  EXPECT_EQ(sectionNames(parseIni(folder.readText("win.ini"))), Rows{"背单词"});
  EXPECT_FALSE(folder.exists("time1.ini"));
  EXPECT_FALSE(folder.exists("win1.ini"));

  // Without a selection the key does nothing: a later click shows the list
  // unchanged. (On another row: a click where the last one was would be a
  // double click.)
  App::pressKey(VK_DELETE);
  ASSERT_TRUE(app.clickRow(kSequentialList, 0));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("背单词"));
  EXPECT_EQ(app.rows(kSequentialList), (Rows{"已完成--背单词", "练钢琴"}));
}

// ---------------------------------------------------------------- closing

TEST(MainWindowMenu, AboutShowsNameVersionAndCredits) {
  PlanFolder folder;
  E2E_START(app, folder);
  app.menu(kAbout);
  HWND about = app.waitForWindow("关于");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(windowText(GetDlgItem(about, about_ids::kName)), "Temvik");
  EXPECT_EQ(windowText(GetDlgItem(about, about_ids::kVersion)), "版本 1.0");
  EXPECT_EQ(windowText(GetDlgItem(about, about_ids::kCredits)).rfind("致谢：", 0), 0u);
  EXPECT_FALSE(IsWindowEnabled(app.hwnd())) << "modal over the main window";
  expectCaptionsFit(about, "about window");
  PostMessageW(GetDlgItem(about, about_ids::kAboutOk), BM_CLICK, 0, 0);
  E2E_EVENTUALLY_TRUE(!IsWindow(about) || !IsWindowVisible(about));
  E2E_EVENTUALLY_TRUE(IsWindowEnabled(app.hwnd()));
  EXPECT_TRUE(app.running());
}

// 帮助 → 使用说明 in the real program: without the guide a box says where it
// belongs and nothing is opened; with it, the system's shell opens the guide
// beside the exe. Wine's prefix has no program for .html files (its browser
// would hand them to the host's), so a stand-in opener takes that part.
TEST(MainWindowMenu, UserGuideOpensBesideTheProgramOrSaysWhereItBelongs) {
  PlanFolder folder;
  DocumentOpener opener(folder, L".html");
  ASSERT_TRUE(opener.ok());
  E2E_START(app, folder);
  app.menu(kUserGuide);
  const auto missing = app.waitForMessageBox();
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->title, "使用说明");
  EXPECT_EQ(missing->text, "找不到使用说明文件“使用说明.html”。它应在程序所在的文件夹中：\n" +
                               narrow(folder.dir()) + "\n\n也可以在程序的下载页面上阅读使用说明。");
  ASSERT_TRUE(missing->press(IDOK));
  EXPECT_FALSE(opener.opened());

  ASSERT_TRUE(folder.writeBytes("使用说明.html", "<html><body>使用说明</body></html>"));
  app.menu(kUserGuide);
  E2E_EVENTUALLY_TRUE(opener.opened());
  EXPECT_EQ(opener.opened(), narrow(folder.path("使用说明.html")));
  EXPECT_TRUE(app.sync());
  EXPECT_FALSE(app.messageBox()) << "an opened guide is not told of";
}

TEST(MainWindowClose, ExitButtonEndsTheProgram) {
  PlanFolder folder;
  E2E_START(app, folder);
  app.clickAsync(kExit);
  ASSERT_TRUE(app.waitForExit()) << "still running after 退出";
  EXPECT_EQ(app.exitCode(), 0u);
}

TEST(MainWindowClose, CloseMessageEndsTheProgram) {
  PlanFolder folder;
  E2E_START(app, folder);
  app.close();
  ASSERT_TRUE(app.waitForExit()) << "still running after WM_CLOSE";
  EXPECT_EQ(app.exitCode(), 0u);
}

TEST(MainWindowClose, ExitMenuItemEndsTheProgram) {
  PlanFolder folder;
  E2E_START(app, folder);
  app.menu(kExitProgram);
  ASSERT_TRUE(app.waitForExit()) << "still running after 退出软件";
  EXPECT_EQ(app.exitCode(), 0u);
}

TEST(MainWindowClose, UnsavedEditsAreDroppedWithoutAQuestion) {
  PlanFolder folder;
  ASSERT_NO_FATAL_FAILURE(writePlan(folder, 0));
  const auto before = folder.readBytes("time.ini");
  E2E_START(app, folder);
  ASSERT_TRUE(app.clickRow(kSequentialList, 0));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("背单词"));
  app.type(kMinutes, "55");
  ASSERT_TRUE(app.click(kShutdown));
  app.close();
  ASSERT_TRUE(app.waitForExit()) << "still running; box: "
                                 << (app.messageBox() ? app.messageBox()->text : "none");
  EXPECT_EQ(app.exitCode(), 0u);
  EXPECT_EQ(folder.readBytes("time.ini"), before);
}

}  // namespace
}  // namespace temvik::e2e
