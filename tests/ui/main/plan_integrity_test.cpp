// What add and save accept comes back from the files exactly; what cannot
// come back, or cannot be counted, is refused before anything is written.
// Both rules are proved over generated inputs.

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "run/duration.h"
#include "run/item_finished_dialog.h"
#include "run/run_window.h"
#include "store/plan_store.h"
#include "store/text.h"
#include "store/typed_numbers.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using namespace run_ids;
using headless::HeadlessWindow;

// Pieces that have bitten INI-based plans: quotes, brackets, INI syntax,
// the finished mark and parts of it, blanks of every kind, characters GBK
// lacks, and plain text.
const std::vector<std::string> kPieces = {
    "\"", "'",  "[",  "]",    "=",  ";",      "#",      "已完成--",    "已完成",
    "--", "已", "-",  " ",    "\t", "\u3000", "\u00a0", "\x1a",        "😀",
    "€",  "·",  "甲", "学习", "a",  "Z",      "1",      "密码",        "\\",
    "%s", "\r", "\n", "ǹ",    "…",  "Ⅳ",      "ｂ",     "\xe2\x80\x8b"};

std::string generatedContent(std::mt19937& rng) {
  std::uniform_int_distribution<std::size_t> count(1, 4);
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
  std::string text;
  for (std::size_t n = count(rng); n > 0; --n) text += kPieces[piece(rng)];
  return text;
}

class PlanIntegrityTest : public MainWindowTest {
 protected:
  void twoItems() { putFile("\\time.ini", join({item("甲"), item("乙")})); }
  std::string timeIni() const { return env.files.read(env.files.path("\\time.ini")).value_or(""); }
  // The message boxes of the last action, cleared.
  std::vector<headless::ScriptedPrompts::Shown> boxes() {
    auto shown = env.prompts.shown();
    env.prompts.clear();
    return shown;
  }
};

// Adds the content, restarts, loads and saves it, deletes another item and
// restarts again: the content stays what was typed, in the list and in the
// editor. A refused content leaves the files as they were.
TEST_F(PlanIntegrityTest, EveryAcceptedContentComesBackExactly) {
  std::mt19937 rng(20261209);
  std::vector<std::string> contents;
  for (int i = 0; i < 400; ++i) contents.push_back(generatedContent(rng));
  contents.push_back(std::string(3000, 'x') + "尾");  // a very long one
  contents.push_back("已完成--乙");
  contents.push_back("'丁'");
  int accepted = 0;
  for (const std::string& content : contents) {
    SCOPED_TRACE("content: " + content);
    env.files = headless::MemoryFiles{};
    env.prompts.clear();
    twoItems();
    const std::string before = timeIni();
    {
      auto& w = start();
      w.type(kContent, content);
      w.type(kMinutes, "1");
      w.click(kAddItem);
    }
    if (const auto shown = boxes(); !shown.empty()) {
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_TRUE(shown[0].title == "请修改" || shown[0].title == "重复" || shown[0].title.empty())
          << shown[0].title;
      EXPECT_EQ(shown[0].icon, MessageIcon::Information);
      EXPECT_EQ(timeIni(), before) << "a refused content writes nothing";
      continue;
    }
    ++accepted;
    {
      auto& w = start();
      ASSERT_EQ(w.listRows(kSequentialList), (std::vector<std::string>{"甲", "乙", content}));
      w.clickRow(kSequentialList, 2);
      EXPECT_EQ(w.text(kContent), content);
      w.click(kSaveItem);
      EXPECT_TRUE(boxes().empty());
      w.clickRow(kSequentialList, 0);
      w.click(kDeleteItem);
    }
    auto& w = start();
    ASSERT_EQ(w.listRows(kSequentialList), (std::vector<std::string>{"乙", content}));
    w.clickRow(kSequentialList, 1);
    EXPECT_EQ(w.text(kContent), content);
    EXPECT_EQ(w.text(kMinutes), "1");
  }
  EXPECT_GT(accepted, 50) << "the generator should also make acceptable contents";
}

TEST_F(PlanIntegrityTest, ContentsThatCannotComeBackAreRefusedWithTheirReason) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"已完成--乙", "任务内容不能以“已完成--”开头。"},
      {"'丁'", "任务内容不能用英文单引号括起来。"},
      {"\"丙\"", "任务内容不能用英文双引号括起来。"},
      {"a😀", "任务内容含有无法保存的字符（如表情符号或部分生僻字），请删除或替换这些字符。"},
  };
  for (const auto& [content, message] : cases) {
    env.files = headless::MemoryFiles{};
    auto& w = start();
    w.type(kContent, content);
    w.click(kAddItem);
    const auto shown = boxes();
    ASSERT_EQ(shown.size(), 1u) << content;
    EXPECT_EQ(shown[0].text, message);
    EXPECT_EQ(shown[0].title, "请修改");
    EXPECT_FALSE(env.files.exists(env.files.path("\\time.ini")));
  }
  // Contents that merely hold the mark or quotes inside are fine.
  for (const std::string content : {"读书已完成--", "已完成的作业", "'甲", "甲'", "\"乙"}) {
    env.files = headless::MemoryFiles{};
    auto& w = start();
    w.type(kContent, content);
    w.click(kAddItem);
    EXPECT_TRUE(boxes().empty()) << content;
  }
}

// Typed durations: a text that is not a number, or beyond 10,000 hours, is
// refused by add and by the start checks; whatever is accepted runs for the
// time it says, full-width digits included, and nothing is marked early.
TEST_F(PlanIntegrityTest, TypedDurationsAreCountedAsTypedOrRefused) {
  const std::vector<std::string> pieces = {"２", "５", "0", "1",  "9",  ".", "．", "-",
                                           "－", "+",  " ", "三", "十", "a", "e",  "\u3000"};
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> count(1, 4);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  std::vector<std::string> texts = {
      "２５", "三十", "abc", "99999999999999999999", "10000", "10001", "1e3", "600000", "600001"};
  for (int i = 0; i < 200; ++i) {
    std::string t;
    for (std::size_t n = count(rng); n > 0; --n) t += pieces[piece(rng)];
    texts.push_back(t);
  }
  for (const std::string& typed : texts) {
    SCOPED_TRACE("minutes: " + typed);
    env.files = headless::MemoryFiles{};
    env.prompts.clear();
    auto& w = start();
    w.type(kContent, "任务");
    w.type(kMinutes, typed);
    w.click(kAddItem);
    const bool valid = isTypedNumber(typed);
    const double minutes = numberValue(typed);
    const bool countable = valid && minutes * 60 <= kMaxDurationHours * 3600;
    if (!countable) {
      const auto shown = boxes();
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_EQ(shown[0].title, "请修改");
      EXPECT_FALSE(env.files.exists(env.files.path("\\time.ini")));
      // An item stored by an earlier version with such a text cannot start.
      putFile("\\time.ini", {"[旧]", "内容=旧", "时=0", "分=" + typed, "秒=0"});
      auto& old = start();
      old.click(kRunFromStart);
      EXPECT_EQ(boxes().size(), 1u);
      EXPECT_EQ(env.ui.find("执行窗口"), nullptr);
      EXPECT_FALSE(env.files.exists(env.files.path("\\win.ini")));
      continue;
    }
    EXPECT_TRUE(boxes().empty());
    w.click(kRunFromStart);
    if (minutes <= 0) {  // no time, or a negative one: the start checks say so
      EXPECT_EQ(boxes().size(), 1u);
      EXPECT_EQ(env.ui.find("执行窗口"), nullptr);
      continue;
    }
    HeadlessWindow* run = env.ui.find("执行窗口");
    ASSERT_NE(run, nullptr);
    const Duration d = normalized({0, minutes, 0});
    EXPECT_EQ(integerValue(run->text(kHoursValue)), static_cast<long long>(d.hours));
    EXPECT_FALSE(env.files.exists(env.files.path("\\win.ini"))) << "nothing ends at once";
    run->close();
  }
}

TEST_F(PlanIntegrityTest, PlayTimeIsANumberOfAtMostAnHour) {
  for (const auto& [typed, refused] : std::vector<std::pair<std::string, bool>>{
           {"１０", false}, {"3600", false}, {"3601", true}, {"abc", true}, {"", false}}) {
    env.files = headless::MemoryFiles{};
    env.prompts.clear();
    auto& w = start();
    w.type(kContent, "任务");
    w.type(kSeconds, "5");
    w.type(kPlayTime, typed);
    w.click(kAddItem);
    EXPECT_EQ(!boxes().empty(), refused) << typed;
  }
  // Without an end sound the play time does not matter.
  env.files = headless::MemoryFiles{};
  auto& w = start();
  w.type(kContent, "任务");
  w.type(kSeconds, "5");
  w.type(kPlayTime, "abc");
  w.click(kMedia);
  w.click(kAddItem);
  EXPECT_TRUE(boxes().empty());
}

// Hours, minutes, seconds and a play time typed in any form, or spoiled by
// a pasted control character or a letter: a spoiled text is refused by add
// and save; any other comes back after a restart as the same number and
// runs for the time it says (a total that rounds to 0 ms is refused like an
// empty one), with the play time it says.
TEST_F(PlanIntegrityTest, TheNumberCheckedIsTheNumberStoredReadBackAndRun) {
  // Zeros however written, and totals on either side of half a millisecond.
  const std::array<std::vector<std::string>, 4> values = {{
      {"0", "00", "0.0001"},
      {"0", "0.0", "1", "0.5", "-1"},
      {"0", "2", "0.0004", "0.00049", "0.0006", "1.5"},
      {"3", "12", "3601", "-2", "1.5"},
  }};
  const std::array<double, 4> msPerUnit = {3600000, 60000, 1000, 1};
  const std::array<ControlId, 4> fields = {kHours, kMinutes, kSeconds, kPlayTime};
  const std::array<const char*, 4> notANumber = {"“时”只能填数字。", "“分”只能填数字。",
                                                 "“秒”只能填数字。", "“持续播放时间”只能填数字。"};
  TypedNumbers gen(7);
  for (int i = 0; i < 400; ++i) {
    std::array<std::string, 4> texts;
    std::array<double, 4> counts{};  // in milliseconds, the play time in seconds
    for (std::size_t f = 0; f < 4; ++f) {
      const std::string plain = f < 3 && gen.below(6) == 0 ? "" : gen.pick(values[f]);
      counts[f] = std::strtod(plain.c_str(), nullptr) * msPerUnit[f];
      texts[f] = plain.empty() ? "" : gen.typed(plain);
    }
    const int spoiled = gen.below(3) == 0 ? static_cast<int>(gen.below(4)) : -1;
    if (spoiled >= 0)
      texts[static_cast<std::size_t>(spoiled)] =
          gen.spoiled(texts[static_cast<std::size_t>(spoiled)]);
    const bool saving = i % 2 == 0;  // else added to an empty plan
    SCOPED_TRACE(::testing::Message() << (saving ? "save" : "add") << " [" << texts[0] << "] ["
                                      << texts[1] << "] [" << texts[2] << "] [" << texts[3] << "]");
    env.files = headless::MemoryFiles{};
    if (saving) putFile("\\time.ini", join({item("任务"), {"提示音=真"}, item("尾")}));
    const std::string before = timeIni();
    auto& w = start();
    if (saving) w.clickRow(kSequentialList, 0);
    w.type(kContent, "任务");
    for (std::size_t f = 0; f < 4; ++f) w.type(fields[f], texts[f]);
    w.click(saving ? kSaveItem : kAddItem);
    const auto shown = boxes();
    if (spoiled >= 0 || counts[3] > 3600) {
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_EQ(shown[0].text, spoiled >= 0 ? notANumber[static_cast<std::size_t>(spoiled)]
                                            : "持续播放时间不能超过3600秒。");
      EXPECT_EQ(timeIni(), before);
      continue;
    }
    ASSERT_TRUE(shown.empty()) << shown[0].text;

    auto& again = start();
    again.clickRow(kSequentialList, 0);
    for (std::size_t f = 0; f < 4; ++f) {
      const std::string back = again.text(fields[f]);
      EXPECT_TRUE(isTypedNumber(back)) << back;
      EXPECT_DOUBLE_EQ(numberValue(back) * msPerUnit[f], counts[f]);
    }
    again.click(kRunFromStart);
    const double ms = counts[0] + counts[1] + counts[2];
    if (counts[1] < 0 || ms < 0.5) {
      EXPECT_EQ(boxes().at(0).text, counts[1] < 0 ? "分是没有负值的" : "请输入持续时间");
      EXPECT_EQ(env.ui.find("执行窗口"), nullptr);
      continue;
    }
    const auto total = static_cast<std::uint64_t>(std::llround(ms));
    env.ui.advance(total - 1);
    EXPECT_NE(env.ui.find("执行窗口"), nullptr) << "ended early";
    env.ui.advance(1);
    EXPECT_EQ(env.ui.find("执行窗口"), nullptr) << "did not end at " << total << " ms";
    if (saving) {  // the next item waits for the play time, at least 10 s
      EXPECT_EQ(env.ui.find("完成提示窗口")->text(kCountdownNumber),
                std::to_string(std::max(10LL, static_cast<long long>(counts[3]))));
    }
  }
}

}  // namespace
}  // namespace temvik::testing
