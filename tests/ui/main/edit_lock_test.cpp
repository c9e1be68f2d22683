// The edit lock: with a password stored and not entered, no path of the
// main window changes the sequential plan or its marks (deleting the plan
// and an export over the plan's own files included), every refused one
// says why, and the editor stays disabled. A run still marks its items.

#include <functional>
#include <gtest/gtest.h>
#include <random>

#include "platform/path_spellings.h"
#include "store/app_state.h"
#include "store/messages.h"
#include "store/password.h"
#include "store/plan_store.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/prompt_point_editor.h"
#include "ui/main/main_window_fixture.h"
#include "ui/main/messages.h"
#include "ui/main/plan_menu.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using headless::HeadlessWindow;

class EditLockTest : public MainWindowTest {
 protected:
  // A plan of 1 to 6 items with options and prompt points, the first
  // `marked` of them finished, and a stored password.
  void generatePlan(std::mt19937& rng, int& items) {
    std::uniform_int_distribution<int> count(1, 6);
    items = count(rng);
    const int marked = std::uniform_int_distribution<int>(0, items)(rng);
    std::vector<std::string> time;
    std::vector<std::string> win;
    for (int i = 0; i < items; ++i) {
      const std::string content = "项" + std::to_string(i) + (rng() % 2 ? "任务" : "");
      for (const auto& line : item(content, std::to_string(rng() % 60))) time.push_back(line);
      for (const char* line : {"是否执行=真", "执行名=a.exe,", "禁止进程=真", "禁止名=g.exe,"})
        if (rng() % 2) time.push_back(line);
      if (rng() % 2) {
        time.push_back("断点1名=歇");
        time.push_back("断点1时间=" + std::to_string(rng() % 100000));
        time.push_back("断点1音=b.wav");
      }
      if (i < marked) {
        win.push_back("[" + content + "]");
        win.push_back("win=已完成--");
      }
    }
    time.push_back("[密码]");
    time.push_back("密码=" + hashPassword(env.crypto, "Pass").value());
    putFile("\\time.ini", time);
    if (win.empty())
      env.files.remove(env.files.path("\\win.ini"));
    else
      putFile("\\win.ini", win);
    // The timed part and the names, which deleting the plan would take too.
    for (std::string_view part : {"\\out.ini", "\\fin.ini", "\\name.ini"})
      env.files.remove(env.files.path(part));
    if (rng() % 3) putFile("\\out.ini", item("晚" + std::to_string(rng() % 9)));
    if (rng() % 2) putFile("\\fin.ini", {"[晚1]", "fin=已完成--"});
    if (rng() % 2) putFile("\\name.ini", {"[名称]", "名称=周末", "同步=晚间"});
  }
  [[nodiscard]] std::string bytes(std::string_view part) const {
    return env.files.read(env.files.path(part)).value_or("<none>");
  }
  // Starts locked: the start-up dialog answered wrongly.
  HeadlessWindow& startLocked() {
    auto& w = start();
    HeadlessWindow* d = env.ui.find("密码窗口");
    EXPECT_NE(d, nullptr);
    d->type(password_ids::kPasswordEntry, "pass");
    d->click(password_ids::kPasswordOk);
    env.prompts.clear();
    return w;
  }
};

TEST_F(EditLockTest, NoPathChangesALockedPlan) {
  std::mt19937 rng(20261209);
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    main.reset();
    int items = 0;
    generatePlan(rng, items);
    const std::string time = bytes("\\time.ini");
    const std::string win = bytes("\\win.ini");
    const auto everything = env.files.all();
    auto& w = startLocked();
    ASSERT_EQ(enabledLockedControls(w), 0);
    const int row = std::uniform_int_distribution<int>(0, items - 1)(rng);

    // Each path, with the row selected, must leave both files as they were.
    const auto refusedWith = [&](std::string_view text, const std::string& what,
                                 const std::function<void()>& path) {
      SCOPED_TRACE(what);
      w.clickRow(kSequentialList, row);
      EXPECT_EQ(enabledLockedControls(w), 0) << "a loaded row stays locked";
      env.prompts.clear();
      path();
      // The lock's refusal looks the same on every path.
      if (text == kEditLocked.text && !env.prompts.shown().empty()) {
        EXPECT_EQ(env.prompts.shown()[0].icon, MessageIcon::Information);
      }
      EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{std::string(text)});
      EXPECT_EQ(bytes("\\time.ini"), time);
      EXPECT_EQ(bytes("\\win.ini"), win);
      EXPECT_EQ(env.files.all(), everything);
      EXPECT_EQ(enabledLockedControls(w), 0);
      EXPECT_FALSE(env.files.exists(env.files.path("\\time1.ini")));
      EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
    };
    const auto refused = [&](const char* what, const std::function<void()>& path) {
      refusedWith(kEditLocked.text, what, path);
    };
    refused("Delete key", [&] { EXPECT_TRUE(w.keyDown(kSequentialList, vk::kDelete)); });
    refused("context menu 删除", [&] {
      w.rightClickRow(kSequentialList, row);
      EXPECT_EQ(w.takePoppedMenu(), kSequentialMenu);
      EXPECT_TRUE(w.chooseMenu(kDeleteFromMenu));
    });
    refused("上移", [&] { EXPECT_TRUE(w.click(kMoveUp)); });
    refused("下移", [&] { EXPECT_TRUE(w.click(kMoveDown)); });
    refused("删除所有已完成标记", [&] { EXPECT_TRUE(w.click(kClearMarks)); });
    refused("保存对所选计划的修改", [&] { EXPECT_TRUE(w.click(kSaveItem)); });
    // Disabled, so a click does nothing; a command sent all the same is refused.
    refused("添加到列表", [&] {
      EXPECT_FALSE(w.click(kAddItem));
      w.events().onClick(kAddItem);
    });
    refused("删除选中项", [&] {
      EXPECT_FALSE(w.click(kDeleteItem));
      w.events().onClick(kDeleteItem);
    });
    // No chooser opens on a locked item, so none can write into it.
    for (ControlId chooser : {kChooseProgram, kChooseEndProcess, kChooseForbidden}) {
      refused("a chooser button", [&] {
        EXPECT_FALSE(w.click(chooser));
        w.events().onClick(chooser);
        for (std::string_view name : {"执行程序窗口", "结束进程窗口", "禁止进程窗口"})
          EXPECT_EQ(env.ui.find(name), nullptr) << name;
      });
    }
    refused("删除此计划", [&] { EXPECT_TRUE(w.chooseMenu(kDeletePlan)); });
    refused("导入非同步部分", [&] { EXPECT_TRUE(w.chooseMenu(kImportSequential)); });
    // An export is no edit, but one over the program's own files would be:
    // the timed part over time.ini takes the password away.
    for (int n = 0; n < 3; ++n) {
      const std::string dir = env.files.programDirectory();
      const bool timed = w.listCount(kTimedList) > 0 && rng() % 2;
      const size_t pick = rng() % (kProgramFiles.size() + 1);
      const std::string name = pick < kProgramFiles.size()
                                   ? std::string(kProgramFiles[pick].substr(1))
                                   : env.files.programPath().substr(dir.size() + 1);
      const std::string target = spellingOf(rng, dir, name, dir);
      refusedWith(kOwnFileExport.text,
                  (timed ? "导出同步部分 onto " : "导出非同步部分 onto ") + target, [&] {
                    env.prompts.chooseFile(target);
                    EXPECT_TRUE(w.chooseMenu(timed ? kExportTimed : kExportSequential));
                  });
    }

    // A double click resets the editor and leaves it locked.
    env.prompts.clear();
    w.doubleClickRow(kSequentialList, row);
    EXPECT_EQ(w.listSelection(kSequentialList), -1);
    EXPECT_EQ(w.text(kContent), "");
    EXPECT_EQ(enabledLockedControls(w), 0);
    EXPECT_TRUE(env.prompts.shown().empty());
    EXPECT_EQ(bytes("\\time.ini"), time);
    EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
  }
}

TEST_F(EditLockTest, TheRightPasswordLiftsTheLockForEveryPath) {
  putFile("\\time.ini", join({item("一"), item("二"), {"[密码]", "密码=Pass"}}));
  auto& w = startLocked();
  w.clickRow(kSequentialList, 1);
  w.click(kMoveUp);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{std::string(kEditLocked.text)});
  w.chooseMenu(kGetRights);
  HeadlessWindow* d = env.ui.find("密码窗口");
  ASSERT_NE(d, nullptr);
  d->type(password_ids::kPasswordEntry, "Pass");
  d->click(password_ids::kPasswordOk);
  EXPECT_EQ(enabledLockedControls(w), 17);
  w.clickRow(kSequentialList, 1);
  w.click(kMoveUp);
  EXPECT_TRUE(env.prompts.shown().empty());
  EXPECT_THAT(w.listRows(kSequentialList), ::testing::ElementsAre("二", "一"));
  EXPECT_NE(fileText("\\time.ini").find("密码=Pass"), std::string::npos)
      << "a move writes the password as it was";
}

TEST_F(EditLockTest, ThePromptPointWindowCannotSaveALockedItem) {
  putFile("\\time.ini", join({item("一"), item("二"), {"[密码]", "密码=Pass"}}));
  auto& w = startLocked();
  const std::string time = bytes("\\time.ini");
  w.clickRow(kSequentialList, 1);
  ASSERT_TRUE(w.click(kPromptPoints));
  HeadlessWindow* points = env.ui.find("设置提示点窗口");
  ASSERT_NE(points, nullptr);
  ASSERT_TRUE(points->isVisible());
  points->click(prompt_ids::kPointsOk);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{std::string(kEditLocked.text)});
  EXPECT_EQ(bytes("\\time.ini"), time);
  EXPECT_EQ(enabledLockedControls(w), 0);
}

TEST_F(EditLockTest, ALockedPlanStillRunsAndMarksItsItems) {
  putFile("\\time.ini", join({{"[一]", "内容=一", "时=0", "分=0", "秒=1", "提示音=假"},
                              item("二"),
                              {"[密码]", "密码=Pass"}}));
  auto& w = startLocked();
  EXPECT_TRUE(w.click(kRunFromStart));
  env.ui.advance(1500);
  EXPECT_NE(fileText("\\win.ini").find("[一]"), std::string::npos);
  EXPECT_NE(fileText("\\time.ini").find("密码=Pass"), std::string::npos);
}

}  // namespace
}  // namespace temvik::testing
