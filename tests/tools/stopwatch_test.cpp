// The stopwatch "小型计时器", opened from the tools menu: keys start and stop
// it through the 10 ms key timer, and the counters carry and show as they
// should.

#include "tools/stopwatch.h"

#include <gtest/gtest.h>

#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using main_ids::kStopwatch;
using namespace stopwatch_ids;

constexpr int kAnyKey = 'A';

class StopwatchTest : public MainWindowTest {
 protected:
  headless::HeadlessWindow& open() {
    auto& w = start();
    EXPECT_TRUE(w.chooseMenu(kStopwatch));
    auto* s = env.ui.find("小型计时器");
    EXPECT_NE(s, nullptr);
    return *s;
  }
  static std::string shown(const headless::HeadlessWindow& s) {
    return s.text(kHours) + ":" + s.text(kMinutes) + ":" + s.text(kSeconds);
  }
  // A key, and the key timer's delay after it.
  void key(headless::HeadlessWindow& s, int vk = kAnyKey) {
    EXPECT_TRUE(s.pressKey(vk));
    env.ui.advance(10);
  }
};

TEST(StopwatchFigure, SingleDigitsGetALeadingZeroLargerValuesShowAsTheyAre) {
  EXPECT_EQ(stopwatchFigure(0), "00");
  EXPECT_EQ(stopwatchFigure(9), "09");
  EXPECT_EQ(stopwatchFigure(10), "10");
  EXPECT_EQ(stopwatchFigure(59), "59");
  EXPECT_EQ(stopwatchFigure(100), "100");
  EXPECT_EQ(stopwatchFigure(12345), "12345");
}

TEST_F(StopwatchTest, OpensOwnedByTheMainWindowWithItsTextsAndOnlyOnce) {
  auto& s = open();
  EXPECT_EQ(s.title(), "小型计时器");
  EXPECT_EQ(s.bounds(), (Rect{50, 50, 325, 182}));
  EXPECT_EQ(s.owner(), &main->window());
  EXPECT_TRUE(s.isVisible());
  EXPECT_FALSE(s.isModal());
  EXPECT_EQ(shown(s), "00:00:00");
  EXPECT_EQ(s.text(kFirstColon), ":");
  EXPECT_EQ(s.text(kSecondColon), ":");
  EXPECT_EQ(s.text(kHowTo), "按任意键开始计时，再按任意键结束");
  EXPECT_EQ(s.text(kOneKeyNote), "请不要同时按两个键！");
  EXPECT_EQ(s.timerInterval(kSecondTimer), 0u);
  EXPECT_EQ(s.timerInterval(kKeyTimer), 0u);
  static_cast<headless::HeadlessWindow&>(main->window()).chooseMenu(kStopwatch);
  int open = 0;
  for (auto* w : env.ui.windows())
    if (w->design().designName == "小型计时器" && w->isOpen()) ++open;
  EXPECT_EQ(open, 1);
}

TEST_F(StopwatchTest, AKeyThenAnotherSeventyFiveSecondsLaterStopsAtOneMinuteFifteen) {
  auto& s = open();
  EXPECT_TRUE(s.pressKey(kAnyKey));
  EXPECT_EQ(s.timerInterval(kKeyTimer), 10u);
  EXPECT_EQ(s.timerInterval(kSecondTimer), 0u) << "the toggle waits for the key timer";
  env.ui.advance(10);
  EXPECT_EQ(s.timerInterval(kKeyTimer), 0u);
  EXPECT_EQ(s.timerInterval(kSecondTimer), 1000u);
  env.ui.advance(999);
  EXPECT_EQ(shown(s), "00:00:00") << "the first second is counted a second after the key";
  env.ui.advance(1);
  EXPECT_EQ(shown(s), "00:00:01");
  env.ui.advance(74'000 - 10);
  key(s);
  EXPECT_EQ(shown(s), "00:01:15");
  EXPECT_EQ(s.timerInterval(kSecondTimer), 0u);
  env.ui.advance(60'000);
  EXPECT_EQ(shown(s), "00:01:15") << "stopped: the display keeps the elapsed time";
}

TEST_F(StopwatchTest, MinutesAndHoursCarryAndHoursGrowPastTwoDigits) {
  auto& s = open();
  key(s);
  env.ui.advance(3599'000);
  EXPECT_EQ(shown(s), "00:59:59");
  env.ui.advance(1000);
  EXPECT_EQ(shown(s), "01:00:00");
  env.ui.advance(60'000);
  EXPECT_EQ(shown(s), "01:01:00");
  env.ui.advance((100 * 3600 - 3660) * 1000ull);
  EXPECT_EQ(shown(s), "100:00:00");
}

TEST_F(StopwatchTest, KeysWithinTenMillisecondsToggleOnceFurtherApartTwice) {
  auto& s = open();
  EXPECT_TRUE(s.pressKey(kAnyKey));
  env.ui.advance(5);
  EXPECT_TRUE(s.pressKey('B'));
  env.ui.advance(9);
  EXPECT_EQ(s.timerInterval(kSecondTimer), 0u) << "the second key restarted the delay";
  env.ui.advance(1);
  EXPECT_EQ(s.timerInterval(kSecondTimer), 1000u) << "started once";
  env.ui.advance(100);
  EXPECT_EQ(s.timerInterval(kSecondTimer), 1000u);

  // Apart by more than the delay: stop, then at once start again from zero.
  env.ui.advance(5000);
  EXPECT_EQ(shown(s), "00:00:05");
  key(s);
  EXPECT_EQ(s.timerInterval(kSecondTimer), 0u);
  key(s);
  EXPECT_EQ(s.timerInterval(kSecondTimer), 1000u);
  EXPECT_EQ(shown(s), "00:00:00");
}

TEST_F(StopwatchTest, EveryKeyCountsEvenThoseTheKeyboardRulesUse) {
  auto& s = open();
  for (int vk : {vk::kTab, vk::kReturn, vk::kEscape, vk::kSpace, 0x70 /* F1 */}) {
    SCOPED_TRACE(vk);
    const bool wasRunning = s.timerInterval(kSecondTimer) != 0;
    key(s, vk);
    EXPECT_EQ(s.timerInterval(kSecondTimer) != 0, !wasRunning);
    EXPECT_TRUE(s.isOpen()) << "Esc does not close it";
  }
  // A held key repeats its key-down: each repetition toggles again.
  const bool running = s.timerInterval(kSecondTimer) != 0;
  key(s);
  key(s);
  key(s);
  EXPECT_EQ(s.timerInterval(kSecondTimer) != 0, !running);
}

TEST_F(StopwatchTest, ClosingStopsItsTimersAndTheNextOpenStartsAtZero) {
  auto& s = open();
  key(s);
  env.ui.advance(3000);
  s.requestClose();
  EXPECT_FALSE(s.isOpen());
  env.ui.advance(3000);  // nothing fires on the closed window
  auto& w = static_cast<headless::HeadlessWindow&>(main->window());
  ASSERT_TRUE(w.chooseMenu(kStopwatch));
  auto* again = env.ui.find("小型计时器");
  ASSERT_NE(again, nullptr);
  ASSERT_TRUE(again->isOpen());
  EXPECT_EQ(shown(*again), "00:00:00");
  EXPECT_EQ(again->timerInterval(kSecondTimer), 0u);
}

}  // namespace
}  // namespace temvik::testing
