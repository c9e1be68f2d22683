// The plan menu of the real program: a part exported through the real save
// dialog and imported again under a new name through the open dialog; the
// rename dialog.

#include <string>
#include <vector>

#include "caption_fit.h"
#include "e2e_support.h"
#include "ui/dialogs/rename_dialog.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using Rows = std::vector<std::string>;

TEST(PlanMenu, TheSequentialPartIsExportedAndImportedUnderANewName) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni(
      "time.ini", itemSection("背单词", "0", "20", "0") + itemSection("做练习", "0", "30", "0")));
  ASSERT_TRUE(folder.writeIni("win.ini", "[背单词]\nwin=已完成--\n"));
  E2E_START(app, folder);
  E2E_EVENTUALLY_EQ(app.rows(kSequentialList), (Rows{"已完成--背单词", "做练习"}));

  const std::string exported = narrow(folder.path("晨读.ini"));
  app.menu(kExportSequential);
  ASSERT_TRUE(app.chooseFile(exported)) << "the save dialog";
  E2E_EVENTUALLY_TRUE(folder.exists("晨读.ini"));
  EXPECT_EQ(folder.readBytes("晨读.ini"), folder.readBytes("time.ini")) << "a byte copy";

  app.menu(kImportSequential);
  const auto question = app.waitForMessageBox();
  ASSERT_TRUE(question);
  EXPECT_EQ(question->text, "当前的计划会被覆盖，确定要导入吗？");
  ASSERT_TRUE(question->press(IDYES));
  ASSERT_TRUE(app.chooseFile(exported)) << "the open dialog";
  E2E_EVENTUALLY_EQ(app.rows(kSequentialList), (Rows{"背单词", "做练习"}));
  E2E_EVENTUALLY_EQ(app.title(), std::string("Temvikv1.0 -- 晨读 -- 默认同步"));
  EXPECT_FALSE(folder.exists("win.ini")) << "an imported part has no marks";
  EXPECT_FALSE(app.messageBox().has_value());
}

TEST(PlanMenu, TheRenameDialogRenamesTheTimedPart) {
  PlanFolder folder;
  E2E_START(app, folder);
  app.menu(kRenameTimed);
  HWND rename = app.waitForWindow("更名");
  ASSERT_NE(rename, nullptr);
  expectCaptionsFit(rename, "rename dialog");
  EXPECT_EQ(windowText(GetDlgItem(rename, rename_ids::kNameText)), "默认同步");
  typeInto(GetDlgItem(rename, rename_ids::kNameText), "晚间");
  PostMessageW(GetDlgItem(rename, rename_ids::kRenameOk), BM_CLICK, 0, 0);
  E2E_EVENTUALLY_TRUE(!IsWindow(rename) || !IsWindowVisible(rename));
  E2E_EVENTUALLY_EQ(app.title(), std::string("Temvikv1.0 -- 默认计划 -- 晚间"));
  EXPECT_NE(folder.readText("name.ini").find("同步=晚间"), std::string::npos);
}

TEST(PlanMenu, TheTimedPartIsExportedAndImportedIntoAnEmptyList) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("out.ini", itemSection("晚饭", "0", "30", "0")));
  E2E_START(app, folder);
  E2E_EVENTUALLY_EQ(app.rows(kTimedList), Rows{"晚饭"});
  const std::string exported = narrow(folder.path("晚间.ing"));
  app.menu(kExportTimed);
  ASSERT_TRUE(app.chooseFile(exported)) << "the save dialog";
  E2E_EVENTUALLY_TRUE(folder.exists("晚间.ing"));
  EXPECT_EQ(folder.readBytes("晚间.ing"), folder.readBytes("out.ini"));
  app.close();
  ASSERT_TRUE(app.waitForExit());

  // An empty timed list takes the file without a question.
  PlanFolder other;
  ASSERT_TRUE(other.writeBytes("晚间.ing", *folder.readBytes("晚间.ing")));
  E2E_START(second, other);
  second.menu(kImportTimed);
  ASSERT_TRUE(second.chooseFile(narrow(other.path("晚间.ing")))) << "the open dialog";
  E2E_EVENTUALLY_EQ(second.rows(kTimedList), Rows{"晚饭"});
  E2E_EVENTUALLY_EQ(second.title(), std::string("Temvikv1.0 -- 默认计划 -- 晚间"));
}

TEST(PlanMenu, DeletingThePlanRemovesItsFilesAndShowsTheDefaults) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("背单词", "0", "20", "0")));
  ASSERT_TRUE(folder.writeIni("win.ini", "[背单词]\nwin=已完成--\n"));
  ASSERT_TRUE(folder.writeIni("name.ini", "[名称]\n名称=周末\n同步=晚间\n"));
  E2E_START(app, folder);
  E2E_EVENTUALLY_EQ(app.title(), std::string("Temvikv1.0 -- 周末 -- 晚间"));
  app.menu(kDeletePlan);
  const auto question = app.waitForMessageBox();
  ASSERT_TRUE(question);
  EXPECT_EQ(question->text, "你确定删除此计划吗？");
  ASSERT_TRUE(question->press(IDYES));
  E2E_EVENTUALLY_EQ(app.title(), std::string("Temvikv1.0 -- 默认计划 -- 默认同步"));
  EXPECT_TRUE(app.rows(kSequentialList).empty());
  for (const char* file : {"time.ini", "win.ini", "name.ini", "out.ini", "fin.ini"})
    EXPECT_FALSE(folder.exists(file)) << file;
  // Nothing is left to delete now.
  app.menu(kDeletePlan);
  const auto nothing = app.waitForMessageBox();
  ASSERT_TRUE(nothing);
  EXPECT_EQ(nothing->text, "此计划并没有可以供删除的信息");
  ASSERT_TRUE(nothing->press(IDOK));
}

}  // namespace
}  // namespace temvik::e2e
