// The prompt-point window: packing, the list operations, the close check
// and OK, which stores the points with the item.

#include "ui/dialogs/prompt_point_editor.h"

#include <array>
#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>

#include "store/text.h"
#include "store/typed_numbers.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using namespace prompt_ids;
using headless::HeadlessWindow;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(PromptPacking, SumsTheFieldsAndTakesThemApartAgain) {
  const std::int64_t v = packPromptValue("", "90", "5", "3");
  EXPECT_EQ(v, 5405003);
  EXPECT_EQ(unpackPromptValue(v), (PromptTime{1, 30, 5, 3}));
  // Fractions are summed first and the total truncated toward zero.
  EXPECT_EQ(packPromptValue("", "", "1.9999", ""), 1999);
  EXPECT_EQ(packPromptValue("", "", "-1.5", "-0.5"), -1500);
  // Full-width digits as an input method types them; no number is 0.
  EXPECT_EQ(packPromptValue("", "１０", "abc", "２"), 600002);
}

TEST(PromptPacking, PlaySecondsMustStayInTheirThreeDigits) {
  EXPECT_EQ(promptFieldsProblem("", "1", "", "999"), std::nullopt);
  EXPECT_TRUE(promptFieldsProblem("", "1", "", "1000").has_value());
  EXPECT_TRUE(promptFieldsProblem("", "1", "", "-1").has_value());
  EXPECT_TRUE(promptFieldsProblem("", "一", "", "3").has_value());
  // The plan file keeps 32 bits.
  EXPECT_EQ(promptFieldsProblem("596", "", "", "999"), std::nullopt);
  EXPECT_TRUE(promptFieldsProblem("597", "", "", "").has_value());
}

class PromptPointTest : public MainWindowTest {
 protected:
  // Starts with one item, loads it and opens the prompt-point window.
  HeadlessWindow& open(std::vector<std::string> lines = item("甲")) {
    putFile("\\time.ini", lines);
    main_ = &start();
    main_->clickRow(kSequentialList, 0);
    main_->click(kPromptPoints);
    HeadlessWindow* w = env.ui.find("设置提示点窗口");
    EXPECT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    return *w;
  }
  static void fill(HeadlessWindow& w, const std::string& name, const std::string& h,
                   const std::string& m, const std::string& s, const std::string& sound,
                   const std::string& play) {
    w.type(kPointName, name);
    w.type(kPointHours, h);
    w.type(kPointMinutes, m);
    w.type(kPointSeconds, s);
    w.type(kPointSound, sound);
    w.type(kPointPlay, play);
  }
  static void addPoint(HeadlessWindow& w, const std::string& name, const std::string& minutes) {
    fill(w, name, "", minutes, "", "C:\\" + name + ".wav", "3");
    w.click(kAddPoint);
  }
  static std::vector<std::string> fields(const HeadlessWindow& w) {
    return {w.text(kPointName),    w.text(kPointHours), w.text(kPointMinutes),
            w.text(kPointSeconds), w.text(kPointSound), w.text(kPointPlay)};
  }
  std::vector<std::string> names(const HeadlessWindow& w) {
    std::vector<std::string> all;
    for (int r = 0; r < w.listCount(kPointList); r += 2) all.push_back(w.listText(kPointList, r));
    return all;
  }

  HeadlessWindow* main_ = nullptr;
};

TEST_F(PromptPointTest, MadeHiddenAtStartAndTranslucent) {
  start();
  HeadlessWindow* w = env.ui.find("设置提示点窗口");
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(w->layeredAlpha(), kLayeredAlpha);
  EXPECT_EQ(w->title(), "设置提示点");
}

TEST_F(PromptPointTest, AnAddedPointLoadsBackAsHoursMinutesSecondsAndPlay) {
  auto& w = open();
  fill(w, "休息", "", "90", "5", "C:\\a.wav", "3");
  w.click(kAddPoint);
  EXPECT_TRUE(env.prompts.shown().empty());
  EXPECT_THAT(w.listRows(kPointList), ElementsAre("休息", "C:\\a.wav"));
  EXPECT_EQ(w.listData(kPointList, 0), 5405003);
  EXPECT_EQ(w.listSelection(kPointList), -1);
  EXPECT_THAT(fields(w), ElementsAre("", "", "", "", "", ""));
  w.clickRow(kPointList, 1);  // the path row selects the same point
  EXPECT_THAT(fields(w), ElementsAre("休息", "1", "30", "5", "C:\\a.wav", "3"));
}

TEST_F(PromptPointTest, AddChecksRunInTheirOrderAndChangeNothing) {
  struct Case {
    std::vector<std::string> f;  // name, h, m, s, sound, play
    const char* text;
    const char* title;
  };
  const std::vector<Case> cases = {
      {{"", "", "0", "", "x.wav", "3"}, "请输入持续时间", "请补充"},
      {{"", "0", "0", "0", "", ""}, "请输入持续时间", "请补充"},
      {{"", "00", "", "", "x.wav", "3"}, "请输入持续时间", "请补充"},  // zero however written
      {{"", "-1", "-1", "", "", ""}, "时是没有负值的", "填的时候要集中注意力"},
      {{"", "1", "-1", "-1", "", ""}, "分是没有负值的", "填的时候要集中注意力"},
      {{"", "1", "1", "-0.5", "", ""}, "秒是没有负值的", "填的时候要集中注意力"},
      {{"", "1", "", "", "", ""}, "请选择一个提示音", "请补充"},
      {{"", "1", "", "", "x.wav", ""}, "请输入提示音播放的持续时间", "请补充"},
      {{"", "1", "", "", "x.wav", " "}, "请输入提示音播放的持续时间", "请补充"},
      {{"", "1", "", "", "x.wav", "  "}, "请输入提示音播放的持续时间", "请补充"},
      {{"", "1", "", "", "x.wav", "1000"}, "持续播放时间只能是0到999秒。", "请修改"},
      {{"", "一", "", "", "x.wav", "3"}, "“时”只能填数字。", "请修改"},
      {{"", "", "", "1", "x.wav", "三"}, "“持续播放时间”只能填数字。", "请修改"},
      {{"", "", "", "1.5", "x.wav", "10"}, "提示时间必须是整秒。", "请修改"},
      {{"", "", "0.01", "", "x.wav", "3"}, "提示时间必须是整秒。", "请修改"},
      {{"", "", "", "1", "x.wav", "1.5"}, "持续播放时间必须是整秒。", "请修改"},
      {{"", "596", "1", "", "x.wav", "3"}, "提示时间不能超过596小时。", "请修改"},
  };
  auto& w = open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    fill(w, c.f[0], c.f[1], c.f[2], c.f[3], c.f[4], c.f[5]);
    w.click(kAddPoint);
    ASSERT_EQ(env.prompts.shown().size(), 1u);
    EXPECT_EQ(env.prompts.shown()[0].text, c.text);
    EXPECT_EQ(env.prompts.shown()[0].title, c.title);
    EXPECT_EQ(env.prompts.shown()[0].icon, MessageIcon::Information);
    env.prompts.clear();
    EXPECT_EQ(w.listCount(kPointList), 0);
    EXPECT_THAT(fields(w), ElementsAre(c.f[0], c.f[1], c.f[2], c.f[3], c.f[4], c.f[5]));
  }
}

TEST_F(PromptPointTest, AddAcceptsTheEdgesOfItsChecks) {
  auto& w = open();
  fill(w, "", "1", "", "", "x.wav", "   ");  // three spaces count as 0
  w.click(kAddPoint);
  EXPECT_TRUE(env.prompts.shown().empty());
  EXPECT_EQ(w.listCount(kPointList), 2);
  EXPECT_EQ(w.listData(kPointList, 0), 3600000);
  EXPECT_EQ(w.listText(kPointList, 0), "");  // a point needs no name
}

TEST_F(PromptPointTest, ASixthPointIsRefused) {
  auto& w = open();
  for (int i = 1; i <= 5; ++i) addPoint(w, "点" + std::to_string(i), std::to_string(i));
  EXPECT_EQ(w.listCount(kPointList), 10);
  addPoint(w, "多", "6");
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].text, "最多只能加5个提示点");
  EXPECT_EQ(env.prompts.shown()[0].title, "已达到最大提示点数");
  EXPECT_EQ(w.listCount(kPointList), 10);
}

TEST_F(PromptPointTest, RemoveTakesBothRowsWhicheverIsSelected) {
  auto& w = open();
  for (const char* n : {"一", "二", "三"}) addPoint(w, n, "1");
  w.clickRow(kPointList, 2);  // name row of 二
  w.click(kRemovePoint);
  EXPECT_THAT(w.listRows(kPointList), ElementsAre("一", "C:\\一.wav", "三", "C:\\三.wav"));
  w.clickRow(kPointList, 3);  // path row of 三
  w.click(kRemovePoint);
  EXPECT_THAT(w.listRows(kPointList), ElementsAre("一", "C:\\一.wav"));
  EXPECT_THAT(main_->listRows(kSequentialList), ElementsAre("甲"));
  w.listSelect(kPointList, -1);
  w.click(kRemovePoint);  // nothing selected: nothing happens
  EXPECT_EQ(w.listCount(kPointList), 2);
  EXPECT_TRUE(env.prompts.shown().empty());
}

TEST_F(PromptPointTest, SaveToListOverwritesTheSelectedPoint) {
  auto& w = open();
  addPoint(w, "一", "1");
  addPoint(w, "二", "2");
  w.clickRow(kPointList, 3);
  fill(w, "改", "1", "", "", "C:\\新.mp3", "7");
  w.click(kSavePoint);
  EXPECT_THAT(w.listRows(kPointList), ElementsAre("一", "C:\\一.wav", "改", "C:\\新.mp3"));
  EXPECT_EQ(w.listData(kPointList, 2), 3600007);
  // Play seconds that would spill into the delay are refused.
  w.type(kPointPlay, "1500");
  w.click(kSavePoint);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].title, "请修改");
  EXPECT_EQ(w.listData(kPointList, 2), 3600007);
}

TEST_F(PromptPointTest, MovesAtTheEndsAndWithoutSelectionAreRefused) {
  auto& w = open();
  addPoint(w, "一", "1");
  addPoint(w, "二", "2");
  w.click(kMoveUpPoint);
  w.click(kMoveDownPoint);
  w.clickRow(kPointList, 1);
  w.click(kMoveUpPoint);
  w.clickRow(kPointList, 2);
  w.click(kMoveDownPoint);
  EXPECT_THAT(env.prompts.takeTexts(),
              ElementsAre("请先选择要上移的提示点项目", "请先选择要下移的提示点项目", "已经到顶",
                          "已经到底"));
  EXPECT_THAT(names(w), ElementsAre("一", "二"));
}

TEST_F(PromptPointTest, AMovedPointSwapsWithItsNeighbourAndTakesTheEditsAlong) {
  auto& w = open();
  for (const char* n : {"一", "二", "三"}) addPoint(w, n, "1");
  w.clickRow(kPointList, 5);
  w.click(kMoveUpPoint);
  EXPECT_THAT(names(w), ElementsAre("一", "三", "二"));
  EXPECT_EQ(w.listSelection(kPointList), 3);
  w.type(kPointName, "三改");
  w.click(kMoveUpPoint);
  EXPECT_THAT(w.listRows(kPointList),
              ElementsAre("三改", "C:\\三.wav", "一", "C:\\一.wav", "二", "C:\\二.wav"));
  EXPECT_EQ(w.listSelection(kPointList), 1);
  w.clickRow(kPointList, 0);
  w.click(kMoveDownPoint);
  EXPECT_THAT(names(w), ElementsAre("一", "三改", "二"));
  EXPECT_TRUE(env.prompts.shown().empty());
}

TEST_F(PromptPointTest, ClosingAsksOnlyForFieldsNoPointHolds) {
  auto& w = open();
  addPoint(w, "一", "1");
  w.clickRow(kPointList, 0);
  w.requestClose();  // the fields are the selected point's
  EXPECT_TRUE(env.prompts.shown().empty());
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(w.isOpen());

  main_->click(kPromptPoints);
  EXPECT_THAT(fields(w), ElementsAre("一", "0", "1", "0", "C:\\一.wav", "3"));
  w.type(kPointPlay, "4");
  env.prompts.answer(MessageAnswer::No);
  w.requestClose();
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].text, "确定不保存修改或增加提示点吗？");
  EXPECT_EQ(env.prompts.shown()[0].title, "请确认");
  EXPECT_EQ(env.prompts.shown()[0].buttons, MessageButtons::YesNo);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.text(kPointPlay), "4");

  // The note beside the play time closes as the close box does.
  env.prompts.answer(MessageAnswer::Yes);
  w.click(kPlayLimitNote);
  EXPECT_EQ(env.prompts.shown().size(), 2u);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.listCount(kPointList), 2);
}

TEST_F(PromptPointTest, OnlyASoundPathTypedStillAsks) {
  auto& w = open();
  w.type(kPointSound, "C:\\a.wav");
  env.prompts.answer(MessageAnswer::No);
  w.pressKey(vk::kEscape);
  EXPECT_THAT(env.prompts.takeTexts(), ElementsAre("确定不保存修改或增加提示点吗？"));
  EXPECT_TRUE(w.isVisible());
}

TEST_F(PromptPointTest, OkStoresThePointsWithTheItem) {
  auto& w = open(join({item("甲"), item("乙")}));
  addPoint(w, "一", "90");
  fill(w, "二", "", "", "30", "C:\\二.mp3", "5");
  w.click(kAddPoint);
  w.click(kPointsOk);
  EXPECT_TRUE(env.prompts.shown().empty());
  EXPECT_FALSE(w.isVisible());
  const std::string file = fileText("\\time.ini");
  EXPECT_THAT(file, HasSubstr("断点1名=一\r\n断点1时间=5400003\r\n断点1音=C:\\一.wav\r\n"
                              "断点2名=二\r\n断点2时间=30005\r\n断点2音=C:\\二.mp3\r\n"));

  // Another item shows its own points; coming back shows the stored ones.
  main_->clickRow(kSequentialList, 1);
  EXPECT_EQ(w.listCount(kPointList), 0);
  main_->clickRow(kSequentialList, 0);
  EXPECT_THAT(names(w), ElementsAre("一", "二"));
  EXPECT_EQ(w.listData(kPointList, 0), 5400003);
}

TEST_F(PromptPointTest, OkAnsweredNoSavesNothing) {
  auto& w = open();
  addPoint(w, "一", "1");
  w.type(kPointSound, "C:\\b.wav");
  env.prompts.answer(MessageAnswer::No);
  w.click(kPointsOk);
  EXPECT_TRUE(w.isVisible());
  EXPECT_THAT(fileText("\\time.ini"), ::testing::Not(HasSubstr("断点1")));
}

TEST_F(PromptPointTest, ABlankEditorEmptiesTheListAndTheFields) {
  auto& w = open();
  addPoint(w, "一", "1");
  w.type(kPointName, "半");
  main_->doubleClick(kSequentialList);
  EXPECT_EQ(w.listCount(kPointList), 0);
  EXPECT_THAT(fields(w), ElementsAre("", "", "", "", "", ""));
}

TEST_F(PromptPointTest, TheSoundDialogFillsThePathEvenAfterACancel) {
  auto& w = open();
  env.prompts.chooseFile("C:\\铃.mid");
  w.click(kChooseSound);
  EXPECT_EQ(env.prompts.lastFilter(), "MP3文件|*.mp3|WAV文件|*.wav|MID文件|*.mid");
  EXPECT_EQ(w.text(kPointSound), "C:\\铃.mid");
  w.type(kPointSound, "");
  env.prompts.chooseFile(std::nullopt);
  w.click(kChooseSound);
  EXPECT_EQ(w.text(kPointSound), "C:\\铃.mid");
}

// Generated fields through "+", "保存到列表" over the second of three
// points, "上移" and "下移" of it: every path refuses the same fields with
// the same message and changes nothing, or stores a point that OK writes
// and that after a restart shows exactly the delay and play time typed.
TEST_F(PromptPointTest, StoredPointsUnpackToWhatTheFieldsShowedOnEveryPath) {
  // Each list begins with values that can be stored; after them, each way a
  // value cannot: fractions of a second (0.6 s and 0.4 s together make one),
  // signs, the 596-hour edge, play seconds beyond three digits.
  const std::array<std::vector<std::string>, 4> values = {{
      {"0", "1", "0.5", "0.0001", "596", "597", "-1"},
      {"0", "1", "90", "0.5", "0.01", "-5", "35760"},
      {"0", "5", "1.5", "0.4", "0.6", "99999999999999999999"},
      {"3", "0", "999", "10", "1000", "1.5", "-1"},
  }};
  const std::array<std::size_t, 4> storable = {3, 4, 2, 4};
  const std::array<double, 4> msPerUnit = {3600000, 60000, 1000, 1};
  // The button and the row the new point ends in.
  const std::array<std::pair<ControlId, int>, 4> paths = {
      {{kAddPoint, 6}, {kSavePoint, 2}, {kMoveUpPoint, 0}, {kMoveDownPoint, 4}}};
  TypedNumbers gen(5);
  for (int i = 0; i < 300; ++i) {
    const bool tame = i % 2 == 0;  // only storable values
    std::array<std::string, 4> texts;
    std::array<double, 4> counts{};  // in milliseconds, the play time in seconds
    for (std::size_t f = 0; f < 4; ++f) {
      const std::size_t n = tame ? storable[f] : values[f].size();
      const std::string plain =
          values[f][static_cast<std::size_t>(gen.below(static_cast<long long>(n)))];
      const bool empty = gen.below(f < 3 ? 4 : tame ? 1000 : 10) == 0;
      counts[f] = empty ? 0 : std::strtod(plain.c_str(), nullptr) * msPerUnit[f];
      texts[f] = empty ? "" : gen.typed(plain);
    }
    const bool spoiled = !tame && gen.below(4) == 0;
    if (spoiled) {
      std::string& t = texts[static_cast<std::size_t>(gen.below(4))];
      t = gen.spoiled(t);
    }
    const std::string sound = !tame && gen.below(10) == 0 ? "" : "C:\\新.wav";
    const double delay = counts[0] + counts[1] + counts[2];
    const bool storableFields = !spoiled && delay > 0 && counts[0] >= 0 && counts[1] >= 0 &&
                                counts[2] >= 0 && !sound.empty() && !texts[3].empty() &&
                                counts[3] >= 0 && counts[3] <= 999 &&
                                counts[3] == std::floor(counts[3]) && delay <= 596.0 * 3600000 &&
                                std::fmod(delay, 1000) == 0;
    SCOPED_TRACE(::testing::Message() << "[" << texts[0] << "] [" << texts[1] << "] [" << texts[2]
                                      << "] play [" << texts[3] << "] sound [" << sound << "]");
    std::optional<std::string> firstRefusal;
    for (const auto& [button, row] : paths) {
      SCOPED_TRACE(button);
      env.files = headless::MemoryFiles{};
      env.prompts.clear();
      auto& w = open();
      for (const char* n : {"一", "二", "三"}) addPoint(w, n, "1");
      if (button != kAddPoint) w.clickRow(kPointList, 2);
      const std::vector<std::string> rowsBefore = w.listRows(kPointList);
      fill(w, "新", texts[0], texts[1], texts[2], sound, texts[3]);
      w.click(button);
      const auto shown = env.prompts.takeTexts();
      if (!storableFields) {
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], firstRefusal.value_or(shown[0])) << "the same message on every path";
        firstRefusal = shown[0];
        EXPECT_EQ(w.listRows(kPointList), rowsBefore);
        w.click(kPointsOk);  // leaves the fields behind, stores the rest
        EXPECT_THAT(fileText("\\time.ini"), ::testing::Not(HasSubstr("名=新")));
        continue;
      }
      ASSERT_TRUE(shown.empty()) << shown[0];
      EXPECT_EQ(w.listData(kPointList, row),
                static_cast<std::int64_t>(delay) + static_cast<std::int64_t>(counts[3]));
      w.click(kPointsOk);
      auto& again = start();
      again.clickRow(kSequentialList, 0);
      again.click(kPromptPoints);
      HeadlessWindow& points = *env.ui.find("设置提示点窗口");
      ASSERT_EQ(points.listText(kPointList, row), "新");
      points.clickRow(kPointList, row);
      EXPECT_EQ(integerValue(points.text(kPointHours)) * 3600000 +
                    integerValue(points.text(kPointMinutes)) * 60000 +
                    integerValue(points.text(kPointSeconds)) * 1000,
                static_cast<long long>(delay));
      EXPECT_EQ(points.text(kPointPlay), std::to_string(static_cast<int>(counts[3])));
    }
  }
}

}  // namespace
}  // namespace temvik::testing
