// The item editor of the real program, typed into and clicked from another
// process: adding items, the GBK records they become, moving, deleting,
// keeping them across a restart, refusals and the unsaved-edit question.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e_support.h"
#include "store/gbk.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using Rows = std::vector<std::string>;
using Entries = std::vector<std::pair<std::string, std::string>>;

struct NewItem {
  std::string content, hours, minutes, seconds;
  std::vector<int> tick;  // check boxes clicked before adding
};

const NewItem kReading{"读书", "1", "30", "0", {kLock}};
const NewItem kRunning{"跑步", "0", "45", "10", {}};

// What "读书" with 完成后锁定 ticked is written as: a power action switches the
// media flag off.
const Entries kReadingRecord = {
    {"内容", "读书"}, {"时", "1"},        {"分", "30"},       {"秒", "0"},       {"是否执行", "假"},
    {"执行名", ""},   {"完成退出", "假"}, {"结束进程", "假"}, {"进程", ""},      {"关机", "假"},
    {"重启", "假"},   {"注销", "假"},     {"锁定", "真"},     {"提示音", "假"},  {"默认", "真"},
    {"提示音名", ""}, {"播放", "10"},     {"禁止名", ""},     {"禁止进程", "假"}};
const Entries kRunningRecord = {
    {"内容", "跑步"}, {"时", "0"},        {"分", "45"},       {"秒", "10"},      {"是否执行", "假"},
    {"执行名", ""},   {"完成退出", "假"}, {"结束进程", "假"}, {"进程", ""},      {"关机", "假"},
    {"重启", "假"},   {"注销", "假"},     {"锁定", "假"},     {"提示音", "真"},  {"默认", "真"},
    {"提示音名", ""}, {"播放", "10"},     {"禁止名", ""},     {"禁止进程", "假"}};

class Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.ok()) << folder.error();
    app = std::make_unique<App>(folder);
    ASSERT_TRUE(app->ready()) << app->error();
  }

  void add(const NewItem& item) {
    App& a = *app;
    const size_t before = a.rows(kSequentialList).size();
    a.type(kContent, item.content);
    a.type(kHours, item.hours);
    a.type(kMinutes, item.minutes);
    a.type(kSeconds, item.seconds);
    ASSERT_EQ(a.text(kContent), item.content);
    ASSERT_EQ(a.text(kHours), item.hours);
    ASSERT_EQ(a.text(kMinutes), item.minutes);
    ASSERT_EQ(a.text(kSeconds), item.seconds);
    for (int box : item.tick) {
      ASSERT_TRUE(a.click(box)) << "a box opened: " << describeBox();
      ASSERT_TRUE(a.checked(box));
    }
    ASSERT_TRUE(a.click(kAddItem)) << "a box opened: " << describeBox();
    ASSERT_EQ(a.rows(kSequentialList).size(), before + 1);
    ASSERT_EQ(a.rows(kSequentialList).back(), item.content);
    // The editor is blank again and nothing is selected.
    EXPECT_EQ(a.text(kContent), "");
    EXPECT_EQ(a.text(kHours), "");
    EXPECT_EQ(a.selection(kSequentialList), -1);
    for (int box : item.tick) EXPECT_FALSE(a.checked(box));
  }

  void addBoth() {
    ASSERT_NO_FATAL_FAILURE(add(kReading));
    ASSERT_NO_FATAL_FAILURE(add(kRunning));
    ASSERT_EQ(app->rows(kSequentialList), (Rows{"读书", "跑步"}));
  }

  // Clicks a row with the real mouse and waits until its item is in the editor.
  void selectRow(int row, const std::string& content) {
    ASSERT_TRUE(app->clickRow(kSequentialList, row));
    E2E_EVENTUALLY_EQ(app->selection(kSequentialList), row);
    E2E_EVENTUALLY_EQ(app->text(kContent), content);
  }

  std::string describeBox() const {
    const auto box = app->messageBox();
    return box ? box->title + " / " + box->text : "none";
  }

  [[nodiscard]] std::vector<IniSection> items() const {
    return parseIni(folder.readText("time.ini"));
  }
  [[nodiscard]] std::string itemValue(const std::string& section, const std::string& key) const {
    for (const auto& s : items())
      if (s.name == section) return s.value(key);
    return "<no section>";
  }

  PlanFolder folder;
  std::unique_ptr<App> app;
};

TEST_F(Editor, AddedItemsAreGbkRecordsWithTheirKeysInOrder) {
  ASSERT_NO_FATAL_FAILURE(addBoth());

  const auto bytes = folder.readBytes("time.ini");
  ASSERT_TRUE(bytes.has_value()) << "no time.ini after adding";
  // GBK, not UTF-8: the decoded text encodes back to the same bytes, and the
  // section header is there in its GBK form.
  EXPECT_EQ(utf8ToGbk(gbkToUtf8(*bytes)), *bytes);
  EXPECT_NE(bytes->find(utf8ToGbk("[读书]\r\n内容=读书\r\n")), std::string::npos);
  EXPECT_EQ(bytes->find("读书"), std::string::npos) << "UTF-8 text in time.ini";
  for (size_t i = 0; i < bytes->size(); ++i) {
    if ((*bytes)[i] == '\n') {
      ASSERT_TRUE(i > 0 && (*bytes)[i - 1] == '\r') << "LF without CR at " << i;
    }
  }

  const auto sections = parseIni(gbkToUtf8(*bytes));
  ASSERT_EQ(sectionNames(sections), (Rows{"读书", "跑步"}));
  EXPECT_EQ(sections[0].keys(), itemKeyOrder());
  EXPECT_EQ(sections[1].keys(), itemKeyOrder());
  EXPECT_EQ(sections[0].entries, kReadingRecord);
  EXPECT_EQ(sections[1].entries, kRunningRecord);
  EXPECT_FALSE(folder.exists("win.ini"));
  EXPECT_FALSE(folder.exists("time1.ini"));
}

TEST_F(Editor, MoveUpAndDeleteAreKeptAcrossARestart) {
  ASSERT_NO_FATAL_FAILURE(addBoth());

  ASSERT_NO_FATAL_FAILURE(selectRow(1, "跑步"));
  EXPECT_EQ(app->text(kMinutes), "45");
  ASSERT_TRUE(app->click(kMoveUp)) << "a box opened: " << describeBox();
  EXPECT_EQ(app->rows(kSequentialList), (Rows{"跑步", "读书"}));
  EXPECT_EQ(app->selection(kSequentialList), 0);
  EXPECT_EQ(app->text(kContent), "跑步");
  const auto moved = items();
  EXPECT_EQ(sectionNames(moved), (Rows{"跑步", "读书", "密码"}));
  ASSERT_GE(moved.size(), 2u);
  EXPECT_EQ(moved[0].entries, kRunningRecord);
  EXPECT_EQ(moved[1].entries, kReadingRecord);

  // 跑步 is still selected: delete it.
  ASSERT_TRUE(app->click(kDeleteItem)) << "a box opened: " << describeBox();
  EXPECT_EQ(app->rows(kSequentialList), Rows{"读书"});
  EXPECT_EQ(app->selection(kSequentialList), -1);
  EXPECT_EQ(app->text(kContent), "");
  EXPECT_EQ(sectionNames(items()), (Rows{"读书", "密码"}));

  app->clickAsync(kExit);
  ASSERT_TRUE(app->waitForExit());
  app = std::make_unique<App>(folder);
  ASSERT_TRUE(app->ready()) << app->error();
  EXPECT_EQ(app->rows(kSequentialList), Rows{"读书"});

  // The restarted program loads the item with its options.
  ASSERT_NO_FATAL_FAILURE(selectRow(0, "读书"));
  EXPECT_EQ(app->text(kHours), "1");
  EXPECT_EQ(app->text(kMinutes), "30");
  EXPECT_EQ(app->text(kSeconds), "0");
  EXPECT_TRUE(app->checked(kLock));
  EXPECT_TRUE(app->enabled(kLock));
  EXPECT_FALSE(app->checked(kMedia));
  for (int id : {kShutdown, kRestart, kLogOff, kExitWhenDone, kRunProgram, kEndProcesses, kMedia})
    EXPECT_FALSE(app->enabled(id)) << id;
}

TEST_F(Editor, RefusedAddsExplainThemselvesInABox) {
  app->clickAsync(kAddItem);
  auto box = app->waitForMessageBox();
  ASSERT_TRUE(box.has_value()) << "no box for an empty content";
  EXPECT_EQ(box->text, "请填写任务内容");
  ASSERT_TRUE(box->hasButton(IDOK));
  ASSERT_TRUE(box->press(IDOK));
  ASSERT_TRUE(app->sync());
  EXPECT_EQ(app->rows(kSequentialList), Rows{});
  EXPECT_FALSE(folder.exists("time.ini"));

  ASSERT_NO_FATAL_FAILURE(add(kRunning));
  app->type(kContent, "跑步");
  app->clickAsync(kAddItem);
  box = app->waitForMessageBox();
  ASSERT_TRUE(box.has_value()) << "no box for a second 跑步";
  EXPECT_EQ(box->title, "重复");
  EXPECT_EQ(box->text, "计划列表里已经有此内容的任务了。");
  ASSERT_TRUE(box->press(IDOK));
  ASSERT_TRUE(app->sync());
  EXPECT_EQ(app->rows(kSequentialList), Rows{"跑步"});
  EXPECT_EQ(app->text(kContent), "跑步") << "a refusal keeps the editor";
  EXPECT_EQ(sectionNames(items()), Rows{"跑步"});
}

// Loads 跑步 (the last row), changes its minutes by typing, then presses the
// mouse button on 读书: the question comes up while the button is down. The
// user answers with the keyboard (a posted press of the box's button) and
// then lets the mouse button go.
class UnsavedEdit : public Editor {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Editor::SetUp());
    ASSERT_NO_FATAL_FAILURE(addBoth());
    ASSERT_NO_FATAL_FAILURE(selectRow(1, "跑步"));
    app->type(kMinutes, "50");
    ASSERT_TRUE(app->pointAtRow(kSequentialList, 0));
    App::mouseDown(Button::Left);
    buttonDown = true;
    box = app->waitForMessageBox();
    ASSERT_TRUE(box.has_value()) << "no question before leaving the edited row";
    EXPECT_EQ(box->text, "您正在编辑的项未保存，是否保存？");
    EXPECT_TRUE(box->hasButton(IDYES));
    EXPECT_TRUE(box->hasButton(IDNO));
  }
  void TearDown() override { release(); }

  void answer(int id) {
    ASSERT_TRUE(box->press(id));
    release();
  }
  void release() {
    if (buttonDown) App::mouseUp(Button::Left);
    buttonDown = false;
  }

  // After the answer the pressed row is selected and its item loaded.
  void expectReadingLoaded() {
    E2E_EVENTUALLY_EQ(app->selection(kSequentialList), 0);
    E2E_EVENTUALLY_EQ(app->text(kContent), std::string("读书"));
    EXPECT_EQ(app->text(kHours), "1");
    EXPECT_EQ(app->text(kMinutes), "30");
    EXPECT_TRUE(app->checked(kLock));
    EXPECT_TRUE(app->messageBox() == std::nullopt) << describeBox();
    EXPECT_EQ(app->rows(kSequentialList), (Rows{"读书", "跑步"}));
  }

  std::optional<MessageBoxWindow> box;
  bool buttonDown = false;
};

TEST_F(UnsavedEdit, YesSavesTheEditedItemThenLoadsThePressedRow) {
  ASSERT_NO_FATAL_FAILURE(answer(IDYES));
  ASSERT_NO_FATAL_FAILURE(expectReadingLoaded());
  EXPECT_EQ(itemValue("跑步", "分"), "50");
  EXPECT_EQ(itemValue("读书", "分"), "30");
}

TEST_F(UnsavedEdit, NoDropsTheEditThenLoadsThePressedRow) {
  ASSERT_NO_FATAL_FAILURE(answer(IDNO));
  ASSERT_NO_FATAL_FAILURE(expectReadingLoaded());
  EXPECT_EQ(itemValue("跑步", "分"), "45");

  // The answer cleared the flag: going back asks nothing and shows the stored minutes.
  ASSERT_NO_FATAL_FAILURE(selectRow(1, "跑步"));
  EXPECT_EQ(app->text(kMinutes), "45");
  EXPECT_TRUE(app->messageBox() == std::nullopt) << describeBox();
}

// A user who answers with the mouse lets the button go on the box, so the
// list never sees the release of the press that asked the question: the
// pressed row must still be selected and loaded, not just highlighted.
TEST_F(UnsavedEdit, AnsweringWithTheMouseStillLoadsThePressedRow) {
  ASSERT_TRUE(box->clickButton(IDNO));
  buttonDown = false;
  ASSERT_NO_FATAL_FAILURE(expectReadingLoaded());
}

}  // namespace
}  // namespace temvik::e2e
