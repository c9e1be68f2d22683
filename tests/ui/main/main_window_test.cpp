#include <algorithm>
#include <gtest/gtest.h>
#include <set>

#include "ui/dialogs/about_window.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(MainWindowTest, WithoutPlanFilesShowsDefaultNamesAndEmptyLists) {
  auto& w = start();
  EXPECT_EQ(w.title(), "Temvikv1.0 -- 默认计划 -- 默认同步");
  EXPECT_EQ(w.text(kSequentialGroup), "非同步计划列表--默认计划");
  EXPECT_EQ(w.text(kTimedGroup), "同步计划列表--默认同步");
  EXPECT_THAT(w.listRows(kSequentialList), IsEmpty());
  EXPECT_THAT(w.listRows(kTimedList), IsEmpty());
  EXPECT_TRUE(w.isEnabled(kRunFromStart));
  EXPECT_FALSE(w.isEnabled(kResumeUnfinished));
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.layeredAlpha(), 230);
  EXPECT_EQ(w.timerInterval(kSchedulerTimer), 500u);
  // The default names live in memory only.
  EXPECT_FALSE(env.files.exists(env.files.path("\\name.ini")));
}

TEST_F(MainWindowTest, TitleAndGroupsCarryThePlanNames) {
  putFile("\\name.ini", {"[名称]", "名称=考研冲刺", "同步=晨读"});
  auto& w = start();
  EXPECT_EQ(w.title(), "Temvikv1.0 -- 考研冲刺 -- 晨读");
  EXPECT_EQ(w.text(kSequentialGroup), "非同步计划列表--考研冲刺");
  EXPECT_EQ(w.text(kTimedGroup), "同步计划列表--晨读");
}

TEST_F(MainWindowTest, AnEmptyNameFallsBackToItsDefault) {
  putFile("\\name.ini", {"[名称]", "名称=", "同步=晨读"});
  EXPECT_EQ(start().title(), "Temvikv1.0 -- 默认计划 -- 晨读");
}

TEST_F(MainWindowTest, ListsShowRowsWithTheirMarks) {
  putFile("\\time.ini", join({item("背单词"), item("做数学"), item("写作文")}));
  putFile("\\win.ini", marks({"背单词"}));
  putFile("\\out.ini", join({item("晨读")}));
  putFile("\\fin.ini", {"[晨读]", "fin=已完成--"});
  auto& w = start();
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("已完成--背单词", "做数学", "写作文"));
  EXPECT_THAT(w.listRows(kTimedList), ElementsAre("已完成--晨读"));
  EXPECT_EQ(w.listSelection(kSequentialList), -1);
}

TEST_F(MainWindowTest, RunButtonsFollowTheMarks) {
  putFile("\\time.ini", join({item("一"), item("二")}));
  {
    auto& w = start();
    EXPECT_TRUE(w.isEnabled(kRunFromStart));
    EXPECT_FALSE(w.isEnabled(kResumeUnfinished)) << "nothing finished yet";
  }
  putFile("\\win.ini", marks({"一"}));
  {
    auto& w = start();
    EXPECT_FALSE(w.isEnabled(kRunFromStart));
    EXPECT_TRUE(w.isEnabled(kResumeUnfinished));
  }
  putFile("\\win.ini", marks({"一", "二"}));
  {
    auto& w = start();
    EXPECT_FALSE(w.isEnabled(kRunFromStart));
    EXPECT_FALSE(w.isEnabled(kResumeUnfinished)) << "everything finished";
  }
}

TEST_F(MainWindowTest, AContentMerelyContainingTheMarkWordIsUnfinished) {
  putFile("\\time.ini", join({item("检查已完成的作业"), item("二")}));
  auto& w = start();
  EXPECT_TRUE(w.isEnabled(kRunFromStart));
  EXPECT_FALSE(w.isEnabled(kResumeUnfinished));
}

TEST_F(MainWindowTest, EditorStartsAsDesigned) {
  auto& w = start();
  EXPECT_TRUE(w.isChecked(kMedia));
  EXPECT_TRUE(w.isChecked(kUseDefault));
  EXPECT_TRUE(w.isEnabled(kUseDefault));
  EXPECT_TRUE(w.isEnabled(kPlayTime));
  EXPECT_EQ(w.text(kPlayTime), "10");
  for (ControlId id : {kChooseProgram, kChooseEndProcess, kChooseForbidden, kMediaPath, kOpenMedia})
    EXPECT_FALSE(w.isEnabled(id)) << w.design().control(id)->designName;
  EXPECT_TRUE(w.isEnabled(kContent));
  EXPECT_TRUE(w.isEnabled(kAddItem));
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword)) << "no password stored";
}

TEST_F(MainWindowTest, AStoredPasswordLocksTheEditor) {
  putFile("\\time.ini", join({item("一"), {"[密码]", "密码=abc"}}));
  auto& w = start();
  for (ControlId id :
       {kContent,         kHours,         kMinutes,      kSeconds,         kExitWhenDone,
        kRunProgram,      kChooseProgram, kEndProcesses, kForbidProcesses, kChooseEndProcess,
        kChooseForbidden, kShutdown,      kRestart,      kLogOff,          kLock,
        kMedia,           kUseDefault,    kMediaPath,    kOpenMedia,       kPlayTime,
        kAddItem,         kDeleteItem})
    EXPECT_FALSE(w.isEnabled(id)) << w.design().control(id)->designName;
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
  EXPECT_TRUE(w.isEnabled(kRunFromStart));
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("一"));
}

TEST_F(MainWindowTest, ItemsAfterThePasswordSectionAreShown) {
  putFile("\\time.ini", join({{"[密码]", "密码="}, item("一"), item("二")}));
  EXPECT_THAT(start().listRows(kSequentialList), ElementsAre("一", "二"));
}

TEST_F(MainWindowTest, RightClickOnARowPopsTheContextMenu) {
  putFile("\\time.ini", join({item("一"), item("二")}));
  auto& w = start();
  ASSERT_TRUE(w.rightClickRow(kSequentialList, 1));
  EXPECT_EQ(w.listSelection(kSequentialList), 1);
  EXPECT_EQ(w.takePoppedMenu(), "列表1右键菜单");
  EXPECT_EQ(w.menuCaption(kSequentialMenuTitle), "正在操作项目：二");
}

TEST_F(MainWindowTest, RightClickBelowTheRowsOpensNoMenu) {
  putFile("\\time.ini", join({item("一")}));
  auto& w = start();
  w.rightClickRow(kSequentialList, -1);
  EXPECT_EQ(w.takePoppedMenu(), "");
}

TEST_F(MainWindowTest, DoubleClickClearsSelectionAndEditor) {
  putFile("\\time.ini", join({item("一")}));
  auto& w = start();
  w.type(kContent, "草稿");
  w.doubleClickRow(kSequentialList, 0);
  EXPECT_EQ(w.listSelection(kSequentialList), -1);
  EXPECT_EQ(w.text(kContent), "");
}

TEST_F(MainWindowTest, ExitButtonAndMenuEndTheProgram) {
  {
    auto& w = start();
    w.click(kExit);
    EXPECT_FALSE(w.isOpen());
    EXPECT_TRUE(env.ui.quitRequested());
  }
  headless::Headless other;
  MainWindow second(other.services);
  second.start();
  auto& w = static_cast<headless::HeadlessWindow&>(second.window());
  w.type(kContent, "未保存");
  ASSERT_TRUE(w.chooseMenu(kExitProgram));
  EXPECT_FALSE(w.isOpen());
  EXPECT_TRUE(other.ui.quitRequested());
  EXPECT_TRUE(other.prompts.shown().empty()) << "closing asks nothing";
}

TEST_F(MainWindowTest, AboutShowsNameVersionAndCreditsUntilClosedByKey) {
  auto& w = start();
  ASSERT_TRUE(w.chooseMenu(kAbout));
  auto* about = env.ui.find("关于窗口");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(about_ids::kName), "Temvik");
  EXPECT_EQ(about->text(about_ids::kVersion), "版本 1.0");
  EXPECT_EQ(about->text(about_ids::kCredits).rfind("致谢：", 0), 0u);
  about->pressKey(vk::kEscape);
  EXPECT_EQ(env.ui.find("关于窗口"), nullptr);
  ASSERT_TRUE(w.chooseMenu(kAbout));
  env.ui.find("关于窗口")->pressKey(vk::kReturn);
  EXPECT_EQ(env.ui.find("关于窗口"), nullptr);
}

// 帮助's first item opens the guide beside the program, wherever the program
// is; a missing guide, or one the system cannot open, is told with where it
// belongs, and nothing else is opened.
TEST_F(MainWindowTest, TheUserGuideOpensFromTheProgramFolder) {
  const auto help = std::find_if(mainWindowDesign().menus.begin(), mainWindowDesign().menus.end(),
                                 [](const MenuDesign& m) { return m.caption == "帮助"; });
  ASSERT_NE(help, mainWindowDesign().menus.end());
  EXPECT_EQ(help->items.front().id, kUserGuide);
  EXPECT_EQ(help->items.front().caption, "使用说明");
  for (const std::string folder : {"C:\\Temvik", "D:\\绿色 软件\\Temvik 1.0", "\\\\盘\\共享"}) {
    SCOPED_TRACE(folder);
    main.reset();
    env.files = headless::MemoryFiles{folder};
    env.shell.opens = true;
    auto& w = start();
    const std::string guide = folder + "\\使用说明.html";
    ASSERT_TRUE(w.chooseMenu(kUserGuide));
    EXPECT_TRUE(env.shell.take().empty());
    ASSERT_EQ(env.prompts.shown().size(), 1u);
    EXPECT_EQ(env.prompts.shown()[0].text,
              "找不到使用说明文件“使用说明.html”。它应在程序所在的文件夹中：\n" + folder +
                  "\n\n也可以在程序的下载页面上阅读使用说明。");
    EXPECT_EQ(env.prompts.shown()[0].title, "使用说明");
    EXPECT_EQ(env.prompts.shown()[0].icon, MessageIcon::Information);
    env.prompts.clear();

    env.files.put(guide, "<html></html>");
    ASSERT_TRUE(w.chooseMenu(kUserGuide));
    EXPECT_EQ(env.shell.take(), std::vector<std::string>{"open:" + guide});
    EXPECT_TRUE(env.prompts.shown().empty());

    env.shell.opens = false;
    ASSERT_TRUE(w.chooseMenu(kUserGuide));
    EXPECT_EQ(env.shell.take(), std::vector<std::string>{"open:" + guide});
    EXPECT_EQ(env.prompts.takeTexts(),
              std::vector<std::string>{"无法打开使用说明文件：\n" + guide +
                                       "\n\n请在该文件夹中双击此文件，或用浏览器打开它。"});
  }
}

TEST_F(MainWindowTest, EveryControlHasAUniqueIdAndDesignName) {
  const WindowDesign& design = mainWindowDesign();
  std::set<ControlId> ids;
  std::set<std::string_view> names;
  for (const auto& c : design.controls) {
    EXPECT_TRUE(ids.insert(c.id).second) << c.designName;
    EXPECT_TRUE(names.insert(c.designName).second) << c.designName;
  }
  EXPECT_EQ(design.controls.size(), 51u);
}

}  // namespace
}  // namespace temvik::testing
