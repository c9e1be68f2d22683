// The notice before a forced shut down, restart or log-off: it counts the
// set seconds down exactly, carries the action out once at 0 or on
// 立即执行, and 取消 (Enter, Esc, the close box) ends the run instead.

#include "run/power_notice.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "store/password.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace power_notice_ids;
using headless::HeadlessWindow;

class PowerNoticeTest : public MainWindowTest {
 protected:
  // A one-second item with `key` (关机, 重启 or 注销), the notice set to
  // `seconds`; the notice is up when this returns.
  HeadlessWindow& noticeAfterItem(const std::string& key, int seconds,
                                  std::vector<std::string> settings = {}) {
    settings.insert(settings.begin(), {"[设置]", "关机提示秒数=" + std::to_string(seconds)});
    putFile("\\settings.ini", settings);
    putFile("\\win.ini", {});  // a run before left its mark
    putFile("\\time.ini", join({{"[一]", "内容=一", "秒=1", key + "=真", "提示音=假"},
                                item("二"),
                                {"[密码]", "密码=" + *hashPassword(env.crypto, "pw")}}));
    start();
    answer("pw");
    mainWindow().click(main_ids::kRunFromStart);
    env.ui.advance(1000);
    HeadlessWindow* notice = env.ui.find("关机提示窗口");
    EXPECT_NE(notice, nullptr);
    return *notice;
  }
  HeadlessWindow& mainWindow() { return static_cast<HeadlessWindow&>(main->window()); }
  void answer(const std::string& entry) {
    HeadlessWindow* d = env.ui.find("密码窗口");
    ASSERT_NE(d, nullptr);
    d->type(password_ids::kPasswordEntry, entry);
    d->click(password_ids::kPasswordOk);
    env.ui.drainPosts();
  }
  // The run is over as after giving up: the plan is back, marked as far as it ran.
  void expectBackAtThePlan() {
    EXPECT_EQ(env.ui.find("关机提示窗口"), nullptr);
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_EQ(mainWindow().listRows(main_ids::kSequentialList),
              (std::vector<std::string>{"已完成--一", "二"}));
    env.ui.advance(3600000);
    EXPECT_TRUE(env.power.requests.empty());
  }
};

TEST_F(PowerNoticeTest, CountsDownExactlyAndCarriesTheActionOutOnceAtZero) {
  const struct {
    const char* key;
    PowerAction action;
    const char* text;
    const char* title;
  } kinds[] = {{"关机", PowerAction::ShutDown, "电脑将在 {} 秒后关机。", "即将关机"},
               {"重启", PowerAction::Restart, "电脑将在 {} 秒后重启。", "即将重启"},
               {"注销", PowerAction::LogOff, "将在 {} 秒后注销当前用户。", "即将注销"}};
  std::mt19937 random(4062026);
  for (int round = 0; round < 9; ++round) {
    const auto& kind = kinds[round % 3];
    const int seconds = 1 + static_cast<int>(random() % 600);
    env.power.requests.clear();
    HeadlessWindow& notice = noticeAfterItem(kind.key, seconds);
    EXPECT_TRUE(notice.design().topmost);
    EXPECT_EQ(notice.title(), kind.title);
    EXPECT_EQ(notice.focusedControl(), kCancelPower);
    int shown = seconds;
    while (shown > 1) {
      EXPECT_EQ(notice.text(kNoticeText), filledText(kind.text, {std::to_string(shown)}));
      const int wait = 1 + static_cast<int>(random() % shown) / 3;
      env.ui.advance(wait * 1000ull);
      shown -= wait;
    }
    EXPECT_EQ(notice.text(kNoticeText), filledText(kind.text, {"1"}));
    EXPECT_TRUE(env.power.requests.empty());
    env.ui.advance(999);
    EXPECT_TRUE(env.power.requests.empty()) << "not a millisecond early";
    env.ui.advance(1);
    EXPECT_EQ(env.power.requests, std::vector<PowerAction>{kind.action});
    EXPECT_FALSE(mainWindow().isOpen());
    EXPECT_TRUE(env.ui.quitRequested());
    env.ui.advance(60000);
    EXPECT_EQ(env.power.requests.size(), 1u);
    main.reset();
  }
}

TEST_F(PowerNoticeTest, CarryOutNowActsAtOnce) {
  HeadlessWindow& notice = noticeAfterItem("重启", 30);
  notice.click(kCarryOutNow);
  EXPECT_EQ(env.power.requests, std::vector<PowerAction>{PowerAction::Restart});
  EXPECT_FALSE(mainWindow().isOpen());
}

TEST_F(PowerNoticeTest, CancelByButtonEnterEscOrCloseBoxEndsTheRunAsGivingUp) {
  for (int way = 0; way < 4; ++way) {
    HeadlessWindow& notice = noticeAfterItem("关机", 30);
    env.ui.advance(5000);
    if (way == 0) notice.click(kCancelPower);
    if (way == 1) notice.pressKey(vk::kReturn);
    if (way == 2) notice.pressKey(vk::kEscape);
    if (way == 3) notice.requestClose();
    expectBackAtThePlan();
    main.reset();
  }
}

TEST_F(PowerNoticeTest, InStrictModeCancelWaitsForThePasswordWhileTheCountGoesOn) {
  noticeAfterItem("注销", 10, {"严格模式=真"}).requestClose();
  answer("pw");
  expectBackAtThePlan();

  main.reset();
  HeadlessWindow& notice = noticeAfterItem("注销", 10, {"严格模式=真"});
  notice.pressKey(vk::kEscape);
  answer("PW");
  EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{"密码错误，操作已取消。"});
  EXPECT_TRUE(notice.isOpen());
  notice.click(kCancelPower);
  env.ui.advance(9999);  // the question does not stop the count
  EXPECT_TRUE(env.power.requests.empty());
  env.ui.advance(1);
  EXPECT_EQ(env.power.requests, std::vector<PowerAction>{PowerAction::LogOff});
}

}  // namespace
}  // namespace temvik::testing
