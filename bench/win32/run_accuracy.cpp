// How exactly the real program ends an item and counts it down, under wine
// or Windows: runs one item of N seconds (default 600) and prints
//   - when the item ended, against its due time (from when the run window
//     appeared), and
//   - how far the countdown labels ever lagged the true remaining time.
//
//   run_accuracy.exe [seconds]

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver.h"
#include "run/run_window.h"
#include "ui/main/main_window_ids.h"

using namespace temvik;
using namespace temvik::e2e;
using Clock = std::chrono::steady_clock;

namespace {

long shownSeconds(HWND run) {
  auto value = [&](int id) { return std::atol(windowText(GetDlgItem(run, id)).c_str()); };
  return value(run_ids::kHoursValue) * 3600 + value(run_ids::kMinutesValue) * 60 +
         value(run_ids::kSecondsValue);
}

}  // namespace

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::atol(argv[1]) : 600;
  PlanFolder folder;
  const std::string plan =
      "[计时精度]\n内容=计时精度\n时=0\n分=0\n秒=" + std::to_string(seconds) + "\n提示音=假\n";
  if (!folder.ok() || !folder.writeIni("time.ini", plan)) {
    std::fprintf(stderr, "cannot prepare the plan folder\n");
    return 1;
  }
  App app(folder);
  if (!app.ready()) {
    std::fprintf(stderr, "the program did not start: %s\n", app.error().c_str());
    return 1;
  }
  app.clickAsync(main_ids::kRunFromStart);
  HWND run = nullptr;
  const auto started = Clock::now();
  while (!run && Clock::now() - started < std::chrono::seconds(30)) {
    run = app.window("计划执行中");
    if (!run) Sleep(1);
  }
  if (!run) {
    std::fprintf(stderr, "no run window\n");
    return 1;
  }
  const auto t0 = Clock::now();
  // Between two ticks the labels show the remaining time rounded up, so they
  // run up to a second ahead of the truth; how far they ever fall behind a
  // whole second shows how late the ticks came.
  double worstLagMs = 0;
  while (IsWindow(run)) {
    // Three labels are read one by one: a reading counts only when a second
    // one agrees, so a tick between the reads is not taken for a lag.
    const double elapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    const long shown = shownSeconds(run);
    if (!IsWindow(run)) break;
    if (shownSeconds(run) != shown) continue;
    const double lagMs = shown * 1000.0 - (seconds * 1000.0 - elapsedMs);
    if (lagMs > worstLagMs) worstLagMs = lagMs;
    Sleep(2);
  }
  const double endMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  std::printf("item of %ld s: ended %.0f ms after the run window appeared (error %+.0f ms)\n",
              seconds, endMs, endMs - seconds * 1000.0);
  std::printf(
      "countdown labels: the true remaining time plus at most %.0f ms "
      "(a tick at most %.0f ms late)\n",
      worstLagMs, worstLagMs > 1000 ? worstLagMs - 1000 : 0.0);
  app.kill();
  return 0;
}
