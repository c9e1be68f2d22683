// Whatever else a plan file holds (sections without a content, the
// password, an empty start time, a start text that names no time), every
// item is shown, a moved one starts at its second, everything is still
// there after a restart, and a rewrite keeps every section it does not mean
// to change byte for byte, in its place. Proved over generated files for
// both lists, brought in as files found at start-up or by an import.

#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "run/run_window.h"
#include "store/plan_store.h"
#include "timed/set_sync_dialog.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/main/item_editor.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using headless::HeadlessWindow;

// One section of a file as the program writes it: header and lines, CR LF.
struct Block {
  std::string name;
  std::string text;
  bool item = false;
  std::string content;  // what an item's row shows
  std::string minutes;  // an item's "分"
  std::string start;    // a timed item's "同步时间"
};

// A plan file as a list of sections, the way the test expects it on disk.
struct FileModel {
  std::vector<Block> blocks;

  [[nodiscard]] std::string text() const {
    std::string all;
    for (const auto& b : blocks) all += b.text;
    return all;
  }
  [[nodiscard]] std::vector<std::string> rows() const {
    std::vector<std::string> contents;
    for (const auto& b : blocks)
      if (b.item) contents.push_back(b.content);
    return contents;
  }
  [[nodiscard]] std::vector<std::size_t> itemPositions() const {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < blocks.size(); ++i)
      if (blocks[i].item) at.push_back(i);
    return at;
  }
  Block& itemAt(int row) { return blocks[itemPositions()[static_cast<std::size_t>(row)]]; }
  Block takeItem(int row) {
    const std::size_t at = itemPositions()[static_cast<std::size_t>(row)];
    Block b = blocks[at];
    blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  }
  // What a sequential rewrite does to the password section: it goes last,
  // and an empty one is written when there is none.
  void passwordLast(bool create) {
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      if (blocks[i].name != "密码") continue;
      Block b = blocks[i];
      blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(i));
      blocks.push_back(b);
      return;
    }
    if (create) blocks.push_back({"密码", "[密码]\r\n密码=\r\n"});
  }
};

// A record as the editor writes it back once it has loaded it.
ItemRecord editorRecord(const std::string& content, const std::string& minutes) {
  ItemRecord r;
  r.content = content;
  r.hours = "0";
  r.minutes = minutes;
  r.seconds = "0";
  r.playSeconds = "10";
  r.media = "真";  // as the editor offers a new item
  return ItemEditor::recordOf(ItemEditor::shownAfterLoad(r));
}

// An item in a section of its own name, or (written by hand) of another.
Block sequentialItem(const std::string& content, const std::string& minutes,
                     const std::string& section = "") {
  const std::string name = section.empty() ? content : section;
  IniDocument doc;
  writeItem(doc, name, editorRecord(content, minutes));
  return {name, doc.serialize(), true, content, minutes, ""};
}

Block timedItem(const std::string& content, const std::string& start, const std::string& minutes) {
  IniDocument doc;
  doc.set(content, kStartTimeKey, start);
  doc.set(content, kStartSoundKey, "");
  writeItem(doc, content, editorRecord(content, minutes));
  return {content, doc.serialize(), true, content, minutes, start};
}

Block otherSection(const std::string& name, const std::vector<std::string>& lines) {
  std::string text = "[" + name + "]\r\n";
  for (const auto& l : lines) text += l + "\r\n";
  return {name, text};
}

// Sections that are no items, each named apart from everything else.
Block noItem(std::mt19937& rng, int n, bool passwordTaken) {
  const std::string k = std::to_string(n);
  switch (std::uniform_int_distribution<int>(0, passwordTaken ? 2 : 3)(rng)) {
    case 0:
      return otherSection("说明" + k, {"作者=某人" + k});
    case 1:
      return otherSection("空" + k, {"内容=", "时=1", "分=2"});
    case 2:
      return otherSection("备注" + k, {"随手写的一行" + k, "=没有名字的值"});
    default:
      return otherSection("密码", {"密码=" + std::string(n % 2 ? "pw" : "")});
  }
}

// Items and other sections in a random order.
FileModel shuffled(std::mt19937& rng, std::vector<Block> items, int others, int& counter) {
  FileModel m;
  bool password = false;
  for (int i = 0; i < others; ++i) {
    Block b = noItem(rng, ++counter, password);
    password = password || b.name == "密码";
    m.blocks.push_back(b);
  }
  for (auto& item : items) {
    const auto at = std::uniform_int_distribution<std::size_t>(0, m.blocks.size())(rng);
    m.blocks.insert(m.blocks.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
  }
  return m;
}

// Where two texts part, with a little of each around it.
std::string firstDifference(const std::string& actual, const std::string& expected) {
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  if (at == actual.size() && at == expected.size()) return "";
  const std::size_t from = at < 40 ? 0 : at - 40;
  return "at byte " + std::to_string(at) + ":\n  actual:   ..." + actual.substr(from, 120) +
         "\n  expected: ..." + expected.substr(from, 120);
}

class PlanReadingTest : public MainWindowTest {
 protected:
  void expectPlan(HeadlessWindow& w, const FileModel& sequential, const FileModel& timed,
                  const std::string& when) {
    SCOPED_TRACE(when);
    EXPECT_EQ(w.listRows(kSequentialList), sequential.rows());
    EXPECT_EQ(w.listRows(kTimedList), timed.rows());
    EXPECT_EQ(firstDifference(fileText("\\time.ini"), sequential.text()), "") << "time.ini";
    EXPECT_EQ(firstDifference(fileText("\\out.ini"), timed.text()), "") << "out.ini";
    EXPECT_TRUE(env.prompts.shown().empty()) << env.prompts.shown().front().text;
    env.prompts.clear();
  }
  HeadlessWindow* runWindow() {
    auto* w = env.ui.find("执行窗口");
    return w && w->isOpen() ? w : nullptr;
  }
};

TEST_F(PlanReadingTest, EveryItemIsShownStartedAndKeptWhateverElseTheFilesHold) {
  using namespace timed_ids;
  std::mt19937 rng(15);
  env.ui.onModal("密码窗口", [](HeadlessWindow& dialog) {
    dialog.type(password_ids::kPasswordEntry, "pw");
    dialog.click(password_ids::kPasswordOk);
  });
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  // Shapes the generator must make often enough: an item behind a section
  // that is no item in either file, an item moved behind timed items that
  // never start, an item moved out of a section named otherwise.
  int behindSequential = 0;
  int behindTimed = 0;
  int behindNoStart = 0;
  int otherNames = 0;
  for (int shape = 0; shape < 60; ++shape) {
    SCOPED_TRACE("shape " + std::to_string(shape));
    env.files = headless::MemoryFiles{};
    env.prompts.clear();
    env.clock.setNow({2026, 1, 1, 8, 0, 0});
    int counter = 0;
    std::vector<Block> sequentialItems;
    for (int i = 0, n = 1 + pick(3); i < n; ++i)
      sequentialItems.push_back(sequentialItem("甲" + std::to_string(i), std::to_string(1 + i),
                                               pick(2) ? "" : "节" + std::to_string(i)));
    // Waiting timed items tomorrow, and items that never start: no start
    // time at all, and a start text that names no time.
    std::vector<Block> timedItems;
    for (int i = 0, n = pick(3); i < n; ++i)
      timedItems.push_back(
          timedItem("乙" + std::to_string(i), "2026-01-02 1" + std::to_string(i) + ":00:00", "1"));
    if (pick(2)) timedItems.push_back(timedItem("丙无", "", "1"));
    if (pick(2)) timedItems.push_back(timedItem("丙乱", "明天早上", "1"));
    FileModel sequential = shuffled(rng, sequentialItems, pick(4), counter);
    FileModel timed = shuffled(rng, timedItems, pick(4), counter);
    const auto itemBehindOther = [](const FileModel& m) {
      return !m.itemPositions().empty() && m.itemPositions().back() + 1 > m.rows().size();
    };
    behindSequential += itemBehindOther(sequential) ? 1 : 0;
    behindTimed += timed.blocks.size() > timed.rows().size() ? 1 : 0;
    behindNoStart +=
        timedItems.size() > 0 && timedItems.back().start.find(':') == std::string::npos;

    // Found at start-up, or brought in by an import.
    const int arrival = shape % 3;
    if (arrival != 1) env.files.put(env.files.path("\\time.ini"), utf8ToGbk(sequential.text()));
    if (arrival != 2) env.files.put(env.files.path("\\out.ini"), utf8ToGbk(timed.text()));
    HeadlessWindow* w = &start();
    if (arrival == 1) {
      env.files.put("D:\\导入\\甲计划.ini", utf8ToGbk(sequential.text()));
      env.prompts.chooseFile(std::string("D:\\导入\\甲计划.ini"));
      w->chooseMenu(kImportSequential);
    } else if (arrival == 2) {
      env.files.put("D:\\导入\\乙计划.ing", utf8ToGbk(timed.text()));
      env.prompts.chooseFile(std::string("D:\\导入\\乙计划.ing"));
      w->chooseMenu(kImportTimed);
    }
    expectPlan(*w, sequential, timed, "as found");

    // Add: a new section behind everything, the password behind it.
    w->type(kContent, "新");
    w->type(kHours, "0");
    w->type(kMinutes, "2");
    w->type(kSeconds, "0");
    w->click(kAddItem);
    sequential.blocks.push_back(sequentialItem("新", "2"));
    sequential.passwordLast(false);
    expectPlan(*w, sequential, timed, "after add");

    // Save, now and then with a new content: the record changes in its place.
    {
      const int row = pick(static_cast<int>(sequential.rows().size()));
      w->clickRow(kSequentialList, row);
      const std::string content = shape % 2 ? "改" + std::to_string(shape) : sequential.rows()[row];
      w->type(kContent, content);
      w->type(kMinutes, "7");
      w->click(kSaveItem);
      sequential.itemAt(row) = sequentialItem(content, "7");
      sequential.passwordLast(true);
      expectPlan(*w, sequential, timed, "after save");
    }

    // Move to the timed list, half a minute ahead: appended to the timed
    // file behind whatever stands last.
    const int source = pick(static_cast<int>(sequential.rows().size()));
    w->clickRow(kSequentialList, source);
    w->chooseMenu(kSetSync);
    HeadlessWindow* dialog = env.ui.find("设置同步窗口");
    ASSERT_TRUE(dialog && dialog->isOpen());
    dialog->type(kStartHours, "8");
    dialog->type(kStartMinutes, "0");
    dialog->type(kStartSeconds, "30");
    dialog->click(kSetSyncOk);
    const Block taken = sequential.takeItem(source);
    const std::string moved = taken.content;
    otherNames += taken.name != taken.content ? 1 : 0;
    timed.blocks.push_back(timedItem(moved, "2026-01-01 08:00:30", taken.minutes));
    expectPlan(*w, sequential, timed, "after the move of " + moved);

    // A timed save (a new content now and then) and a cancel sync, of
    // other items than the moved one.
    const int movedRow = static_cast<int>(timed.rows().size()) - 1;
    if (movedRow > 0) {
      const int row = pick(movedRow);
      const Block old = timed.itemAt(row);
      const std::string content = shape % 4 < 2 ? old.content : "改乙" + std::to_string(shape);
      w->clickRow(kTimedList, row);
      w->type(kContent, content);
      w->type(kMinutes, "9");
      w->click(kSaveItem);
      timed.itemAt(row) = timedItem(content, old.start, "9");
      expectPlan(*w, sequential, timed, "after the timed save");

      const int cancelled = pick(movedRow);
      w->clickRow(kTimedList, cancelled);
      w->chooseMenu(kCancelSync);
      timed.takeItem(cancelled);
      expectPlan(*w, sequential, timed, "after cancel sync");
    }

    w = &start();
    expectPlan(*w, sequential, timed, "after a restart");

    // The moved item starts at its second, whatever stands before it, and
    // expires in the next one; nothing else starts or expires.
    env.ui.advance(29'800);
    ASSERT_EQ(runWindow(), nullptr);
    env.ui.advance(200);
    ASSERT_NE(runWindow(), nullptr) << moved << " did not start";
    EXPECT_EQ(runWindow()->text(run_ids::kContentBox), moved);
    env.ui.advance(1000);
    EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
    timed.takeItem(static_cast<int>(timed.rows().size()) - 1);
    expectPlan(*w, sequential, timed, "after the expiry");
    runWindow()->close();

    w = &start();
    env.ui.advance(5000);
    expectPlan(*w, sequential, timed, "after another restart");
  }
  EXPECT_GT(behindSequential, 20);
  EXPECT_GT(behindTimed, 20);
  EXPECT_GT(behindNoStart, 10);
  EXPECT_GT(otherNames, 5);
}

// A content that names a section of the file that is no item (a note)
// would take that section over: add, save and move refuse it, and nothing
// changes.
TEST_F(PlanReadingTest, NoItemTakesOverASectionThatIsNoItem) {
  using namespace timed_ids;
  const std::string note = "[说明]\r\n作者=某人\r\n";
  const std::string remark = "[备注]\r\n随手写的一行\r\n";
  struct Case {
    const char* name;
    std::function<void(HeadlessWindow&)> act;
    std::string text;
  };
  const std::string taken = std::string(kSectionTakenText);
  const std::vector<Case> cases = {
      {"add",
       [](HeadlessWindow& w) {
         w.type(kContent, "说明");
         w.type(kMinutes, "1");
         w.click(kAddItem);
       },
       taken},
      {"save",
       [](HeadlessWindow& w) {
         w.clickRow(kSequentialList, 0);
         w.type(kContent, "说明");
         w.click(kSaveItem);
       },
       taken},
      {"timed save",
       [](HeadlessWindow& w) {
         w.clickRow(kTimedList, 0);
         w.type(kContent, "备注");
         w.click(kSaveItem);
       },
       taken},
      {"move",
       [this](HeadlessWindow& w) {
         w.clickRow(kSequentialList, 1);
         w.chooseMenu(kSetSync);
         HeadlessWindow* d = env.ui.find("设置同步窗口");
         ASSERT_NE(d, nullptr);
         d->type(kStartHours, "9");
         d->click(kSetSyncOk);
       },
       "同步计划文件中已有同名的记录，请先修改此项的任务内容。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    env.files = headless::MemoryFiles{};
    env.prompts.clear();
    env.clock.setNow({2026, 1, 1, 8, 0, 0});
    env.files.put(env.files.path("\\time.ini"), utf8ToGbk(note + sequentialItem("甲", "1").text +
                                                          sequentialItem("备注", "1").text));
    env.files.put(env.files.path("\\out.ini"),
                  utf8ToGbk(remark + timedItem("丙", "2026-01-02 10:00:00", "1").text));
    auto& w = start();
    const auto before = env.files.all();
    c.act(w);
    EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{c.text});
    EXPECT_EQ(env.files.all(), before);
    EXPECT_EQ(w.listRows(kSequentialList), (std::vector<std::string>{"甲", "备注"}));
    EXPECT_EQ(w.listRows(kTimedList), std::vector<std::string>{"丙"});
  }
}

// A timed file changed behind the list: a cancel removes nothing by rows
// that no longer name its items, and the scheduler walks the file afresh.
TEST_F(PlanReadingTest, ATimedListOutOfStepWithItsFileIsShownAfresh) {
  const std::string before = timedItem("旧", "2026-01-01 07:00:00", "1").text;
  const std::string changed =
      "[说明]\r\n作者=某人\r\n" + before + timedItem("新", "2026-01-01 08:00:01", "1").text;
  for (const bool byTick : {false, true}) {
    SCOPED_TRACE(byTick ? "tick" : "save");
    env.prompts.clear();
    env.files.put(env.files.path("\\out.ini"), utf8ToGbk(before));
    auto& w = start();
    env.files.put(env.files.path("\\out.ini"), utf8ToGbk(changed));
    if (!byTick) {
      w.clickRow(kTimedList, 0);
      w.type(kContent, "旧改");
      w.click(kSaveItem);
      EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{std::string(kListOutOfStepText)});
      EXPECT_EQ(w.listRows(kTimedList), (std::vector<std::string>{"旧", "新"}));
      EXPECT_EQ(fileText("\\out.ini"), changed);
      continue;
    }
    // The first tick finds the file changed and shows it; the next removes
    // the past item and starts the due one, as if the list had shown it.
    env.ui.advance(500);
    EXPECT_TRUE(env.prompts.takeTexts().empty());
    EXPECT_EQ(w.listRows(kTimedList), (std::vector<std::string>{"旧", "新"}));
    env.ui.advance(500);
    EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"您有1同步计划已过期，已经删除！"});
    ASSERT_NE(runWindow(), nullptr);
    EXPECT_EQ(runWindow()->text(run_ids::kContentBox), "新");
    EXPECT_EQ(fileText("\\out.ini"),
              "[说明]\r\n作者=某人\r\n" + timedItem("新", "2026-01-01 08:00:01", "1").text);
  }
}

}  // namespace
}  // namespace temvik::testing
