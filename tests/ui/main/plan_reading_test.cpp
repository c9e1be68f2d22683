// Whatever else a plan file holds (sections without a content, the
// password, an empty start time, a start text that names no time), every
// item is shown, a moved one starts at its second, everything is still
// there after a restart, and a rewrite keeps every section it does not mean
// to change byte for byte, in its place. Proved over generated files for
// both lists, found at start-up or brought in by an import.

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "run/run_window.h"
#include "store/messages.h"
#include "store/plan_store.h"
#include "timed/set_sync_dialog.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/main/item_editor.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using namespace timed_ids;
using headless::HeadlessWindow;
using Texts = std::vector<std::string>;

// One section as the program writes it; an item's row shows its content.
struct Block {
  std::string name, text, content;  // no content: no item
};

// An item as the editor writes it back once loaded, in a section of its own
// name or (written by hand) of another; a timed one leads with its start.
Block block(const std::string& content, const std::string& minutes,
            const std::optional<std::string>& start = {}, std::string name = "") {
  if (name.empty()) name = content;
  ItemRecord r{.content = content, .hours = "0", .minutes = minutes, .seconds = "0"};
  r.media = "真";  // as the editor offers a new item
  r.playSeconds = "10";
  IniDocument doc;
  if (start) doc.set(name, kStartTimeKey, *start);
  if (start) doc.set(name, kStartSoundKey, "");
  writeItem(doc, name, ItemEditor::recordOf(ItemEditor::shownAfterLoad(r)));
  return {name, doc.serialize(), content};
}

Block note(const std::string& name, const std::string& lines) {
  return {name, "[" + name + "]\r\n" + lines, ""};
}

// A plan file the way the test expects it on disk.
struct FileModel {
  std::vector<Block> blocks;
  [[nodiscard]] std::string text() const {
    std::string all;
    for (const auto& b : blocks) all += b.text;
    return all;
  }
  [[nodiscard]] Texts rows() const {
    Texts rows;
    for (const auto& b : blocks)
      if (!b.content.empty()) rows.push_back(b.content);
    return rows;
  }
  // The block of row `row`, taken out when asked.
  Block& at(int row) {
    for (auto& b : blocks)
      if (!b.content.empty() && row-- == 0) return b;
    throw std::out_of_range("row");
  }
  Block take(int row) {
    Block b = at(row);
    std::erase_if(blocks, [&](const Block& x) { return x.name == b.name; });
    return b;
  }
  // A sequential rewrite puts the password last and writes an empty one
  // when there is none; an add only puts it last.
  void passwordLast(bool create) {
    const auto it =
        std::find_if(blocks.begin(), blocks.end(), [](const Block& b) { return b.name == "密码"; });
    if (it != blocks.end())
      std::rotate(it, it + 1, blocks.end());
    else if (create)
      blocks.push_back(note("密码", "密码=\r\n"));
  }
};

// Items in a random order among sections that are no items.
FileModel mixed(std::mt19937& rng, std::vector<Block> items, bool withPassword) {
  FileModel m;
  const std::string k = std::to_string(rng() % 1000);
  const std::vector<Block> others = {note("说明" + k, "作者=某人\r\n"),
                                     note("空" + k, "内容=\r\n时=1\r\n"),
                                     note("备注" + k, "随手写的一行\r\n=没有名字的值\r\n"),
                                     note("", "键=值\r\n"),  // a section named ""
                                     note("密码", withPassword ? "密码=pw\r\n" : "密码=\r\n")};
  for (const auto& b : others)
    if (rng() % 2) m.blocks.push_back(b);
  for (auto& b : items)
    m.blocks.insert(m.blocks.begin() + static_cast<std::ptrdiff_t>(rng() % (m.blocks.size() + 1)),
                    std::move(b));
  return m;
}

class PlanReadingTest : public MainWindowTest {
 protected:
  void expectPlan(HeadlessWindow& w, const FileModel& sequential, const FileModel& timed,
                  const Texts& boxes, const std::string& when) {
    SCOPED_TRACE(when);
    EXPECT_EQ(env.prompts.takeTexts(), boxes);
    EXPECT_EQ(w.listRows(kSequentialList), sequential.rows());
    EXPECT_EQ(w.listRows(kTimedList), timed.rows());
    EXPECT_EQ(fileText("\\time.ini"), sequential.text());
    EXPECT_EQ(fileText("\\out.ini"), timed.text());
  }
  HeadlessWindow* runWindow() {
    auto* w = env.ui.find("执行窗口");
    return w && w->isOpen() ? w : nullptr;
  }
  void setSync(HeadlessWindow& w, int row, const std::string& hour, const std::string& second) {
    w.clickRow(kSequentialList, row);
    w.chooseMenu(kSetSync);
    HeadlessWindow* d = env.ui.find("设置同步窗口");
    ASSERT_TRUE(d && d->isOpen());
    d->type(kStartHours, hour);
    d->type(kStartMinutes, "0");
    d->type(kStartSeconds, second);
    d->click(kSetSyncOk);
  }
  void edit(HeadlessWindow& w, ControlId list, int row, const std::string& content) {
    w.clickRow(list, row);
    w.type(kContent, content);
    w.type(kMinutes, "7");
    w.click(kSaveItem);
  }
};

TEST_F(PlanReadingTest, EveryItemIsShownStartedAndKeptWhateverElseTheFilesHold) {
  std::mt19937 rng(15);
  env.ui.onModal("密码窗口", [](HeadlessWindow& d) {
    d.type(password_ids::kPasswordEntry, "pw");
    d.click(password_ids::kPasswordOk);
  });
  const auto valueIn = [](const Block& b, std::string_view key) {
    return IniDocument::parse(b.text).value(b.name, key);
  };
  int movedBehindOthers = 0, movedFromOtherName = 0;
  for (int shape = 0; shape < 60; ++shape) {
    SCOPED_TRACE("shape " + std::to_string(shape));
    env.files = headless::MemoryFiles{};
    env.clock.setNow({2026, 1, 1, 8, 0, 0});
    // Sequential items, some in sections named otherwise; timed items
    // waiting for tomorrow, one without a start, one whose start is no time.
    std::vector<Block> items, timedItems;
    for (int i = 0, n = 1 + static_cast<int>(rng() % 3); i < n; ++i) {
      const std::string k = std::to_string(i);
      items.push_back(block("甲" + k, std::to_string(i + 1), {}, rng() % 2 ? "" : "节" + k));
      if (rng() % 2) timedItems.push_back(block("乙" + k, "1", "2026-01-02 1" + k + ":00:00"));
    }
    if (rng() % 2) timedItems.push_back(block("丙无", "1", ""));
    if (rng() % 2) timedItems.push_back(block("丙乱", "1", "明天早上"));
    FileModel sequential = mixed(rng, items, shape % 2);
    FileModel timed = mixed(rng, timedItems, false);

    // Found at start-up, or brought in by an import.
    const int arrival = shape % 3;
    const std::string imported = "D:\\导入\\计划.ini";
    env.files.put(arrival == 1 ? imported : env.files.path("\\time.ini"),
                  utf8ToGbk(sequential.text()));
    env.files.put(arrival == 2 ? imported : env.files.path("\\out.ini"), utf8ToGbk(timed.text()));
    HeadlessWindow* w = &start();
    if (arrival > 0) {
      env.prompts.chooseFile(imported);
      w->chooseMenu(arrival == 1 ? kImportSequential : kImportTimed);
    }
    expectPlan(*w, sequential, timed, {}, "as found");

    // Add: never over a section that is no item; behind everything, the
    // password behind it.
    for (const Block& b : sequential.blocks) {
      if (!b.content.empty() || b.name == "密码" || b.name.empty()) continue;
      w->type(kContent, b.name);
      w->click(kAddItem);
      expectPlan(*w, sequential, timed, {std::string(kSectionTaken.text)}, "add " + b.name);
      break;
    }
    w->type(kContent, "新");
    w->type(kHours, "0");
    w->type(kMinutes, "2");
    w->type(kSeconds, "0");
    w->click(kAddItem);
    sequential.blocks.push_back(block("新", "2"));
    sequential.passwordLast(false);
    expectPlan(*w, sequential, timed, {}, "after add");

    // Save, now and then with a new content: the record changes in place.
    int row = static_cast<int>(rng() % sequential.rows().size());
    std::string content = shape % 2 ? "改" + std::to_string(shape) : sequential.rows()[row];
    edit(*w, kSequentialList, row, content);
    sequential.at(row) = block(content, "7");
    sequential.passwordLast(true);
    expectPlan(*w, sequential, timed, {}, "after save");

    // Move to the timed list half a minute ahead: appended behind whatever
    // stands last there.
    movedBehindOthers += timed.blocks.empty() ? 0 : 1;
    row = static_cast<int>(rng() % sequential.rows().size());
    ASSERT_NO_FATAL_FAILURE(setSync(*w, row, "8", "30"));
    const Block taken = sequential.take(row);
    movedFromOtherName += taken.name != taken.content ? 1 : 0;
    const std::string moved = taken.content;
    timed.blocks.push_back(block(moved, valueIn(taken, "分"), "2026-01-01 08:00:30"));
    expectPlan(*w, sequential, timed, {}, "after moving " + moved);

    // A timed save, now and then with a new content, and a cancel sync, of
    // other items than the moved one.
    if (const int others = static_cast<int>(timed.rows().size()) - 1; others > 0) {
      row = static_cast<int>(rng() % others);
      const Block old = timed.at(row);
      content = shape % 4 < 2 ? old.content : "改乙" + std::to_string(shape);
      edit(*w, kTimedList, row, content);
      timed.at(row) = block(content, "7", valueIn(old, kStartTimeKey));
      expectPlan(*w, sequential, timed, {}, "after the timed save");
      row = static_cast<int>(rng() % others);
      w->clickRow(kTimedList, row);
      w->chooseMenu(kCancelSync);
      timed.take(row);
      expectPlan(*w, sequential, timed, {}, "after cancel sync");
    }
    w = &start();
    expectPlan(*w, sequential, timed, {}, "after a restart");

    // The moved item starts at its second, whatever stands before it, and
    // expires once its run is over; nothing else starts or expires.
    env.ui.advance(29'800);
    ASSERT_EQ(runWindow(), nullptr);
    env.ui.advance(200);
    ASSERT_NE(runWindow(), nullptr) << moved << " did not start";
    EXPECT_EQ(runWindow()->text(run_ids::kContentBox), moved);
    runWindow()->close();
    env.ui.advance(1000);
    timed.take(static_cast<int>(timed.rows().size()) - 1);
    expectPlan(*w, sequential, timed, {"您有1同步计划已过期，已经删除！"}, "after the expiry");
    w = &start();
    env.ui.advance(5000);
    expectPlan(*w, sequential, timed, {}, "after another restart");
  }
  EXPECT_GT(movedBehindOthers, 30);
  EXPECT_GT(movedFromOtherName, 5);
}

// Nor do a save or a move take over a section that is no item; and a timed
// file changed behind the list is walked afresh, not written from stale rows.
TEST_F(PlanReadingTest, NoRewriteTakesOverANoteOrTrustsStaleRows) {
  for (int action = 0; action < 4; ++action) {
    SCOPED_TRACE("action " + std::to_string(action));
    env.files = headless::MemoryFiles{};
    env.clock.setNow({2026, 1, 1, 8, 0, 0});
    const FileModel sequential{
        {note("说明", "作者=某人\r\n"), block("甲", "1"), block("备注", "1")}};
    FileModel timed{{note("备注", "随手写的一行\r\n"), block("旧", "1", "2026-01-01 07:00:00")}};
    env.files.put(env.files.path("\\time.ini"), utf8ToGbk(sequential.text()));
    env.files.put(env.files.path("\\out.ini"), utf8ToGbk(timed.text()));
    auto& w = start();
    Texts boxes = {std::string(kSectionTaken.text)};
    if (action == 0) edit(w, kSequentialList, 0, "说明");
    if (action == 1) edit(w, kTimedList, 0, "备注");
    if (action == 2) {
      ASSERT_NO_FATAL_FAILURE(setSync(w, 1, "9", "0"));
      boxes = {"同步计划文件中已有同名的记录，请先修改此项的任务内容。"};
    }
    if (action == 3) {
      // The first tick finds the file changed and shows it; the next one
      // expires the past item and starts the due one.
      timed.blocks.push_back(block("新", "1", "2026-01-01 08:00:01"));
      env.files.put(env.files.path("\\out.ini"), utf8ToGbk(timed.text()));
      env.ui.advance(500);
      expectPlan(w, sequential, timed, {}, "walked afresh");
      env.ui.advance(500);
      ASSERT_NE(runWindow(), nullptr);
      EXPECT_EQ(runWindow()->text(run_ids::kContentBox), "新");
      timed.take(0);
      boxes = {"您有1同步计划已过期，已经删除！"};
    }
    expectPlan(w, sequential, timed, boxes, "refused");
  }
}

}  // namespace
}  // namespace temvik::testing
