// Posting to the UI thread on real message loops: the program's, a modal
// window's and a message box's.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32_services.h"
#include "platform/win32/win32_ui.h"
#include "pump.h"

namespace temvik {
namespace {

using testing::pumpUntil;

constexpr int kResults = 2000;

WindowDesign plainDesign(std::string_view title) {
  return WindowDesign{.designName = "窗口", .title = title, .rect = {120, 120, 300, 200}};
}

struct TimerEvents : WindowEvents {
  std::function<void(TimerId)> timer;
  void onTimer(TimerId id) override {
    if (timer) timer(id);
  }
};

// What the posted functions saw, written on the thread that runs them.
struct Arrivals {
  DWORD uiThread = GetCurrentThreadId();
  std::vector<int> order;
  bool elsewhere = false;
  void note(int i) {
    elsewhere = elsewhere || GetCurrentThreadId() != uiThread;
    order.push_back(i);
  }
  [[nodiscard]] bool complete() const { return order.size() == kResults; }
  [[nodiscard]] bool inOrder() const {
    for (std::size_t i = 0; i < order.size(); ++i)
      if (order[i] != static_cast<int>(i)) return false;
    return complete();
  }
};

TEST(Win32PostTest, WorkerResultsArriveInOrderOnTheUiThread) {
  Win32Ui ui;
  Arrivals got;
  bool ranInline = false;
  bool posted = false;
  ui.post([&] { ranInline = !posted; });
  posted = true;
  // The worker posts while the loop already runs some of its results.
  std::thread worker([&] {
    for (int i = 0; i < kResults; ++i) ui.post([&got, i] { got.note(i); });
  });
  const bool arrived = pumpUntil([&] { return got.complete(); }, 10000);
  worker.join();
  ASSERT_TRUE(arrived) << got.order.size() << " of " << kResults;
  EXPECT_TRUE(got.inOrder());
  EXPECT_FALSE(got.elsewhere);
  EXPECT_FALSE(ranInline);
}

TEST(Win32PostTest, WorkerResultsArriveWhileAModalWindowRunsItsLoop) {
  Win32Ui ui;
  TimerEvents ownerEvents;
  auto owner = ui.createWindow(plainDesign("主窗口"), ownerEvents, nullptr);
  owner->show();
  const HWND ownerHwnd = static_cast<Win32Window&>(*owner).hwnd();
  TimerEvents dialogEvents;
  auto dialog = ui.createWindow(plainDesign("检查更新"), dialogEvents, owner.get());

  Arrivals got;
  int duringModal = 0;
  bool closedByPost = false;
  std::thread worker;
  dialogEvents.timer = [&](TimerId id) {
    if (id == 2) {  // the posts never came: end the loop, the checks fail
      dialog->close();
      return;
    }
    dialog->setTimer(1, 0);  // the modal loop runs: start the worker
    worker = std::thread([&] {
      for (int i = 0; i < kResults; ++i)
        ui.post([&, i] {
          got.note(i);
          if (dialog->isOpen() && !IsWindowEnabled(ownerHwnd)) ++duringModal;
        });
      ui.post([&] {
        closedByPost = true;
        dialog->close();
      });
    });
  };
  dialog->setTimer(1, 10);
  dialog->setTimer(2, 10000);
  ui.runModal(*dialog);
  if (worker.joinable()) worker.join();
  EXPECT_TRUE(closedByPost);
  EXPECT_TRUE(got.inOrder()) << got.order.size() << " of " << kResults;
  EXPECT_EQ(duringModal, kResults);
  EXPECT_FALSE(got.elsewhere);
}

TEST(Win32PostTest, PostsBehindOneThatOpensAModalWindowRunInsideItsLoop) {
  Win32Ui ui;
  TimerEvents ownerEvents;
  auto owner = ui.createWindow(plainDesign("主窗口"), ownerEvents, nullptr);
  owner->show();
  TimerEvents dialogEvents;
  auto dialog = ui.createWindow(plainDesign("设置同步"), dialogEvents, owner.get());
  dialogEvents.timer = [&](TimerId) { dialog->close(); };  // a safety net only
  std::vector<std::string> log;
  ui.post([&] {
    log.push_back("modal");
    dialog->setTimer(1, 10000);
    ui.runModal(*dialog);
    log.push_back("modal returned");
  });
  ui.post([&] { log.push_back(dialog->isOpen() ? "b inside" : "b after"); });
  ui.post([&] {
    log.push_back("c");
    dialog->close();
  });
  ASSERT_TRUE(pumpUntil([&] { return log.size() == 4; }, 15000));
  EXPECT_EQ(log, (std::vector<std::string>{"modal", "b inside", "c", "modal returned"}));
}

TEST(Win32PostTest, WorkerResultsArriveWhileAMessageBoxIsOpen) {
  Win32Ui ui;
  Win32Prompts prompts;
  Arrivals got;
  bool boxOpenAtTheEnd = false;
  std::atomic<bool> done{false};
  const auto box = [] { return FindWindowW(L"#32770", L"正在下载"); };
  std::thread worker([&] {
    for (int i = 0; i < 500 && !box(); ++i) Sleep(10);  // until the box shows
    for (int i = 0; i < kResults; ++i) ui.post([&got, i] { got.note(i); });
    ui.post([&] {
      boxOpenAtTheEnd = IsWindowVisible(box());
      PostMessageW(box(), WM_COMMAND, IDOK, 0);
      done = true;
    });
    // Should the posts never run, the box still goes, and the checks fail.
    for (int i = 0; i < 1000 && !done; ++i) Sleep(10);
    if (!done) PostMessageW(box(), WM_COMMAND, IDOK, 0);
  });
  prompts.message(nullptr, "新版本下载中", "正在下载", MessageIcon::None, MessageButtons::Ok);
  worker.join();
  EXPECT_TRUE(done);
  EXPECT_TRUE(boxOpenAtTheEnd);
  EXPECT_TRUE(got.inOrder()) << got.order.size() << " of " << kResults;
  EXPECT_FALSE(got.elsewhere);
}

TEST(Win32PostTest, AfterQuitPostsAreDropped) {
  Win32Ui ui;
  bool ran = false;
  ui.post([&] { ran = true; });
  ui.quit();
  EXPECT_FALSE(ui.post([&] { ran = true; }));
  EXPECT_EQ(ui.run(), 0);  // takes the quit message
  EXPECT_FALSE(ran);
}

TEST(Win32PostTest, WorkerPostingPastTheEndOfTheUiIsRefusedSafely) {
  std::atomic<int> ran{0};
  std::atomic<bool> refused{false};
  std::thread worker;
  {
    Win32Ui ui;
    worker = std::thread([&ran, &refused, poster = ui.poster()] {
      // Posts until the Ui is gone (bounded in time, should it never go: a
      // bound in posts can run out before the Ui goes on a fast machine).
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      for (int i = 0; std::chrono::steady_clock::now() < giveUp; ++i) {
        if (!poster.post([&ran] { ++ran; })) {
          refused = true;
          return;
        }
        if (i % 64 == 0) std::this_thread::yield();
      }
    });
    EXPECT_TRUE(pumpUntil([&] { return ran > 100; }, 5000));
  }  // the Ui goes while the worker still posts
  worker.join();
  EXPECT_TRUE(refused);
  testing::pumpFor(20);  // a wake-up left for the destroyed window does nothing
}

}  // namespace
}  // namespace temvik
