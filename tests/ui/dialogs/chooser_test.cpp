// The process and program choosers, opened from the main window's buttons:
// what they show, what they write into the editor's lists and when, what
// an add then stores, and that they write into no other item.

#include <algorithm>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/date_time.h"
#include "run/give_up_dialog.h"
#include "run/run_window.h"
#include "store/plan_store.h"
#include "ui/dialogs/process_chooser.h"
#include "ui/dialogs/program_chooser.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using namespace chooser_ids;
using headless::HeadlessWindow;
using ::testing::ElementsAre;

constexpr std::string_view kEndChooser = "结束进程窗口";
constexpr std::string_view kForbidChooser = "禁止进程窗口";
constexpr std::string_view kProgramChooser = "执行程序窗口";

class ChooserTest : public MainWindowTest {
 protected:
  // Ticks the option's box, which enables its button, and presses the button.
  headless::HeadlessWindow* open(headless::HeadlessWindow& w, ControlId box, ControlId button,
                                 std::string_view chooser) {
    if (!w.isChecked(box)) w.click(box);
    EXPECT_TRUE(w.click(button));
    return env.ui.find(chooser);
  }
  // Adds the editor's item and returns what the item file then holds under
  // `key` in its last section, the one just added.
  std::string addedValue(headless::HeadlessWindow& w, const std::string& key) {
    w.type(kContent, "新任务");
    w.type(kMinutes, "1");
    EXPECT_TRUE(w.click(kAddItem));
    const std::string text = fileText("\\time.ini");
    const std::string head = "\r\n" + key + "=";
    const auto at = text.rfind(head);
    if (at == std::string::npos) return "<no " + key + ">";
    const auto from = at + head.size();
    return text.substr(from, text.find("\r\n", from) - from);
  }
  int openCount(std::string_view designName) const {
    int n = 0;
    for (auto* win : env.ui.windows())
      if (win->design().designName == designName && win->isOpen()) ++n;
    return n;
  }
};

TEST_F(ChooserTest, DoubleClickedRowsStayInTheListWhenTheChooserIsCancelled) {
  env.processes.start("notepad.exe");
  env.processes.start("game.exe");
  auto& w = start();
  auto* c = open(w, kEndProcesses, kChooseEndProcess, kEndChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(c->isModal());
  EXPECT_EQ(c->title(), "选择结束进程");
  EXPECT_EQ(c->layeredAlpha(), kLayeredAlpha);
  EXPECT_FALSE(w.click(kAddItem)) << "the main window waits for the modal chooser";

  ASSERT_TRUE(c->doubleClickRow(kRunningList, 1));
  ASSERT_TRUE(c->doubleClickRow(kRunningList, 2));
  EXPECT_EQ(c->text(kProcessText), "notepad.exe,game.exe,");
  c->click(kProcessCancel);
  EXPECT_FALSE(c->isOpen());
  EXPECT_EQ(addedValue(w, "进程"), "notepad.exe,game.exe,");
}

TEST_F(ChooserTest, OkGivesATypedListItsTrailingComma) {
  struct Case {
    std::string typed, stored;
  };
  auto& w = start();
  for (const Case& k : {Case{"notepad.exe", "notepad.exe,"}, Case{"a.exe,b.exe", "a.exe,b.exe,"},
                        Case{" 记事本 ", " 记事本 ,"}, Case{"", ","}, Case{"a.exe,", "a.exe,"}}) {
    auto* c = open(w, kEndProcesses, kChooseEndProcess, kEndChooser);
    ASSERT_NE(c, nullptr);
    c->type(kProcessText, k.typed);
    c->click(kProcessOk);
    EXPECT_FALSE(c->isOpen());
    // The next chooser shows the list as stored.
    c = open(w, kEndProcesses, kChooseEndProcess, kEndChooser);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->text(kProcessText), k.stored) << "typed \"" << k.typed << "\"";
    c->click(kProcessCancel);
  }
  EXPECT_EQ(addedValue(w, "进程"), "a.exe,");
}

TEST_F(ChooserTest, CancelAndTheCloseBoxDropOnlyWhatWasTyped) {
  env.processes.start("game.exe");
  auto& w = start();
  auto* c = open(w, kForbidProcesses, kChooseForbidden, kForbidChooser);
  ASSERT_NE(c, nullptr);
  c->doubleClickRow(kRunningList, 1);
  c->type(kProcessText, "game.exe,typed.exe");
  c->requestClose();
  EXPECT_FALSE(c->isOpen());
  c = open(w, kForbidProcesses, kChooseForbidden, kForbidChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->text(kProcessText), "game.exe,");
}

TEST_F(ChooserTest, DeleteAllThenCancelLeavesTheListEmpty) {
  putFile("\\time.ini", join({item("背单词"), {"结束进程=真", "进程=old.exe,手输的"}}));
  auto& w = start();
  w.clickRow(kSequentialList, 0);
  ASSERT_TRUE(w.click(kChooseEndProcess));
  auto* c = env.ui.find(kEndChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->text(kProcessText), "old.exe,手输的") << "the stored text, typed entries and all";
  c->click(kDeleteAll);
  EXPECT_EQ(c->text(kProcessText), "");
  c->click(kProcessCancel);
  EXPECT_EQ(addedValue(w, "进程"), "");
}

TEST_F(ChooserTest, OpeningShowsTheEditorsCurrentList) {
  putFile("\\time.ini", join({item("背单词"), {"禁止进程=真", "禁止名=qq.exe,游戏"}}));
  auto& w = start();
  w.clickRow(kSequentialList, 0);
  auto* c = open(w, kForbidProcesses, kChooseForbidden, kForbidChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->text(kProcessText), "qq.exe,游戏");
  EXPECT_FALSE(c->isModal());
  c->click(kProcessOk);
  // A reset blanks the lists; the next chooser shows that.
  w.doubleClick(kSequentialList);
  c = open(w, kForbidProcesses, kChooseForbidden, kForbidChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->text(kProcessText), "");
}

TEST_F(ChooserTest, RowsAreOneSnapshotInItsOrderWithDuplicates) {
  env.processes.start("b.exe");
  env.processes.start("a.exe");
  env.processes.start("b.exe");
  auto& w = start();
  auto* c = open(w, kEndProcesses, kChooseEndProcess, kEndChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_THAT(c->listRows(kRunningList), ElementsAre("temvik.exe", "b.exe", "a.exe", "b.exe"));
  env.processes.start("late.exe");
  EXPECT_EQ(c->listCount(kRunningList), 4) << "no refresh while open";
}

TEST_F(ChooserTest, AtMostOneChooserOfEachKind) {
  auto& w = start();
  auto* forbid = open(w, kForbidProcesses, kChooseForbidden, kForbidChooser);
  auto* program = open(w, kRunProgram, kChooseProgram, kProgramChooser);
  ASSERT_NE(forbid, nullptr);
  ASSERT_NE(program, nullptr);
  forbid->type(kProcessText, "typed.exe");
  EXPECT_EQ(env.ui.activeWindow(), program);
  ASSERT_TRUE(w.click(kChooseForbidden));
  EXPECT_EQ(openCount(kForbidChooser), 1);
  EXPECT_EQ(env.ui.find(kForbidChooser), forbid);
  EXPECT_EQ(env.ui.activeWindow(), forbid) << "asking again brings it to the front";
  EXPECT_EQ(forbid->text(kProcessText), "typed.exe") << "and leaves it as it was";
  ASSERT_TRUE(w.click(kChooseProgram));
  EXPECT_EQ(openCount(kProgramChooser), 1);

  auto* end = open(w, kEndProcesses, kChooseEndProcess, kEndChooser);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(openCount(kEndChooser), 1);
  EXPECT_EQ(openCount(kForbidChooser), 1);
}

TEST_F(ChooserTest, EnterCommitsAndEscapeCancels) {
  auto& w = start();
  auto* c = open(w, kEndProcesses, kChooseEndProcess, kEndChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->focusedControl(), kProcessText);
  c->type(kProcessText, "typed.exe");
  c->pressKey(vk::kEscape);
  EXPECT_FALSE(c->isOpen());
  c = open(w, kEndProcesses, kChooseEndProcess, kEndChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->text(kProcessText), "");
  c->type(kProcessText, "typed.exe");
  c->pressKey(vk::kReturn);
  EXPECT_FALSE(c->isOpen());
  EXPECT_EQ(addedValue(w, "进程"), "typed.exe,");
}

TEST_F(ChooserTest, ProgramAddAppendsTheDialogsNameEvenAfterACancel) {
  auto& w = start();
  auto* c = open(w, kRunProgram, kChooseProgram, kProgramChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->title(), "设置执行程序");
  EXPECT_FALSE(c->isModal());
  env.prompts.chooseFile("C:\\tools\\a.exe");
  c->click(kAddProgram);
  EXPECT_EQ(env.prompts.lastFilter(), "") << "all files";
  env.prompts.chooseFile(std::nullopt);
  c->click(kAddProgram);
  EXPECT_EQ(c->text(kProgramText), "C:\\tools\\a.exe,C:\\tools\\a.exe,");
  c->requestClose();  // no cancel button: the close box
  EXPECT_FALSE(c->isOpen());
  EXPECT_EQ(addedValue(w, "执行名"), "C:\\tools\\a.exe,C:\\tools\\a.exe,");
}

TEST_F(ChooserTest, ANewProgramChoosersDialogHoldsNoName) {
  auto& w = start();
  auto* c = open(w, kRunProgram, kChooseProgram, kProgramChooser);
  ASSERT_NE(c, nullptr);
  env.prompts.chooseFile("C:\\a.exe");
  c->click(kAddProgram);
  c->click(kProgramOk);
  c = open(w, kRunProgram, kChooseProgram, kProgramChooser);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->text(kProgramText), "C:\\a.exe,");
  env.prompts.chooseFile(std::nullopt);
  c->click(kAddProgram);
  EXPECT_EQ(c->text(kProgramText), "C:\\a.exe,,");
  c->type(kProgramText, "C:\\b.exe");
  c->pressKey(vk::kReturn);
  EXPECT_EQ(addedValue(w, "执行名"), "C:\\b.exe,");
}

// Whatever takes the editor to another item while a chooser is open (a row
// of either list, a reset, an add, a save, a run, a timed start, also under
// a dialog of the chooser, an import or a delete of the plan), the chooser
// closes and what was typed in it reaches no item. Only a chooser the main
// window could not get past (the modal one) stays open, and then on the
// item it was opened for.
TEST_F(ChooserTest, AChooserNeverWritesIntoAnotherItem) {
  struct Chooser {
    std::string_view name;
    ControlId button, text, ok;
    std::string key;
  };
  const Chooser choosers[] = {
      {kForbidChooser, kChooseForbidden, kProcessText, kProcessOk, "禁止名"},
      {kProgramChooser, kChooseProgram, kProgramText, kProgramOk, "执行名"},
      {kEndChooser, kChooseEndProcess, kProcessText, kProcessOk, "进程"},
  };
  const auto withLists = [](std::vector<std::string> lines, const std::string& list) {
    for (const char* key : {"执行名=", "进程=", "禁止名="}) lines.push_back(key + list);
    for (const char* flag : {"是否执行=真", "结束进程=真", "禁止进程=真"}) lines.push_back(flag);
    return lines;
  };
  const std::vector<std::string> plan =
      join({withLists(item("甲"), "a.exe,"), withLists(item("乙"), "b.exe,")});
  // A run of either kind is given up, which brings the main window back.
  const auto giveUp = [&] {
    HeadlessWindow* run = env.ui.find("执行窗口");
    if (!run) return false;
    run->click(run_ids::kGiveUpLabel);
    return env.ui.find("放弃窗口")->click(run_ids::kConfirmGiveUp);
  };
  HeadlessWindow* chooser = nullptr;
  struct Path {
    const char* what;
    std::function<bool(HeadlessWindow&)> go;  // false: the main window refused it
    std::string_view onlyFor = {};
  };
  const Path paths[] = {
      {"乙 in the list", [](HeadlessWindow& w) { return w.clickRow(kSequentialList, 1); }},
      {"a timed row", [](HeadlessWindow& w) { return w.clickRow(kTimedList, 0); }},
      {"a reset", [](HeadlessWindow& w) { return w.doubleClickRow(kSequentialList, 0); }},
      {"添加到列表",
       [](HeadlessWindow& w) { return w.type(kContent, "新任务") && w.click(kAddItem); }},
      {"保存", [](HeadlessWindow& w) { return w.click(kSaveItem); }},
      {"从头开始", [&](HeadlessWindow& w) { return w.click(kRunFromStart) && giveUp(); }},
      {"a timed start",
       [&](HeadlessWindow&) {
         env.ui.advance(2500);
         return giveUp();
       }},
      {"a timed start under 添加's dialog",
       [&](HeadlessWindow&) {
         env.prompts.whileNextFileDialogOpen([&] { env.ui.advance(2500); });
         env.prompts.chooseFile("C:\\typed.exe");
         chooser->click(kAddProgram);
         return giveUp();
       },
       kProgramChooser},
      {"导入",
       [&](HeadlessWindow& w) {
         env.prompts.chooseFile("D:\\计划.ini");
         return w.chooseMenu(kImportSequential);
       }},
      {"删除此计划", [](HeadlessWindow& w) { return w.chooseMenu(kDeletePlan); }},
  };
  for (const Chooser& c : choosers) {
    for (const Path& p : paths) {
      if (!p.onlyFor.empty() && p.onlyFor != c.name) continue;
      SCOPED_TRACE(std::string(c.name) + ", " + p.what);
      main.reset();
      putFile("\\time.ini", plan);
      env.files.put("D:\\计划.ini", *env.files.read(env.files.path("\\time.ini")));
      const std::string soon = dateTimeText(addSeconds(env.clock.now(), 2));
      putFile("\\out.ini",
              withLists({"[丙]", "同步时间=" + soon, "内容=丙", "时=0", "分=1", "秒=0"}, "c.exe,"));
      env.files.remove(env.files.path("\\win.ini"));
      auto& w = start();
      ASSERT_TRUE(w.clickRow(kSequentialList, 0));
      ASSERT_TRUE(w.click(c.button));
      chooser = env.ui.find(c.name);
      ASSERT_NE(chooser, nullptr);
      const bool blocked = chooser->isModal();  // the main window waits for it
      chooser->type(c.text, "typed.exe,");

      const bool took = p.go(w);
      EXPECT_EQ(chooser->isOpen(), blocked && !took);
      if (chooser->isOpen()) {
        EXPECT_EQ(w.text(kContent), "甲");
        EXPECT_TRUE(chooser->click(c.ok));
      } else {
        EXPECT_FALSE(chooser->click(c.ok));
        // A new chooser shows the list the editor now holds: nothing typed.
        if (w.click(c.button)) {
          HeadlessWindow* again = env.ui.find(c.name);
          ASSERT_NE(again, nullptr);
          EXPECT_EQ(again->text(c.text).find("typed"), std::string::npos) << again->text(c.text);
          again->requestClose();
        }
      }
      // 乙 saved from the editor keeps its own lists.
      const auto rows = w.listRows(kSequentialList);
      const auto at = std::find(rows.begin(), rows.end(), "乙");
      if (at != rows.end()) {
        ASSERT_TRUE(w.clickRow(kSequentialList, static_cast<int>(at - rows.begin())));
        EXPECT_TRUE(w.click(kSaveItem));
        EXPECT_EQ(PlanStore(env.files).load(kItemFile).value("乙", c.key), "b.exe,");
      }
      EXPECT_EQ(fileText("\\time.ini").find("typed"), std::string::npos);
      EXPECT_EQ(fileText("\\out.ini").find("typed"), std::string::npos);
      env.prompts.clear();
    }
  }
}

}  // namespace
}  // namespace temvik::testing
