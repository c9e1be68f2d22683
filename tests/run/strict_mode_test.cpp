// Strict mode over generated sequences of what a user can do to a run:
// without the right password nothing ends or shortens it; with the right
// one every action does what it does without strict mode, where nothing
// asks for the password at all.

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless.h"
#include "run/change_time_dialog.h"
#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/run_window.h"
#include "store/gbk.h"
#include "store/password.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_ids.h"

namespace temvik::testing {
namespace {

using namespace run_ids;
using headless::HeadlessWindow;

constexpr std::uint64_t kMinuteMs = 60000;
constexpr std::uint64_t kAutoYesMs = 10000;  // the item-finished dialog goes on by itself
constexpr std::uint64_t kHourMs = 3600000;
const char* const kRunWindows[] = {"执行窗口", "完成提示窗口", "放弃窗口", "更改时间窗口",
                                   "计划完成窗口"};

// The program with an item of a minute and one of an hour, both forbidding
// game.exe, and the password "pw", given at start-up.
struct Session {
  explicit Session(bool strict) {
    const std::string items =
        "[一]\r\n内容=一\r\n分=1\r\n提示音=假\r\n禁止进程=真\r\n禁止名=game.exe,\r\n"
        "[二]\r\n内容=二\r\n时=1\r\n提示音=假\r\n禁止进程=真\r\n禁止名=game.exe,\r\n"
        "[密码]\r\n密码=" +
        *hashPassword(env.crypto, "pw") + "\r\n";
    env.files.put(env.files.path("\\time.ini"), utf8ToGbk(items));
    env.files.put(env.files.path("\\settings.ini"),
                  utf8ToGbk(std::string("[设置]\r\n严格模式=") + (strict ? "真" : "假") + "\r\n"));
    main = std::make_unique<MainWindow>(env.services);
    main->start();
    answerPassword("pw");
  }
  HeadlessWindow* open(std::string_view design) { return env.ui.find(design); }
  HeadlessWindow& mainWindow() { return static_cast<HeadlessWindow&>(main->window()); }
  // Answers an open password dialog; false when none is open.
  bool answerPassword(const std::string& entry, bool closeIt = false) {
    HeadlessWindow* d = open("密码窗口");
    if (!d) return false;
    if (closeIt) {
      d->requestClose();
    } else {
      d->type(password_ids::kPasswordEntry, entry);
      d->pressKey(vk::kReturn);
    }
    env.ui.drainPosts();
    return true;
  }
  // Everything a run shows: its windows, its time, the main window, the marks.
  std::string state() {
    std::string s = mainWindow().isVisible() ? "main " : "hidden ";
    for (const char* name : kRunWindows) s += open(name) ? std::string(name) + " " : "";
    if (HeadlessWindow* run = open("执行窗口"))
      s += run->text(kHoursValue) + ":" + run->text(kMinutesValue) + ":" +
           run->text(kSecondsValue) + (run->isVisible() ? "" : " tray");
    for (const auto& text : env.prompts.takeTexts()) s += " [" + text + "]";
    for (const auto& row : mainWindow().listRows(main_ids::kSequentialList)) s += " " + row;
    return s;
  }
  headless::Headless env;
  std::unique_ptr<MainWindow> main;
};

// What a user may do during a run, each picked by `n`; `answer`, when
// given, answers the close box's question.
void act(Session& s, unsigned n, std::optional<MessageAnswer> answer = {}) {
  if (answer && n % 12 == 3) s.env.prompts.answer(*answer);
  const unsigned k = n / 12;  // how: which key, which button, how long
  HeadlessWindow* run = s.open("执行窗口");
  HeadlessWindow* giveUp = s.open("放弃窗口");
  HeadlessWindow* change = s.open("更改时间窗口");
  HeadlessWindow* finished = s.open("完成提示窗口");
  switch (n % 12) {
    case 0:
      if (run) run->click(kGiveUpLabel);
      break;
    case 1:
      if (run) run->chooseMenu(kGiveUpMenu);
      break;  // the tray menu
    case 2:
      if (run) run->chooseMenu(kChangeRemaining);
      break;
    case 3:
      if (run) run->requestClose();
      break;  // close box, Alt+F4
    case 4:
      if (run) run->pressKey(k % 2 ? vk::kEscape : vk::kReturn);
      break;
    case 5:
      if (giveUp) giveUp->click(k % 3 ? kConfirmGiveUp : kKeepGoing);
      break;
    case 6:
      if (!change) break;
      change->type(kNewSeconds, "3");
      change->click(k % 3 ? kChangeOk : kChangeCancel);
      s.env.ui.advance(3000);
      break;
    case 7:
      if (finished) finished->click(kGiveUpButton);
      break;
    case 8:
      if (finished) finished->requestClose();
      if (HeadlessWindow* complete = s.open("计划完成窗口")) complete->click(kBackToMain);
      break;
    case 9:
      if (run) run->click(kToTrayLabel), run->trayDoubleClick();
      break;
    case 10:
      s.env.ui.advance(1000 * (k % 40));
      break;
    default:
      s.mainWindow().click(main_ids::kRunFromStart);
      break;
  }
}

// Where an untouched run is `t` ms after its start: the minute of 一, ten
// seconds of the item-finished dialog, then the hour of 二 (content and ms
// left; an empty content between the items, 完 after the end).
std::pair<std::string, std::uint64_t> untouchedRun(std::uint64_t t) {
  if (t < kMinuteMs) return {"一", kMinuteMs - t};
  if (t < kMinuteMs + kAutoYesMs) return {"", 0};
  if (t < kMinuteMs + kAutoYesMs + kHourMs) return {"二", kMinuteMs + kAutoYesMs + kHourMs - t};
  return {"完", 0};
}

TEST(StrictMode, WithoutThePasswordNoActionEndsOrShortensTheRun) {
  std::mt19937 random(20260315);
  int asked = 0, between = 0;
  for (int round = 0; round < 12; ++round) {
    Session s(true);
    s.mainWindow().click(main_ids::kRunFromStart);
    const std::uint64_t startMs = s.env.clock.monotonicMs();
    const auto elapsed = [&] { return s.env.clock.monotonicMs() - startMs; };
    for (int step = 0; step < 40; ++step) {
      const unsigned n = random();
      act(s, n);  // every question answered "yes"
      if (n / 12 % 5 == 0) s.mainWindow().chooseMenu(main_ids::kStrictMode);  // hidden, still there
      const char* wrong[] = {"", "PW", "pw ", "p"};
      asked += s.answerPassword(wrong[n / 12 % 4], n / 12 % 5 == 1) ? 1 : 0;
      ASSERT_EQ(s.open("密码窗口"), nullptr);
      const auto [content, left] = untouchedRun(elapsed());
      SCOPED_TRACE("round " + std::to_string(round) + " step " + std::to_string(step) + " action " +
                   std::to_string(n % 12));
      EXPECT_FALSE(s.mainWindow().isVisible());
      if (content.empty()) {
        EXPECT_NE(s.open("完成提示窗口"), nullptr);
        ++between;
        continue;
      }
      HeadlessWindow* run = s.open("执行窗口");
      ASSERT_NE(run, nullptr);
      EXPECT_EQ(run->text(kContentBox), content);
      const std::uint64_t seconds = (left + 999) / 1000;  // the labels show whole seconds left
      EXPECT_EQ(run->text(kMinutesValue) + ":" + run->text(kSecondsValue),
                std::to_string(seconds / 60 % 60) + ":" + std::to_string(seconds % 60));
      if (left > 200) {
        s.env.processes.start("game.exe");
        s.env.ui.advance(200);
        ASSERT_FALSE(s.env.processes.running("game.exe")) << "the watch stopped";
      }
    }
    EXPECT_TRUE(s.mainWindow().isMenuChecked(main_ids::kStrictMode));
    // Not a millisecond early: the run ends when it would have untouched.
    s.env.ui.advance(kMinuteMs + kAutoYesMs + kHourMs - elapsed() - 1);
    EXPECT_NE(s.open("执行窗口"), nullptr);
    s.env.ui.advance(1);
    EXPECT_NE(s.open("计划完成窗口"), nullptr);
  }
  EXPECT_GT(asked, 100) << "the actions did ask";
  EXPECT_GT(between, 5) << "steps between the two items";
}

TEST(StrictMode, WithThePasswordEachActionDoesWhatItDoesWithoutStrictMode) {
  std::mt19937 random(7312026);
  int asked = 0, between = 0;
  for (int round = 0; round < 12; ++round) {
    Session strict(true), plain(false);
    for (Session* s : {&strict, &plain}) s->mainWindow().click(main_ids::kRunFromStart);
    for (int step = 0; step < 40; ++step) {
      const unsigned n = random();
      const MessageAnswer answer = random() % 2 ? MessageAnswer::Yes : MessageAnswer::No;
      act(strict, n, answer);
      asked += strict.answerPassword("pw") ? 1 : 0;
      act(plain, n, answer);
      ASSERT_EQ(plain.open("密码窗口"), nullptr) << "asked without strict mode";
      const std::string state = strict.state();
      ASSERT_EQ(state, plain.state()) << "round " << round << " step " << step;
      between += state.find("完成提示窗口") != std::string::npos ? 1 : 0;
    }
  }
  EXPECT_GT(asked, 60);
  EXPECT_GT(between, 10) << "steps between two items";
}

}  // namespace
}  // namespace temvik::testing
