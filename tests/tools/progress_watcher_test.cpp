// The progress-bar watcher from the tools menu: which windows it lists, the
// pick, the magnifier, the 50 ms comparison with its signed colour rule, the
// alert or the end chosen for it, and how the tool ends.

#include "tools/progress_watcher.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <thread>

#include "platform/bmp.h"
#include "run/power_notice.h"
#include "tools/magnifier.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using main_ids::kProgressWatcher;
using namespace window_chooser_ids;
using namespace watch_ids;

constexpr Pixel kWhite = rgb(255, 255, 255);
constexpr Pixel kGreen = rgb(0, 255, 0);

class ProgressWatcherTest : public MainWindowTest {
 protected:
  headless::HeadlessWindow* chooser() const { return env.ui.find("进度条检测"); }
  headless::HeadlessWindow* watch() const { return env.ui.find("检测窗口"); }
  headless::HeadlessWindow& mainWindow() {
    return static_cast<headless::HeadlessWindow&>(main->window());
  }
  // Opens the tool and picks the window `title`.
  headless::HeadlessWindow& pick(const std::string& title) {
    start();
    EXPECT_TRUE(mainWindow().chooseMenu(kProgressWatcher));
    auto* c = chooser();
    EXPECT_NE(c, nullptr);
    const auto rows = c->listRows(kWindowList);
    const auto at = std::find(rows.begin(), rows.end(), title);
    EXPECT_NE(at, rows.end());
    EXPECT_TRUE(c->clickRow(kWindowList, static_cast<int>(at - rows.begin())));
    auto* w = watch();
    EXPECT_NE(w, nullptr);
    return *w;
  }
  void closeWatch() {
    if (auto* w = watch(); w && w->isOpen()) w->requestClose();
  }
  void TearDown() override { closeWatch(); }
};

TEST(WindowList, OnlyVisibleTitledWindowsButNotTheDesktopInTheirOrder) {
  const std::vector<TopLevelWindow> all = {{1, true, "记事本"},   {2, false, "隐藏"},
                                           {3, true, ""},         {4, true, "Program Manager"},
                                           {5, true, "下载 45%"}, {6, true, "program manager"}};
  const auto shown = choosableWindows(all);
  std::vector<std::int64_t> handles;
  for (const auto& w : shown) handles.push_back(w.handle);
  EXPECT_EQ(handles, (std::vector<std::int64_t>{1, 5, 6}));
}

TEST(EndRule, TheSignedColourRefDifferenceMustExceedAThousand) {
  const auto ref = [](Pixel p) { return colorRef(p); };
  EXPECT_TRUE(endReached(ref(kWhite), ref(kGreen))) << "white to green";
  EXPECT_FALSE(endReached(ref(kGreen), ref(kWhite))) << "a colour that went up";
  EXPECT_FALSE(endReached(ref(kWhite), ref(rgb(0, 255, 255)))) << "the red channel alone";
  EXPECT_FALSE(endReached(1000, 0));
  EXPECT_TRUE(endReached(1001, 0));
}

TEST(MagnifierArea, ThePointerIsInTheMiddleOfAFifthOfTheView) {
  const MagnifierArea a = magnifierArea({100, 200}, 176, 160, 5.0f);
  EXPECT_EQ(a.source, (Rect{82, 184, 35, 32}));
  EXPECT_EQ(a.cursorAt, (Point{88, 80}));
  EXPECT_EQ(magnifierArea({0, 0}, 176, 160, 5.0f).source, (Rect{-17, -16, 35, 32}));
}

TEST(Canvas, TheCaptureSitsTopLeftOnWhiteAndNothingLeavesItWhite) {
  Picture shot(2, 2, kGreen);
  const Picture c = canvasPicture(bmpFromPicture(shot));
  EXPECT_EQ(c.width, WatchWindow::kCanvasWidth);
  EXPECT_EQ(c.at(1, 1), kGreen);
  EXPECT_EQ(c.at(2, 0), kWhite);
  EXPECT_EQ(canvasPicture(std::nullopt), Picture(848, 528, kWhite));
  Picture huge(2000, 900, kGreen);
  EXPECT_EQ(canvasPicture(bmpFromPicture(huge)).at(847, 527), kGreen) << "cut to the canvas";
}

TEST_F(ProgressWatcherTest, TheChooserListsTheChoosableWindowsAndRefreshes) {
  env.desktop.addWindow("记事本", true);
  env.desktop.addWindow("隐藏", false);
  env.desktop.addWindow("Program Manager", true);
  start();
  ASSERT_TRUE(mainWindow().chooseMenu(kProgressWatcher));
  auto* c = chooser();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->title(), "进度条检测");
  EXPECT_EQ(c->owner(), &main->window());
  EXPECT_FALSE(c->isModal());
  EXPECT_EQ(c->listRows(kWindowList), std::vector<std::string>{"记事本"});
  EXPECT_EQ(c->text(kMinimizedNote), "若被检测窗口被最小化，则请将其还原后刷新重试");
  env.desktop.addWindow("下载", true);
  ASSERT_TRUE(c->click(kRefresh));
  EXPECT_EQ(c->listRows(kWindowList), (std::vector<std::string>{"记事本", "下载"}));
}

TEST_F(ProgressWatcherTest, PickingShowsOneCaptureAndTheMagnifierUntilThePointIsTaken) {
  const auto handle = env.desktop.addWindow("下载", true, Picture(100, 50, kWhite));
  env.desktop.setScreen(Picture(400, 400, rgb(9, 9, 9)));
  env.desktop.setCursor({200, 200});
  auto& w = pick("下载");
  EXPECT_FALSE(chooser()->isVisible()) << "hidden, not closed";
  EXPECT_TRUE(chooser()->isOpen());
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.bounds(), (Rect{250, 180, 867, 593}));
  EXPECT_EQ(w.title(), "");
  EXPECT_EQ(w.surfacePicture(kCanvas).at(10, 10), kWhite);
  EXPECT_FALSE(w.isShown(kMarker));
  EXPECT_EQ(env.desktop.captures(), 1);
  env.ui.advance(500);
  EXPECT_EQ(env.desktop.captures(), 1) << "no comparison while picking";

  // The worker's views arrive through the UI thread's queue.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (w.surfacePicture(kMagnifierView).empty() && std::chrono::steady_clock::now() < until) {
    env.ui.drainPosts();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const Picture& view = w.surfacePicture(kMagnifierView);
  ASSERT_EQ(view.width, 176);
  EXPECT_EQ(view.at(0, 0), rgb(9, 9, 9));
  EXPECT_EQ(view.at(88, 80), headless::FakeDesktop::kCursorColour);
  EXPECT_EQ(env.desktop.lastMagnifiedSource(), (Rect{182, 184, 35, 32}));

  ASSERT_TRUE(w.pressSurface(kCanvas, {40, 20}));
  EXPECT_FALSE(main->window().hasMinimizeBox());
  EXPECT_FALSE(w.isEnabled(kCanvas));
  EXPECT_FALSE(w.pressSurface(kCanvas, {41, 20})) << "one pick only";
  EXPECT_FALSE(w.isShown(kMagnifierView));
  EXPECT_TRUE(w.isShown(kMarker));
  EXPECT_EQ(w.controlRect(kMarker), (Rect{50, 20 - 12 + 35, 2, 24}));
  const int magnified = env.desktop.magnifications();
  std::this_thread::sleep_for(std::chrono::milliseconds(3 * Magnifier::kCycleMs));
  EXPECT_EQ(env.desktop.magnifications(), magnified) << "the worker has ended";
  EXPECT_EQ(chooser()->timerInterval(kCompareTimer), 50u);
  (void)handle;
}

TEST_F(ProgressWatcherTest, WhiteTurningGreenAlertsARedChangeDoesNot) {
  const auto handle = env.desktop.addWindow("下载", true, Picture(100, 50, kWhite));
  auto& w = pick("下载");
  ASSERT_TRUE(w.pressSurface(kCanvas, {40, 20}));
  env.ui.advance(200);
  EXPECT_EQ(env.desktop.captures(), 1 + 4) << "one capture a tick";
  env.desktop.setLook(handle, Picture(100, 50, rgb(0, 255, 255)));  // red channel only
  env.ui.advance(200);
  EXPECT_TRUE(env.prompts.shown().empty());
  EXPECT_TRUE(w.isOpen());
  Picture bar(100, 50, kWhite);
  bar.set(40, 20, kGreen);
  env.desktop.setLook(handle, bar);
  env.ui.advance(50);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  const auto& box = env.prompts.shown()[0];
  EXPECT_EQ(box.text, "根据您的设置，该进度条已到终点！若有不准确之处，请见谅！");
  EXPECT_EQ(box.title, "到终点");
  EXPECT_TRUE(box.systemModal);
  EXPECT_EQ(box.icon, MessageIcon::None);
  EXPECT_FALSE(w.isOpen());
  EXPECT_EQ(chooser(), nullptr) << "closed";
  EXPECT_TRUE(main->window().hasMinimizeBox());
  const int captures = env.desktop.captures();
  env.ui.advance(500);
  EXPECT_EQ(env.desktop.captures(), captures) << "the timer stopped";
  // Starting again needs the menu item, and then works afresh.
  ASSERT_TRUE(mainWindow().chooseMenu(kProgressWatcher));
  ASSERT_NE(chooser(), nullptr);
  EXPECT_TRUE(chooser()->isVisible());
}

TEST_F(ProgressWatcherTest, AWindowThatGoesAwayLeavesTheCanvasWhiteAndThatCountsToo) {
  const auto handle = env.desktop.addWindow("下载", true, Picture(100, 50, kGreen));
  auto& w = pick("下载");
  ASSERT_TRUE(w.pressSurface(kCanvas, {40, 20}));  // green
  env.desktop.closeWindow(handle);
  env.ui.advance(50);
  EXPECT_TRUE(env.prompts.shown().empty()) << "white is higher than green: no alert";
  EXPECT_EQ(w.surfacePicture(kCanvas).at(40, 20), kWhite);
}

TEST_F(ProgressWatcherTest, ClosingTheWatchWindowEndsTheToolWhilePickingOrWatching) {
  env.desktop.addWindow("下载", true, Picture(100, 50, kWhite));
  auto& w = pick("下载");
  w.requestClose();
  EXPECT_EQ(chooser(), nullptr) << "the hidden chooser goes too";
  EXPECT_TRUE(main->window().hasMinimizeBox());

  ASSERT_TRUE(mainWindow().chooseMenu(kProgressWatcher));
  auto* c = chooser();
  ASSERT_TRUE(c->clickRow(kWindowList, 0));
  auto* again = watch();
  ASSERT_TRUE(again->pressSurface(kCanvas, {1, 1}));
  EXPECT_FALSE(main->window().hasMinimizeBox());
  again->requestClose();
  EXPECT_FALSE(c->isOpen());
  EXPECT_TRUE(main->window().hasMinimizeBox());
  const int captures = env.desktop.captures();
  env.ui.advance(500);
  EXPECT_EQ(env.desktop.captures(), captures);
  EXPECT_TRUE(env.prompts.shown().empty());
}

TEST_F(ProgressWatcherTest, TheMenuBringsARunningToolToTheFrontInsteadOfASecond) {
  env.desktop.addWindow("下载", true);
  auto& w = pick("下载");
  ASSERT_TRUE(mainWindow().chooseMenu(kProgressWatcher));
  EXPECT_EQ(watch(), &w);
  EXPECT_FALSE(chooser()->isVisible());
  int open = 0;
  for (auto* x : env.ui.windows())
    if (x->design().designName == "进度条检测" && x->isOpen()) ++open;
  EXPECT_EQ(open, 1);
}

// Every end the chooser offers is done exactly once when the bar reaches its
// end, and the tool is gone as after the alert: the alert itself; a power
// action through the run's notice (at once with 0 seconds, at the end of the
// countdown, never after 取消); the lock; the chosen program started through
// the shell, or its failure told.
TEST_F(ProgressWatcherTest, EachEndIsDoneOnceWhenTheBarReachesItsEnd) {
  const auto handle = env.desktop.addWindow("下载", true);
  std::vector<std::string> captions;
  for (const auto& c : kWatchEnds) captions.emplace_back(c.caption);
  std::mt19937 random(6202);
  for (int round = 0; round < 3 * static_cast<int>(kWatchEnds.size()); ++round) {
    SCOPED_TRACE(round);
    const int row = round % static_cast<int>(kWatchEnds.size());
    const WatchEnd end = kWatchEnds[row].end;
    const int variant = round / static_cast<int>(kWatchEnds.size());  // 0, 1, 2
    const int seconds = variant == 0 ? 0 : 1 + static_cast<int>(random() % 90);
    const bool cancel = variant == 2;
    const std::string program = "C:\\工具\\备份 " + std::to_string(round) + ".exe";
    putFile("\\settings.ini", {"[设置]", "关机提示秒数=" + std::to_string(seconds)});
    env.desktop.setLook(handle, Picture(100, 50, kWhite));
    start();
    ASSERT_TRUE(mainWindow().chooseMenu(kProgressWatcher));
    auto* c = chooser();
    EXPECT_EQ(c->listRows(kEndList), captions);
    EXPECT_EQ(c->listSelection(kEndList), 0) << "each opening starts with the alert alone";
    if (end == WatchEnd::RunProgram) env.prompts.chooseFile(program);
    ASSERT_TRUE(c->chooseRow(kEndList, row));
    EXPECT_EQ(c->text(kProgramPath), end == WatchEnd::RunProgram ? program : "");
    env.shell.opens = variant != 1;
    env.shell.take();
    env.prompts.clear();
    env.power.requests.clear();
    ASSERT_TRUE(c->clickRow(kWindowList, 0));
    ASSERT_TRUE(watch()->pressSurface(kCanvas, {40, 20}));
    Picture bar(100, 50, kWhite);
    bar.set(40, 20, kGreen);
    env.desktop.setLook(handle, bar);
    env.ui.advance(50);
    EXPECT_EQ(watch(), nullptr);
    EXPECT_EQ(chooser(), nullptr);

    std::vector<std::string> boxes;
    std::vector<std::string> shell;
    std::vector<PowerAction> power;
    bool mainStays = true;
    switch (end) {
      case WatchEnd::Alert:
        boxes = {"根据您的设置，该进度条已到终点！若有不准确之处，请见谅！"};
        break;
      case WatchEnd::ShutDown:
      case WatchEnd::Restart:
      case WatchEnd::LogOff: {
        const PowerAction action = end == WatchEnd::ShutDown  ? PowerAction::ShutDown
                                   : end == WatchEnd::Restart ? PowerAction::Restart
                                                              : PowerAction::LogOff;
        if (seconds > 0) {
          auto* notice = env.ui.find("关机提示窗口");
          ASSERT_NE(notice, nullptr);
          env.ui.advance(seconds * 1000ull - 1);
          EXPECT_TRUE(env.power.requests.empty()) << "not before the countdown ends";
          if (cancel) notice->click(power_notice_ids::kCancelPower);
        }
        if (!cancel) {
          power = {action};
          mainStays = false;
        }
        break;
      }
      case WatchEnd::Lock:
        shell = {"run:Rundll32 USER32.dll ,LockWorkStation"};
        break;
      case WatchEnd::RunProgram:
        shell = {"open:" + program};
        if (variant == 1) boxes = {"无法运行程序：\n" + program};
        break;
    }
    env.ui.advance(3600000);
    EXPECT_EQ(env.prompts.takeTexts(), boxes);
    EXPECT_EQ(env.shell.take(), shell);
    EXPECT_EQ(env.power.requests, power);
    EXPECT_EQ(mainWindow().isOpen(), mainStays);
    EXPECT_EQ(env.ui.find("关机提示窗口"), nullptr);
    main.reset();
  }
}

// 运行程序 asks for the program when none is held, and a cancel there keeps
// the end chosen before; 选择程序… picks one and makes it the end.
TEST_F(ProgressWatcherTest, TheProgramIsChosenBeforeTheWatchAndACancelKeepsTheEndBefore) {
  start();
  ASSERT_TRUE(mainWindow().chooseMenu(kProgressWatcher));
  auto* c = chooser();
  const int run = static_cast<int>(kWatchEnds.size()) - 1;
  ASSERT_TRUE(c->chooseRow(kEndList, 4));  // 锁定
  env.prompts.chooseFile(std::nullopt);
  ASSERT_TRUE(c->chooseRow(kEndList, run));
  EXPECT_EQ(c->listSelection(kEndList), 4);
  EXPECT_EQ(c->text(kProgramPath), "");
  env.prompts.chooseFile("D:\\a.bat");
  c->click(kChooseProgram);
  EXPECT_EQ(c->listSelection(kEndList), run);
  EXPECT_EQ(c->text(kProgramPath), "D:\\a.bat");
  ASSERT_TRUE(c->chooseRow(kEndList, 0));
  ASSERT_TRUE(c->chooseRow(kEndList, run));  // the program held: no second dialog
  EXPECT_EQ(c->text(kProgramPath), "D:\\a.bat");
}

}  // namespace
}  // namespace temvik::testing
