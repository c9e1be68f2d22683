// The plan menu: export and import of each part, rename, delete the plan;
// a cancelled dialog or a file that fails changes nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/app_state.h"
#include "store/messages.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/rename_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using ::testing::ElementsAre;

class PlanMenuTest : public MainWindowTest {
 protected:
  void putPlan() {
    putFile("\\time.ini", join({item("背单词"), item("做练习"), {"[密码]", "密码="}}));
    putFile("\\win.ini", marks({"背单词"}));
    putFile("\\out.ini", item("晚饭"));
    putFile("\\fin.ini", {"[晚饭]", "fin=已完成--"});
    putFile("\\name.ini", {"[名称]", "名称=周末", "同步=晚间"});
  }
  std::map<std::string, std::string> files() const { return env.files.all(); }
  headless::HeadlessWindow* renameWindow() { return env.ui.find("更名窗口"); }
};

TEST_F(PlanMenuTest, ExportCopiesThePartFileUnderTheChosenName) {
  putFile("\\time.ini", join({item("背单词"), {"[密码]", "密码=秘密"}}));
  auto& w = start();
  env.prompts.chooseFile("D:\\备份\\默认计划.ini");
  w.chooseMenu(kExportSequential);
  EXPECT_EQ(env.prompts.lastPresetName(), "默认计划");
  EXPECT_EQ(env.prompts.lastFilter(), "ini文件(*.ini)|*.ini");
  EXPECT_EQ(env.files.read("D:\\备份\\默认计划.ini"), env.files.read(env.files.path("\\time.ini")))
      << "a byte copy, password included";
}

TEST_F(PlanMenuTest, ExportOfAnEmptyPartOrACancelledDialogWritesNothing) {
  putFile("\\time.ini", item("背单词"));
  auto& w = start();
  w.chooseMenu(kExportTimed);
  EXPECT_THAT(env.prompts.takeTexts(), ElementsAre("并没有计划以供导出!"));
  const auto before = files();
  w.chooseMenu(kExportSequential);  // the dialog is cancelled
  EXPECT_EQ(files(), before);
  EXPECT_TRUE(env.prompts.shown().empty());
}

TEST_F(PlanMenuTest, AnExportThatCannotBeWrittenSaysSo) {
  putFile("\\out.ini", item("晚饭"));
  auto& w = start();
  env.files.unwritable.insert("E:\\晚间.ing");
  env.files.refusal = {};  // a disk that gives no reason: the user is told what to check
  env.prompts.chooseFile("E:\\晚间.ing");
  w.chooseMenu(kExportTimed);
  EXPECT_EQ(env.prompts.lastPresetName(), "默认同步");
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].title, "文件错误");
  EXPECT_EQ(env.prompts.shown()[0].text,
            "无法写入文件：\nE:\\晚间.ing\n\n"
            "请检查该文件是否被其他程序占用、是否只读，以及磁盘是否已满。计划没有导出。")
      << "an export changes no plan: it says the plan was not exported";
}

TEST_F(PlanMenuTest, AnImportReplacesThePartWithoutMarksAndNamesItAfterTheFile) {
  putPlan();
  env.files.put("D:\\计划\\morning.ini",
                utf8ToGbk("[跑步]\r\n内容=跑步\r\n时=0\r\n分=30\r\n秒=0\r\n"));
  auto& w = start();
  w.clickRow(kSequentialList, 1);
  env.prompts.answer(MessageAnswer::Yes);
  env.prompts.chooseFile("D:\\计划\\morning.ini");
  w.chooseMenu(kImportSequential);
  EXPECT_THAT(env.prompts.takeTexts(), ElementsAre("当前的计划会被覆盖，确定要导入吗？"));
  EXPECT_EQ(w.listRows(kSequentialList), std::vector<std::string>{"跑步"});
  EXPECT_EQ(w.listSelection(kSequentialList), -1);
  EXPECT_FALSE(env.files.exists(env.files.path("\\win.ini")));
  EXPECT_THAT(fileText("\\name.ini"), ::testing::HasSubstr("名称=morning"));
  EXPECT_EQ(w.title(), "Temvikv1.0 -- morning -- 晚间");
  EXPECT_EQ(w.text(kSequentialGroup), "非同步计划列表--morning");
  EXPECT_TRUE(env.files.exists(env.files.path("\\fin.ini"))) << "the timed marks stay";
  EXPECT_TRUE(w.isEnabled(kRunFromStart));
}

TEST_F(PlanMenuTest, AnImportedPlanWithAPasswordIsReadOnly) {
  env.files.put("D:\\locked.ini",
                utf8ToGbk("[读书]\r\n内容=读书\r\n分=5\r\n[密码]\r\n密码=abc\r\n"));
  auto& w = start();
  env.prompts.chooseFile("D:\\locked.ini");
  w.chooseMenu(kImportSequential);
  EXPECT_TRUE(env.prompts.shown().empty()) << "an empty list is not asked about";
  EXPECT_FALSE(w.isEnabled(kContent));
  EXPECT_FALSE(w.isEnabled(kAddItem));
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
  // Read-only now: a second import of the sequential part is refused.
  env.prompts.chooseFile("D:\\locked.ini");
  w.chooseMenu(kImportSequential);
  EXPECT_THAT(env.prompts.takeTexts(), ElementsAre(std::string(kEditLocked.text)));
}

TEST_F(PlanMenuTest, AnImportThatIsCancelledRefusedOrUnreadableChangesNothing) {
  putPlan();
  env.files.put("D:\\broken.ini", "x");
  env.files.unreadable.insert("D:\\broken.ini");
  auto& w = start();
  const auto before = files();
  const std::string title = w.title();
  // No to the question; then Yes and a cancelled dialog; then a missing and
  // an unreadable file.
  env.prompts.answer(MessageAnswer::No);
  w.chooseMenu(kImportTimed);
  env.prompts.answer(MessageAnswer::Yes);
  w.chooseMenu(kImportTimed);
  for (const char* path : {"D:\\gone.ing", "D:\\broken.ini"}) {
    env.prompts.answer(MessageAnswer::Yes);
    env.prompts.chooseFile(path);
    w.chooseMenu(kImportSequential);
  }
  EXPECT_EQ(files(), before);
  EXPECT_EQ(w.title(), title);
  EXPECT_EQ(w.listRows(kSequentialList), (std::vector<std::string>{"已完成--背单词", "做练习"}));
  int errors = 0;
  for (const auto& shown : env.prompts.shown()) errors += shown.title == "文件错误";
  EXPECT_EQ(errors, 2);
}

// Whichever single write of an import fails, the user hears of it once and
// the lists show what the files then hold.
TEST_F(PlanMenuTest, EveryFailingWriteOfAnImportIsToldOnce) {
  for (int failing = 0; failing < 4; ++failing) {
    SCOPED_TRACE(failing);
    env.files = headless::MemoryFiles();
    env.prompts.clear();
    putPlan();
    env.files.put("D:\\new.ing", utf8ToGbk("[散步]\r\n内容=散步\r\n分=20\r\n"));
    auto& w = start();
    env.prompts.answer(MessageAnswer::Yes);
    env.prompts.chooseFile("D:\\new.ing");
    env.files.failOnce(failing);
    w.chooseMenu(kImportTimed);
    int errors = 0;
    for (const auto& shown : env.prompts.shown()) errors += shown.title == "文件错误";
    EXPECT_LE(errors, 1);
    const auto out = env.files.read(env.files.path("\\out.ini"));
    const bool replaced = out && gbkToUtf8(*out).find("散步") != std::string::npos;
    EXPECT_EQ(w.listRows(kTimedList), replaced ? std::vector<std::string>{"散步"}
                                               : std::vector<std::string>{"已完成--晚饭"});
    if (errors == 0) {
      EXPECT_TRUE(replaced);
    }
  }
}

TEST_F(PlanMenuTest, RenameKeepsItsTargetUntilItSucceeds) {
  putPlan();
  auto& w = start();
  w.chooseMenu(kRenameTimed);
  ASSERT_NE(renameWindow(), nullptr);
  EXPECT_EQ(renameWindow()->text(rename_ids::kNameText), "晚间");
  EXPECT_TRUE(renameWindow()->allSelected(rename_ids::kNameText));
  renameWindow()->type(rename_ids::kNameText, "");
  renameWindow()->click(rename_ids::kRenameOk);
  EXPECT_THAT(env.prompts.takeTexts(), ElementsAre("计划名不能为空"));
  ASSERT_NE(renameWindow(), nullptr);
  renameWindow()->type(rename_ids::kNameText, "夜读");
  renameWindow()->pressKey(vk::kReturn);
  EXPECT_EQ(renameWindow(), nullptr);
  EXPECT_EQ(w.title(), "Temvikv1.0 -- 周末 -- 夜读");
  EXPECT_EQ(w.text(kTimedGroup), "同步计划列表--夜读");
  EXPECT_THAT(fileText("\\name.ini"), ::testing::HasSubstr("同步=夜读"));
  EXPECT_THAT(fileText("\\name.ini"), ::testing::HasSubstr("名称=周末"));
}

TEST_F(PlanMenuTest, RenameClosedByEscWritesNothing) {
  putPlan();
  auto& w = start();
  const auto before = files();
  w.chooseMenu(kRenameSequential);
  EXPECT_EQ(renameWindow()->text(rename_ids::kNameText), "周末");
  renameWindow()->type(rename_ids::kNameText, "别的");
  renameWindow()->pressKey(vk::kEscape);
  EXPECT_EQ(renameWindow(), nullptr);
  EXPECT_EQ(files(), before);
  EXPECT_EQ(w.title(), "Temvikv1.0 -- 周末 -- 晚间");
}

TEST_F(PlanMenuTest, ARenameThatCannotBeStoredKeepsTheDialogAndTheName) {
  putPlan();
  auto& w = start();
  env.files.unwritable.insert(env.files.path("\\name.ini"));
  w.chooseMenu(kRenameSequential);
  renameWindow()->type(rename_ids::kNameText, "新名");
  renameWindow()->click(rename_ids::kRenameOk);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].title, "文件错误");
  EXPECT_NE(renameWindow(), nullptr);
  EXPECT_EQ(w.title(), "Temvikv1.0 -- 周末 -- 晚间");
}

TEST_F(PlanMenuTest, DeletingAFreshPlanHasNothingToDelete) {
  auto& w = start();
  w.chooseMenu(kDeletePlan);
  EXPECT_THAT(env.prompts.takeTexts(), ElementsAre("此计划并没有可以供删除的信息"));
  EXPECT_TRUE(files().empty());
}

TEST_F(PlanMenuTest, DeletingThePlanRemovesEveryFileAndShowsTheDefaults) {
  putPlan();
  auto& w = start();
  env.prompts.answer(MessageAnswer::No);
  w.chooseMenu(kDeletePlan);
  EXPECT_EQ(files().size(), 5u);
  env.prompts.answer(MessageAnswer::Yes);
  w.chooseMenu(kDeletePlan);
  EXPECT_TRUE(files().empty());
  EXPECT_EQ(w.title(), "Temvikv1.0 -- 默认计划 -- 默认同步");
  EXPECT_EQ(w.listCount(kSequentialList), 0);
  EXPECT_EQ(w.listCount(kTimedList), 0);
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
  main.reset();
  auto& again = start();
  EXPECT_EQ(again.title(), "Temvikv1.0 -- 默认计划 -- 默认同步");
}

TEST_F(PlanMenuTest, TheHistoryOfRunsGoesWithThePlanOnlyWhenAskedFor) {
  const std::string history = env.files.path("\\执行记录.csv");
  for (const MessageAnswer second : {MessageAnswer::No, MessageAnswer::Yes}) {
    putPlan();
    env.files.put(history, "记录");
    env.prompts.clear();
    auto& w = start();
    env.prompts.answer(MessageAnswer::Yes);
    if (second == MessageAnswer::Yes) env.prompts.answer(second);  // else its default, 否
    w.chooseMenu(kDeletePlan);
    ASSERT_EQ(env.prompts.shown().size(), 2u);
    EXPECT_EQ(env.prompts.shown()[1].text, "是否同时删除执行记录？");
    EXPECT_EQ(env.prompts.shown()[1].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(env.files.exists(history), second == MessageAnswer::No);
    EXPECT_EQ(files().size(), second == MessageAnswer::No ? 1u : 0u);
    main.reset();
  }
}

// Whichever of the five files cannot be read or deleted, the plan stays
// whole: every file comes back byte for byte, one message names that file,
// and the window, the names and the password in memory stay as they were.
TEST_F(PlanMenuTest, ADeleteThatFailsOnAnyFileLeavesThePlanWhole) {
  const std::vector<std::string> parts = {"\\time.ini", "\\out.ini", "\\name.ini", "\\win.ini",
                                          "\\fin.ini"};
  for (size_t failing = 0; failing < 2 * parts.size(); ++failing) {
    const bool reading = failing < parts.size();
    const std::string path = env.files.path(parts[failing % parts.size()]);
    SCOPED_TRACE((reading ? "read of " : "delete of ") + path);
    env.files = headless::MemoryFiles();
    env.prompts.clear();
    putPlan();
    putFile("\\time.ini", join({item("背单词"), item("做练习"), {"[密码]", "密码=Pass"}}));
    env.ui.onModal("密码窗口", [](headless::HeadlessWindow& d) {
      d.type(password_ids::kPasswordEntry, "Pass");
      d.click(password_ids::kPasswordOk);
    });
    auto& w = start();
    ASSERT_TRUE(w.isMenuEnabled(kDeletePassword));
    w.clickRow(kSequentialList, 1);
    const auto before = files();
    const std::string title = w.title();
    if (reading)
      env.files.failReadOnce(static_cast<int>(failing));
    else
      env.files.unwritable.insert(path);
    env.prompts.answer(MessageAnswer::Yes);
    w.chooseMenu(kDeletePlan);

    EXPECT_EQ(files(), before);
    ASSERT_EQ(env.prompts.shown().size(), 2u);
    EXPECT_EQ(env.prompts.shown()[1].title, "文件错误");
    EXPECT_THAT(env.prompts.shown()[1].text, ::testing::HasSubstr(path));
    EXPECT_EQ(w.title(), title);
    EXPECT_EQ(w.listRows(kSequentialList), (std::vector<std::string>{"已完成--背单词", "做练习"}));
    EXPECT_EQ(w.listRows(kTimedList), std::vector<std::string>{"已完成--晚饭"});
    EXPECT_EQ(w.text(kContent), "做练习");
    EXPECT_TRUE(w.isMenuEnabled(kDeletePassword)) << "the password is still held";
    env.files.unwritable.clear();
  }
}

}  // namespace
}  // namespace temvik::testing
