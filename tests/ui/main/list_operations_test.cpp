// Move, delete and clear marks, and what a crash in the middle leaves.

#include <gtest/gtest.h>

#include "store/plan_store.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ListOperationsTest : public MainWindowTest {
 protected:
  void threeItems() {
    putFile("\\time.ini",
            join({item("一"),
                  item("二"),
                  {"[三]",          "内容=三",      "时=0",        "分=3",        "秒=0",
                   "禁止名=g.exe,", "禁止进程=真",  "断点1名=a",   "断点1时间=1", "断点1音=",
                   "断点2名=b",     "断点2时间=2",  "断点2音=",    "断点3名=c",   "断点3时间=3",
                   "断点3音=",      "断点4名=d",    "断点4时间=4", "断点4音=",    "断点5名=e",
                   "断点5时间=5",   "断点5音=x.wav"},
                  {"[密码]", "密码="}}));
  }
  std::vector<std::string> sections() {
    PlanStore store(env.files);
    return store.load(kItemFile).sectionNames();
  }
};

TEST_F(ListOperationsTest, MoveGuards) {
  putFile("\\time.ini", join({item("一"), item("二")}));
  auto& w = start();
  w.click(kMoveUp);
  w.click(kMoveDown);
  w.clickRow(kSequentialList, 0);
  w.click(kMoveUp);
  w.clickRow(kSequentialList, 1);
  w.click(kMoveDown);
  EXPECT_EQ(env.prompts.takeTexts(),
            (std::vector<std::string>{"请选择要上移的计划", "请选择要下移的计划", "已经到顶",
                                      "已经到底"}));
  putFile("\\win.ini", marks({"一"}));
  auto& marked = start();
  marked.clickRow(kSequentialList, 0);
  marked.click(kMoveUp);
  marked.clickRow(kSequentialList, 1);
  marked.click(kMoveUp);
  EXPECT_EQ(env.prompts.takeTexts(),
            (std::vector<std::string>{"已经到顶", "清除了所有已完成标记后才能进行移动项操作"}));
}

TEST_F(ListOperationsTest, MoveDownOnAnEmptyListIsAtTheBottom) {
  auto& w = start();
  w.click(kMoveDown);
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"已经到底"});
}

TEST_F(ListOperationsTest, MoveKeepsEveryKeyAndLoadsTheMovedItem) {
  threeItems();
  auto& w = start();
  w.clickRow(kSequentialList, 2);
  w.click(kMoveUp);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("一", "三", "二"));
  EXPECT_THAT(sections(), ElementsAre("一", "三", "二", "密码"));
  EXPECT_EQ(w.listSelection(kSequentialList), 1);
  EXPECT_EQ(w.text(kContent), "三");
  EXPECT_TRUE(w.isChecked(kForbidProcesses));
  const std::string text = fileText("\\time.ini");
  EXPECT_NE(text.find("禁止名=g.exe,\r\n禁止进程=真"), std::string::npos);
  EXPECT_NE(text.find("断点5名=e\r\n断点5时间=5\r\n断点5音=x.wav"), std::string::npos);
  w.click(kMoveDown);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("一", "二", "三"));
  EXPECT_FALSE(env.files.exists(env.files.path("\\time1.ini")));
}

TEST_F(ListOperationsTest, DeleteKeepsTheMarksOfTheOtherRows) {
  putFile("\\time.ini", join({item("一"), item("二"), item("三")}));
  putFile("\\win.ini", marks({"一", "二"}));
  auto& w = start();
  w.clickRow(kSequentialList, 1);
  w.click(kDeleteItem);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("已完成--一", "三"));
  EXPECT_EQ(fileText("\\win.ini"), "[一]\r\nwin=已完成--\r\n");
  EXPECT_THAT(sections(), ElementsAre("一", "三", "密码"));
  EXPECT_EQ(w.listSelection(kSequentialList), -1);
  EXPECT_FALSE(env.files.exists(env.files.path("\\win1.ini")));
}

TEST_F(ListOperationsTest, DeletingTheLastRowLeavesOnlyThePassword) {
  putFile("\\time.ini", join({item("一")}));
  putFile("\\win.ini", marks({"一"}));
  auto& w = start();
  w.rightClickRow(kSequentialList, 0);
  ASSERT_EQ(w.takePoppedMenu(), "列表1右键菜单");
  w.chooseMenu(kDeleteFromMenu);
  EXPECT_THAT(w.listRows(kSequentialList), IsEmpty());
  EXPECT_EQ(fileText("\\time.ini"), "[密码]\r\n密码=\r\n");
  EXPECT_FALSE(env.files.exists(env.files.path("\\win.ini")));
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
}

TEST_F(ListOperationsTest, DeleteKeyDeletesTheSelectedRowOnly) {
  putFile("\\time.ini", join({item("一"), item("二")}));
  auto& w = start();
  w.keyDown(kSequentialList, vk::kDelete);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("一", "二"));
  w.clickRow(kSequentialList, 0);
  w.keyDown(kSequentialList, 'A');
  w.keyDown(kSequentialList, vk::kDelete);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("二"));
}

TEST_F(ListOperationsTest, ClearMarksRemovesTheMarkFileAndResetsTheButtons) {
  putFile("\\time.ini", join({item("一"), item("二")}));
  putFile("\\win.ini", marks({"一", "二"}));
  auto& w = start();
  EXPECT_FALSE(w.isEnabled(kRunFromStart));
  w.click(kClearMarks);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("一", "二"));
  EXPECT_FALSE(env.files.exists(env.files.path("\\win.ini")));
  EXPECT_TRUE(w.isEnabled(kRunFromStart));
  EXPECT_FALSE(w.isEnabled(kResumeUnfinished));
}

// A rewrite interrupted after any number of its file operations must leave
// a plan that the next start shows whole: the old one or the new one.
TEST_F(ListOperationsTest, AnInterruptedDeleteLeavesTheOldOrTheNewPlan) {
  putFile("\\time.ini", join({item("一"), item("二"), item("三")}));
  putFile("\\win.ini", marks({"一", "二"}));
  const auto before = env.files.all();
  const std::vector<std::string> oldRows{"已完成--一", "已完成--二", "三"};
  const std::vector<std::string> newRows{"已完成--一", "三"};
  for (int failAt = 0; failAt < 12; ++failAt) {
    for (const auto& [path, bytes] : before) env.files.put(path, bytes);
    for (const char* scratch : {"\\time1.ini", "\\win1.ini"})
      env.files.remove(env.files.path(scratch));
    auto& w = start();
    w.clickRow(kSequentialList, 1);
    env.files.failFrom(failAt);
    w.click(kDeleteItem);
    env.files.failFrom(-1);
    main.reset();
    const auto rows = start().listRows(kSequentialList);
    EXPECT_TRUE(rows == oldRows || rows == newRows) << "failing from operation " << failAt;
    EXPECT_FALSE(env.files.exists(env.files.path("\\time1.ini")));
    EXPECT_FALSE(env.files.exists(env.files.path("\\win1.ini")));
  }
}

TEST_F(ListOperationsTest, AnInterruptedSaveOrMoveLeavesTheOldOrTheNewPlan) {
  threeItems();
  const auto before = env.files.all();
  for (int failAt = 0; failAt < 8; ++failAt) {
    for (const auto& [path, bytes] : before) env.files.put(path, bytes);
    env.files.remove(env.files.path("\\time1.ini"));
    auto& w = start();
    w.clickRow(kSequentialList, 0);
    env.files.failFrom(failAt);
    w.click(kMoveDown);
    env.files.failFrom(-1);
    main.reset();
    const auto rows = start().listRows(kSequentialList);
    EXPECT_TRUE(rows == (std::vector<std::string>{"一", "二", "三"}) ||
                rows == (std::vector<std::string>{"二", "一", "三"}))
        << "failing from operation " << failAt;
  }
}

TEST_F(ListOperationsTest, AScratchItemFileLeftWithoutItemFileIsTakenBack) {
  putFile("\\time1.ini", join({item("一"), item("二")}));
  EXPECT_THAT(start().listRows(kSequentialList), ElementsAre("一", "二"));
  EXPECT_TRUE(env.files.exists(env.files.path("\\time.ini")));
  EXPECT_FALSE(env.files.exists(env.files.path("\\time1.ini")));
}

}  // namespace
}  // namespace temvik::testing
