// 执行期间不让电脑睡眠: the computer is held awake exactly while an item's
// run window or the item-finished dialog is open, whichever way the run
// goes on or ends.

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>

#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/run_window.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using namespace run_ids;
using headless::HeadlessWindow;

class StayAwakeTest : public MainWindowTest {
 protected:
  HeadlessWindow* open(std::string_view design) { return env.ui.find(design); }
  // What the hold must be now.
  bool runShown() { return open("执行窗口") || open("完成提示窗口"); }
};

TEST_F(StayAwakeTest, HeldExactlyWhileAnItemOrTheQuestionBetweenItemsIsUp) {
  std::mt19937 random(20260107);
  const auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  // How often the hold was let go by each way a run ends or pauses.
  std::map<std::string, int> released;
  int held = 0;
  for (int round = 0; round < 60; ++round) {
    for (const char* file : {"\\time.ini", "\\win.ini", "\\out.ini", "\\fin.ini"})
      env.files.remove(env.files.path(file));
    // One to four short items; a few end with a power action, the end of
    // the program or the lock.
    constexpr const char* kEnds[] = {"关机=真", "重启=真", "注销=真", "完成退出=真", "锁定=真"};
    std::vector<std::string> lines;
    const int items = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < items; ++i) {
      const std::string name = "项" + std::to_string(i);
      lines.insert(lines.end(), {"[" + name + "]", "内容=" + name, "时=0", "分=0",
                                 "秒=" + std::to_string(1 + random() % 3), "提示音=假"});
      if (chance(15)) lines.emplace_back(kEnds[random() % 5]);
    }
    putFile("\\time.ini", lines);
    if (chance(40)) {
      // A timed item that takes over whatever runs then.
      const DateTime at = addSeconds(env.clock.now(), 2 + static_cast<int>(random() % 20));
      putFile("\\out.ini", {"[定时]", "同步时间=" + dateTimeText(at), "内容=定时", "时=0", "分=0",
                            "秒=2", "提示音=假"});
    }
    // No notice before a power action: it is carried out at the item's end.
    putFile("\\settings.ini",
            {"[设置]", chance(80) ? "执行时不睡眠=真" : "执行时不睡眠=假", "关机提示秒数=0"});
    auto& w = start();

    for (int step = 0; step < 30 && w.isOpen(); ++step) {
      const bool before = env.power.awake;
      std::string what;
      std::vector<std::pair<std::string, std::function<void()>>> moves;
      moves.emplace_back("time", [&] { env.ui.advance(200 + random() % 2500); });
      if (chance(8)) moves.emplace_back("setting", [&] { w.chooseMenu(kStayAwake); });
      if (auto* r = open("执行窗口"); r && !open("放弃窗口")) {
        moves.emplace_back("give up", [&, r] { r->click(kGiveUpLabel); });
        moves.emplace_back("back to main", [&, r] {
          env.prompts.answer(MessageAnswer::Yes);
          r->requestClose();
        });
      }
      if (auto* g = open("放弃窗口")) {
        moves.emplace_back("give up", [&, g] { g->click(kConfirmGiveUp); });
        moves.emplace_back("keep going", [&, g] { g->click(kKeepGoing); });
      }
      if (auto* f = open("完成提示窗口"); f && !open("放弃窗口")) {
        moves.emplace_back("next", [&, f] { f->click(kYesButton); });
        moves.emplace_back("give up", [&, f] { f->click(kGiveUpButton); });
        moves.emplace_back("back to main", [&, f] { f->requestClose(); });
      }
      if (auto* c = open("计划完成窗口")) {
        moves.emplace_back("plan complete", [&, c] { c->click(kBackToMain); });
        moves.emplace_back("exit", [&, c] { c->click(kExitProgramLabel); });
      }
      if (w.isVisible() && !runShown()) {
        moves.emplace_back("start", [&] { w.click(kRunFromStart); });
        moves.emplace_back("start", [&] { w.click(kResumeUnfinished); });
        moves.emplace_back("start", [&] { w.click(kClearMarks); });
      }
      const auto& [name, move] = moves[random() % moves.size()];
      what = name;
      const int powerBefore = static_cast<int>(env.power.requests.size());
      move();
      if (static_cast<int>(env.power.requests.size()) > powerBefore) what = "power action";
      if (what == "time" && !w.isOpen()) what = "end of the program";
      ASSERT_EQ(env.power.awake, w.isMenuChecked(kStayAwake) && runShown())
          << "round " << round << " step " << step << " after " << what;
      held += env.power.awake ? 1 : 0;
      if (before && !env.power.awake) ++released[what];
    }
    // The program closes at any point: nothing stays held.
    main.reset();
    EXPECT_FALSE(env.power.awake) << "round " << round;
  }
  EXPECT_GT(held, 200);
  for (const char* way :
       {"time", "setting", "give up", "back to main", "power action", "end of the program"})
    EXPECT_GT(released[way], 0) << way;
}

}  // namespace
}  // namespace temvik::testing
