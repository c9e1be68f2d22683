// 唤醒电脑执行同步计划: the wake is always set for the earliest start of
// the timed list still ahead, or for none, whatever changed the list.

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>

#include "run/plan_complete_window.h"
#include "store/plan_store.h"
#include "timed/set_sync_dialog.h"
#include "timed/timed_schedule.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using namespace timed_ids;

class TimedWakeTest : public MainWindowTest {
 protected:
  // The earliest start after now that "\out.ini" holds.
  std::optional<DateTime> nextStartInFile() {
    std::optional<DateTime> next;
    const DateTime now = env.clock.now();
    for (const TimedSlot& slot : timedSlots(PlanStore(env.files).load(kTimedItemFile)))
      if (slot.start && *slot.start > now && (!next || *slot.start < *next)) next = slot.start;
    return next;
  }
};

TEST_F(TimedWakeTest, SetForTheEarliestStartAheadAfterEveryChange) {
  std::mt19937 random(20260108);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  // A start from a minute to two days ahead, sometimes just past.
  const auto someStart = [&] {
    return addSeconds(env.clock.now(), pick(4) == 0 ? -pick(120) : 60 + pick(2 * 86400));
  };
  putFile("\\settings.ini", {"[设置]", "唤醒执行同步=真"});
  auto& w = start();
  std::map<std::string, int> changed;  // steps whose change moved the wake
  int named = 0;
  const auto endAnyRun = [&] {
    while (env.ui.find("执行窗口")) env.ui.advance(1000);
    if (auto* complete = env.ui.find("计划完成窗口")) complete->click(run_ids::kBackToMain);
  };
  const auto setStartIn = [&](headless::HeadlessWindow& d) {
    const DateTime at = someStart();
    d.pickDate(kCalendar, at);
    d.type(kStartHours, std::to_string(at.hour));
    d.type(kStartMinutes, std::to_string(at.minute));
    d.type(kStartSeconds, std::to_string(at.second));
    d.click(kSetSyncOk);
    if (d.isOpen()) d.requestClose();  // refused: past, or overlapping
  };
  const std::vector<std::pair<std::string, std::function<void()>>> changes = {
      {"new sequential item",
       [&] {
         w.doubleClick(kSequentialList);  // an empty editor
         w.type(kContent, "项" + std::to_string(++named));
         w.type(kSeconds, std::to_string(1 + pick(5)));
         w.type(kPlayTime, "10");
         w.click(kAddItem);
       }},
      {"add",
       [&] {
         const int n = w.listCount(kSequentialList);
         if (n == 0) return;
         w.clickRow(kSequentialList, pick(n));
         w.chooseMenu(kSetSync);
         if (auto* d = env.ui.find("设置同步窗口")) setStartIn(*d);
       }},
      {"edit",
       [&] {
         const int n = w.listCount(kTimedList);
         if (n == 0) return;
         w.clickRow(kTimedList, pick(n));
         w.chooseMenu(kEditTimed);
         if (auto* d = env.ui.find("设置同步窗口")) setStartIn(*d);
       }},
      {"cancel sync",
       [&] {
         const int n = w.listCount(kTimedList);
         if (n == 0) return;
         w.clickRow(kTimedList, pick(n));
         w.chooseMenu(kCancelSync);
       }},
      {"import",
       [&] {
         std::string text;
         for (int i = pick(4); i > 0; --i) {
           const std::string name = "外" + std::to_string(++named);
           text += "[" + name + "]\r\n同步时间=" + dateTimeText(someStart()) + "\r\n内容=" + name +
                   "\r\n时=0\r\n分=0\r\n秒=2\r\n";
         }
         env.files.put("D:\\同步.ini", utf8ToGbk(text));
         env.prompts.chooseFile("D:\\同步.ini");
         w.chooseMenu(kImportTimed);
       }},
      {"delete plan",
       [&] {
         env.prompts.answer(MessageAnswer::Yes);
         w.chooseMenu(kDeletePlan);
       }},
      {"time", [&] { env.ui.advance(500 + static_cast<std::uint64_t>(pick(3 * 3600)) * 1000); }},
      {"start",
       [&] {
         // Into the second of the start the wake is for: its item runs.
         const auto wake = env.power.wake;
         const std::int64_t ahead = wake ? secondsOf(*wake) - secondsOf(env.clock.now()) : 0;
         env.ui.advance(static_cast<std::uint64_t>(ahead) * 1000 + 600);
       }},
      {"setting", [&] { w.chooseMenu(kWakeForTimed); }},
  };
  // How often each change comes: the lists grow more than they shrink.
  const std::vector<int> weights = {4, 4, 2, 1, 2, 1, 2, 2, 1};
  std::discrete_distribution<std::size_t> which(weights.begin(), weights.end());
  for (int step = 0; step < 400; ++step) {
    const auto before = env.power.wake;
    const auto& [name, change] = changes[which(random)];
    change();
    const auto expected = [&] {
      return w.isMenuChecked(kWakeForTimed) ? nextStartInFile() : std::optional<DateTime>();
    };
    ASSERT_EQ(env.power.wake, expected()) << "step " << step << " after " << name;
    if (env.power.wake != before) ++changed[name];
    endAnyRun();  // and the item that ran expires
    env.prompts.clear();
    ASSERT_EQ(env.power.wake, expected()) << "step " << step << " after the run of " << name;
  }
  for (const char* name :
       {"add", "edit", "cancel sync", "import", "delete plan", "time", "start", "setting"})
    EXPECT_GT(changed[name], 0) << name;
}

}  // namespace
}  // namespace temvik::testing
