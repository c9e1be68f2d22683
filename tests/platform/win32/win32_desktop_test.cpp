// The desktop service on real windows: the window list, a window's capture
// as a BMP file (from the screen where PrintWindow leaves it blank, as
// under wine), and the watcher's magnifier thread, which leaves no GDI
// object behind however often the watch window closes under it.

#include "platform/win32/win32_desktop.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

#include "platform/bmp.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_ui.h"
#include "pump.h"
#include "tools/progress_watcher.h"

namespace temvik::testing {
namespace {

constexpr Pixel kBlue = rgb(0, 0, 255);

WindowDesign paintedDesign() {
  WindowDesign d;
  d.designName = "着色窗口";
  d.title = "桌面测试窗口";
  d.rect = {60, 60, 240, 180};
  d.controls = {{1, "画板", "paint", ControlKind::Surface, {0, 0, 200, 120}, "", ""}};
  return d;
}

struct Quiet : WindowEvents {};

class Win32DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = ui_.createWindow(design_, events_, nullptr);
    window_->surfaceSetPicture(1, Picture(1, 1, kBlue), PictureFit::Stretch);
    window_->show();
    window_->activate();
    pumpFor(300);
  }
  [[nodiscard]] std::int64_t handle() const {
    return reinterpret_cast<std::intptr_t>(static_cast<Win32Window&>(*window_).hwnd());
  }

  Win32Ui ui_;
  WindowDesign design_ = paintedDesign();
  Quiet events_;
  std::unique_ptr<Window> window_;
  Win32Desktop desktop_;
};

TEST_F(Win32DesktopTest, TheListHoldsTheWindowVisibleWithItsTitle) {
  const auto all = desktop_.topLevelWindows();
  const auto it = std::find_if(all.begin(), all.end(),
                               [&](const TopLevelWindow& w) { return w.handle == handle(); });
  ASSERT_NE(it, all.end());
  EXPECT_TRUE(it->visible);
  EXPECT_EQ(it->title, "桌面测试窗口");
}

TEST_F(Win32DesktopTest, ACaptureIsABmpFileShowingTheWindow) {
  const auto file = desktop_.captureWindow(handle());
  ASSERT_TRUE(file.has_value());
  ASSERT_GT(file->size(), kBmpPixelOffset);
  EXPECT_EQ((*file)[0], 'B');
  EXPECT_EQ((*file)[1], 'M');
  EXPECT_EQ((*file)[14], 44) << "the info header's size field";
  EXPECT_EQ((*file)[10], 58) << "pixels after both headers";
  const Picture p = pictureFromBmp(*file);
  ASSERT_FALSE(p.empty());
  const Rect outer = window_->bounds();
  EXPECT_EQ(p.width, outer.width);
  EXPECT_EQ(p.height, outer.height);
  // The middle of the window is the blue surface, whichever way it was taken.
  EXPECT_EQ(p.at(p.width / 2, p.height / 2), kBlue);
}

TEST_F(Win32DesktopTest, AGoneWindowHasNoCapture) {
  const std::int64_t gone = handle();
  window_.reset();
  EXPECT_FALSE(desktop_.captureWindow(gone).has_value());
}

TEST_F(Win32DesktopTest, TheMagnifiedViewHasItsSize) {
  const Picture view = desktop_.magnify({70, 70, 35, 32}, 176, 160, {88, 80});
  ASSERT_EQ(view.width, 176);
  ASSERT_EQ(view.height, 160);
}

// The watch window of this thread, found by its canvas.
HWND findWatchWindow() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) -> BOOL {
        if (IsWindowVisible(w) && GetDlgItem(w, watch_ids::kCanvas))
          *reinterpret_cast<HWND*>(lp) = w;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(Win32DesktopTest, ClosingTheWatchWindowWhileTheMagnifierRunsLeaksNothing) {
  Win32Clock clock;
  Win32Files files;
  Win32Prompts prompts;
  Win32Shell shell;
  Win32Processes processes;
  Win32Power power;
  Win32Sound sound;
  const auto network = std::make_shared<Win32Network>();
  Win32Crypto crypto;
  Win32AutoStart autoStart(L"TemvikTest");
  Services services{ui_,   clock, files,   prompts, shell,    processes,
                    power, sound, network, crypto,  desktop_, autoStart};
  RetiredWindows retired;
  const SettingsValues settings;
  ProgressWatcher watcher(services, retired, settings);
  const auto cycle = [&] {
    watcher.open(*window_);
    watcher.startPicking(handle());
    ASSERT_TRUE(watcher.magnifierRunning());
    pumpFor(3 * Magnifier::kCycleMs);  // views drawn and shown meanwhile
    const HWND watch = findWatchWindow();
    ASSERT_NE(watch, nullptr);
    PostMessageW(watch, WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(watch); }));
    EXPECT_FALSE(watcher.magnifierRunning()) << "the thread was joined";
    pumpFor(50);
    retired.release();
  };
  cycle();  // fonts and brushes made once
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 3; ++i) cycle();
  const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  std::printf("note: GDI objects %lu before, %lu after three watches\n", before, after);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace temvik::testing
