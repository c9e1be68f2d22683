// A disk that refuses a read or a write, at every read and write an action
// makes: the user is told once, with the file and the system's reason,
// nothing is half-written, no scratch copy is left for the next start, and
// the lists show what the files hold.

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "store/plan_store.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using headless::HeadlessWindow;
using Files = std::map<std::string, std::string>;

// What a plan means, whatever its bytes: the rows and every row's item.
struct Plan {
  std::vector<std::string> rows;
  std::vector<ItemRecord> items;
  friend bool operator==(const Plan&, const Plan&) = default;
};

Plan planIn(headless::MemoryFiles& files) {
  PlanStore store(files);
  Plan plan{store.loadList(kItemFile, kMarkFile, kMarkKey), {}};
  const IniDocument doc = store.load(kItemFile);
  for (const auto& row : plan.rows) plan.items.push_back(readItem(doc, sectionOfRow(row)));
  return plan;
}

struct Action {
  const char* name;
  bool marked;  // starts from a plan whose first two rows are finished
  std::function<void(HeadlessWindow&)> act;
};

const std::vector<Action>& actions() {
  static const std::vector<Action> all = {
      {"add", false,
       [](HeadlessWindow& w) {
         w.type(kContent, "新");
         w.type(kMinutes, "1");
         w.click(kAddItem);
       }},
      {"save", false,
       [](HeadlessWindow& w) {
         w.clickRow(kSequentialList, 2);
         w.type(kMinutes, "5");
         w.click(kSaveItem);
       }},
      {"move up", false,
       [](HeadlessWindow& w) {
         w.clickRow(kSequentialList, 2);
         w.click(kMoveUp);
       }},
      {"move down", false,
       [](HeadlessWindow& w) {
         w.clickRow(kSequentialList, 0);
         w.click(kMoveDown);
       }},
      {"delete", false,
       [](HeadlessWindow& w) {
         w.clickRow(kSequentialList, 1);
         w.click(kDeleteItem);
       }},
      {"delete marked", true,
       [](HeadlessWindow& w) {
         w.clickRow(kSequentialList, 1);
         w.click(kDeleteItem);
       }},
      {"clear marks", true, [](HeadlessWindow& w) { w.click(kClearMarks); }},
  };
  return all;
}

class DiskFailureTest : public MainWindowTest {
 protected:
  void prepare(bool marked) {
    env.files = headless::MemoryFiles{};
    putFile("\\time.ini", join({item("一"), item("二"), item("三"), {"[密码]", "密码="}}));
    putFile("\\name.ini", {"[名称]", "名称=学习", "同步=默认同步"});
    if (marked) putFile("\\win.ini", marks({"一", "二"}));
  }
  Plan planOf(const Files& files) {
    headless::MemoryFiles copy;
    for (const auto& [path, bytes] : files) copy.put(path, bytes);
    return planIn(copy);
  }
  std::vector<std::string> rowsOnDisk() {
    return PlanStore(env.files).loadList(kItemFile, kMarkFile, kMarkKey);
  }
  void expectNoScratch() {
    for (const char* scratch : {"\\time1.ini", "\\win1.ini"})
      EXPECT_FALSE(env.files.exists(env.files.path(scratch))) << scratch;
  }

  // Runs the action with the n-th write (or read) failing for one of the
  // reasons a disk gives; checks the rule.
  void runFailing(const Action& action, bool reads, int n, const Files& before,
                  const Files& after) {
    SCOPED_TRACE(std::string(action.name) + (reads ? ", read " : ", write ") + std::to_string(n));
    prepare(action.marked);
    const FileFailure reasons[] = {headless::kAccessDenied, headless::kSharingViolation,
                                   headless::kDiskFull};
    const FileFailure reason = reasons[random() % 3];
    env.files.refusal = reason;
    env.prompts.clear();
    auto& w = start();
    if (reads)
      env.files.failReadOnce(n);
    else
      env.files.failOnce(n);
    action.act(w);
    env.files.failReadOnce(-1'000'000);
    env.files.failOnce(-1'000'000);
    std::vector<headless::ScriptedPrompts::Shown> errors;
    for (const auto& box : env.prompts.shown())
      if (box.title == "文件错误") errors.push_back(box);
    ASSERT_LE(errors.size(), 1u) << "one message, not one per step";
    if (errors.empty()) {
      EXPECT_EQ(env.files.all(), after) << "a failure nobody was told of";
    } else {
      EXPECT_EQ(errors[0].icon, MessageIcon::Error);
      EXPECT_NE(errors[0].text.find("C:\\Temvik\\"), std::string::npos) << "names the file";
      // The refused file, and the system's words without their full stop.
      ASSERT_EQ(env.files.refused.size(), 1u);
      const std::string words = reason.text.substr(0, reason.text.size() - 3);
      EXPECT_NE(errors[0].text.find("：\n" + env.files.refused[0] + "\n\n系统提示：" + words +
                                    "（错误代码 " + std::to_string(reason.code) + "）\n\n"),
                std::string::npos)
          << errors[0].text;
      if (!reads) {
        EXPECT_EQ(env.files.all(), before) << "told of a failure, the plan stays as it was";
      } else {
        // A read may fail before the change or after it (refilling the
        // list): the plan is the old one or the new one, whole.
        const Plan now = planIn(env.files);
        EXPECT_TRUE(now == planOf(before) || now == planOf(after));
      }
    }
    expectNoScratch();
    EXPECT_EQ(w.listRows(kSequentialList), rowsOnDisk()) << "the list shows the file";
    const auto shownBeforeRestart = w.listRows(kSequentialList);
    EXPECT_EQ(start().listRows(kSequentialList), shownBeforeRestart) << "nothing left to apply";
  }

  std::mt19937 random{20240611};
};

TEST_F(DiskFailureTest, EveryFailingWriteIsToldAndChangesNothing) {
  for (const Action& action : actions()) {
    prepare(action.marked);
    const Files before = env.files.all();
    auto& w = start();
    const int ops = env.files.operationCount();
    action.act(w);
    const int count = env.files.operationCount() - ops;
    const Files after = env.files.all();
    ASSERT_NE(after, before) << action.name << " should change the files";
    ASSERT_GT(count, 0);
    for (int n = 0; n < count; ++n) runFailing(action, false, n, before, after);
  }
}

TEST_F(DiskFailureTest, AFileThatCannotBeReadIsNeverTakenForEmpty) {
  for (const Action& action : actions()) {
    prepare(action.marked);
    const Files before = env.files.all();
    auto& w = start();
    const int reads = env.files.readCount();
    action.act(w);
    const int count = env.files.readCount() - reads;
    const Files after = env.files.all();
    for (int n = 0; n < count; ++n) runFailing(action, true, n, before, after);
  }
}

TEST_F(DiskFailureTest, AnUnwritableItemFileKeepsTheListAsTheFileHoldsIt) {
  prepare(false);
  auto& w = start();
  env.files.unwritable.insert(env.files.path("\\time.ini"));
  w.type(kContent, "新");
  w.type(kMinutes, "1");
  w.click(kAddItem);
  EXPECT_EQ(w.listRows(kSequentialList), (std::vector<std::string>{"一", "二", "三"}));
  EXPECT_EQ(w.text(kContent), "新") << "what was typed is not lost";
  w.clickRow(kSequentialList, 0);
  w.click(kDeleteItem);
  EXPECT_EQ(w.listRows(kSequentialList), (std::vector<std::string>{"一", "二", "三"}));
  const auto texts = env.prompts.takeTexts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts.back(),
            "无法写入文件：\nC:\\Temvik\\time.ini\n\n"
            "系统提示：拒绝访问（错误代码 5）\n\n刚才的更改没有保存。");
  expectNoScratch();
}

TEST_F(DiskFailureTest, AnUnreadableItemFileStopsTheStartAndTheRun) {
  prepare(false);
  env.files.unreadable.insert(env.files.path("\\time.ini"));
  auto& w = start();
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].title, "文件错误");
  EXPECT_TRUE(w.listRows(kSequentialList).empty());
  env.prompts.clear();
  w.type(kContent, "新");
  w.type(kMinutes, "1");
  w.click(kAddItem);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_TRUE(env.prompts.shown()[0].text.starts_with("无法读取文件："));
  env.files.unreadable.clear();
  EXPECT_EQ(rowsOnDisk(), (std::vector<std::string>{"一", "二", "三"})) << "not written over";
}

// A list filled while its file could not be read is empty, but the file is
// not: no rewrite built from such a list may replace the file.
TEST_F(DiskFailureTest, AListThatDoesNotShowTheFileNeverRewritesIt) {
  for (const bool withPassword : {false, true}) {
    prepare(false);
    if (withPassword)
      putFile("\\time.ini", join({item("一"), item("二"), item("三"), {"[密码]", "密码=pw"}}));
    env.files.unreadable.insert(env.files.path("\\time.ini"));
    auto& w = start();
    env.files.unreadable.clear();
    env.prompts.clear();
    const Files before = env.files.all();
    w.click(kDeleteItem);  // nothing selected: every row is kept, as the list holds none
    EXPECT_EQ(env.files.all(), before) << "with password " << withPassword;
    EXPECT_THAT(
        env.prompts.takeTexts(),
        ::testing::ElementsAre(
            "计划文件与列表不一致，刚才的操作没有执行。列表已按文件重新显示，请重新操作。"));
    EXPECT_EQ(w.listRows(kSequentialList), (std::vector<std::string>{"一", "二", "三"}));
    // Shown afresh, the list rewrites as it should, password and all.
    if (!withPassword) {
      w.clickRow(kSequentialList, 1);
      w.click(kMoveUp);
      EXPECT_EQ(rowsOnDisk(), (std::vector<std::string>{"二", "一", "三"}));
    }
  }
}

TEST_F(DiskFailureTest, ARewriteKeepsThePasswordTheFileHolds) {
  prepare(false);
  auto& w = start();
  // Another program (or an older copy of this one) set a password meanwhile.
  putFile("\\time.ini", join({item("一"), item("二"), item("三"), {"[密码]", "密码=pw"}}));
  w.clickRow(kSequentialList, 1);
  w.click(kMoveUp);
  EXPECT_EQ(rowsOnDisk(), (std::vector<std::string>{"二", "一", "三"}));
  EXPECT_EQ(PlanStore(env.files).readPassword(), "pw");
}

TEST_F(DiskFailureTest, AFinishedMarkThatCannotBeWrittenIsToldAndTheRunGoesOn) {
  putFile("\\time.ini", join({{"[一]", "内容=一", "时=0", "分=0", "秒=1"}, item("二")}));
  auto& w = start();
  env.files.unwritable.insert(env.files.path("\\win.ini"));
  w.click(kRunFromStart);
  env.ui.advance(1000);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].title, "文件错误");
  EXPECT_NE(env.ui.find("完成提示窗口"), nullptr);
  EXPECT_FALSE(env.files.exists(env.files.path("\\win.ini")));
}

}  // namespace
}  // namespace temvik::testing
