// The main window from the keyboard: Tab follows the layout, Enter and Esc
// do nothing by themselves.

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using ::testing::ElementsAre;

class MainWindowKeysTest : public MainWindowTest {};

TEST_F(MainWindowKeysTest, TabGoesDownTheLeftColumnThenDownTheEditor) {
  const WindowDesign& design = mainWindowDesign();
  const int editorLeft = design.control(kEditorFrame)->rect.x;
  // Where each tab stop stands: column, then row, then left to right.
  std::vector<std::tuple<int, int, int>> places;
  std::vector<std::string_view> names;
  for (const ControlDesign& c : design.controls) {
    if (!c.tabStop()) continue;
    places.emplace_back(c.rect.x < editorLeft ? 0 : 1, c.rect.y, c.rect.x);
    names.push_back(c.designName);
  }
  for (std::size_t i = 1; i < places.size(); ++i)
    EXPECT_LE(places[i - 1], places[i]) << names[i - 1] << " comes before " << names[i];
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), "超级按钮11");
  EXPECT_EQ(names.back(), "超级按钮1");
}

TEST_F(MainWindowKeysTest, TabPassesOverWhatStartUpDisabled) {
  auto& w = start();
  EXPECT_EQ(w.focusedControl(), 0) << "no control has the focus at first";
  w.pressKey(vk::kTab);
  EXPECT_EQ(w.focusedControl(), kClearMarks);
  w.focus(kRunProgram);
  w.pressKey(vk::kTab);
  EXPECT_EQ(w.focusedControl(), kEndProcesses) << "past the disabled 选择程序";
  w.focus(kUseDefault);
  w.pressKey(vk::kTab);
  EXPECT_EQ(w.focusedControl(), kPlayTime) << "past the disabled media path and 打开";
  w.pressKey(vk::kTab, true);
  EXPECT_EQ(w.focusedControl(), kUseDefault);
}

TEST_F(MainWindowKeysTest, EscAndEnterDoNothing) {
  putFile("\\time.ini", item("背单词"));
  auto& w = start();
  const int writes = env.files.writes;
  const std::size_t windows = env.ui.windows().size();
  w.pressKey(vk::kEscape);
  w.pressKey(vk::kReturn);
  w.clickRow(kSequentialList, 0);
  w.pressKey(vk::kReturn);
  w.pressKey(vk::kEscape);
  w.type(kContent, "练字");
  w.pressKey(vk::kReturn);
  w.pressKey(vk::kEscape);
  EXPECT_TRUE(w.isOpen());
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(env.ui.quitRequested());
  EXPECT_TRUE(env.prompts.shown().empty());
  EXPECT_EQ(env.files.writes, writes);
  EXPECT_EQ(env.ui.windows().size(), windows) << "no window opened";
  EXPECT_EQ(w.text(kContent), "练字");
}

TEST_F(MainWindowKeysTest, EnterOnAFocusedButtonActsAsItsClick) {
  auto& w = start();
  w.type(kContent, "背单词");
  w.type(kHours, "0");
  w.type(kMinutes, "25");
  w.type(kSeconds, "0");
  w.focus(kAddItem);
  w.pressKey(vk::kReturn);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("背单词"));
  w.clickRow(kSequentialList, 0);
  w.pressKey(vk::kDelete);
  EXPECT_TRUE(w.listRows(kSequentialList).empty()) << "the list still hears its Delete key";
}

}  // namespace
}  // namespace temvik::testing
