// 开机自动启动: the check item shows whether the user's log-on entry starts
// this very program; turning it on writes the entry for this program (also
// over one for a file elsewhere), off removes it, and a refused write is told.

#include <gtest/gtest.h>
#include <random>

#include "platform/path_spellings.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;

class AutoStartTest : public MainWindowTest {};

TEST_F(AutoStartTest, TheMarkShowsAnEntryForThisProgramAndATurnRewritesOrRemovesIt) {
  std::mt19937 random(20260109);
  const auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  const std::string folder = env.files.programDirectory();
  const std::string own = "\"" + env.files.programPath() + "\"";
  int checked = 0;
  for (int round = 0; round < 200; ++round) {
    // This program under any spelling, with arguments or without, or
    // another file (the program moved, or another one), or no entry.
    bool startsThis = false;
    std::optional<std::string> entry;
    switch (random() % 4) {
      case 0:
      case 1: {
        startsThis = true;
        const std::string path = spellingOf(random, folder, "temvik.exe");
        const bool bare = path.find(' ') == std::string::npos && chance(30);
        entry = bare ? path : "\"" + path + "\"";
        if (chance(30)) *entry += " /min";
        break;
      }
      case 2:
        entry =
            chance(50) ? "\"D:\\旧的\\temvik.exe\"" : "\"" + folder + "\\temvik2.exe\" temvik.exe";
        break;
      default:
        break;
    }
    env.autoStart.entry = entry;
    env.autoStart.refuses = chance(15);
    env.prompts.clear();
    auto& w = start();
    ASSERT_EQ(w.isMenuChecked(kStartWithWindows), startsThis) << (entry ? *entry : "none");
    checked += startsThis ? 1 : 0;

    w.chooseMenu(kStartWithWindows);
    if (env.autoStart.refuses) {
      EXPECT_EQ(env.prompts.takeTexts(),
                std::vector<std::string>{"无法更改开机自动启动：系统不允许写入注册表。"});
      EXPECT_EQ(env.autoStart.entry, entry);
      EXPECT_EQ(w.isMenuChecked(kStartWithWindows), startsThis);
      continue;
    }
    EXPECT_TRUE(env.prompts.shown().empty());
    EXPECT_EQ(env.autoStart.entry, startsThis ? std::nullopt : std::optional(own));
    EXPECT_EQ(w.isMenuChecked(kStartWithWindows), !startsThis);
    w.chooseMenu(kStartWithWindows);
    EXPECT_EQ(env.autoStart.entry, startsThis ? std::optional(own) : std::nullopt);
    EXPECT_EQ(w.isMenuChecked(kStartWithWindows), startsThis);
  }
  EXPECT_GT(checked, 60);
}

}  // namespace
}  // namespace temvik::testing
