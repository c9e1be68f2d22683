// How long the real program takes on a large plan, under wine or Windows:
// 上移 on the middle row, and 从头执行 until the run window appears.
//
//   large_plan.exe [items]      (default 2000)

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver.h"
#include "ui/main/main_window_ids.h"

using namespace temvik;
using namespace temvik::e2e;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int items = argc > 1 ? std::atoi(argv[1]) : 2000;
  std::string plan;
  for (int i = 0; i < items; ++i) {
    const std::string content = "第" + std::to_string(i) + "项：背单词和做练习";
    plan += "[" + content + "]\n内容=" + content +
            "\n时=0\n分=25\n秒=0\n是否执行=假\n执行名=\n完成退出=假\n结束进程=假\n进程=\n关机=假\n"
            "重启=假\n注销=假\n锁定=假\n提示音=真\n默认=真\n提示音名=\n播放=10\n禁止名=\n"
            "禁止进程=假\n断点1名=休息\n断点1时间=300005\n断点1音=C:\\声音\\铃.wav\n";
  }
  plan += "[密码]\n密码=\n";
  PlanFolder folder;
  if (!folder.ok() || !folder.writeIni("time.ini", plan)) {
    std::fprintf(stderr, "cannot prepare the plan folder\n");
    return 1;
  }
  auto started = Clock::now();
  App app(folder, std::chrono::seconds(120));
  if (!app.ready()) {
    std::fprintf(stderr, "the program did not start: %s\n", app.error().c_str());
    return 1;
  }
  std::printf("%d items: start-up %.0f ms\n", items, msSince(started));

  const int middle = items / 2;
  if (!app.clickRow(main_ids::kSequentialList, middle) || !app.sync()) {
    // The row may be out of view: select it as a click would.
    SendMessageW(app.control(main_ids::kSequentialList), LB_SETCURSEL, middle, 0);
    SendMessageW(app.hwnd(), WM_COMMAND, MAKEWPARAM(main_ids::kSequentialList, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(app.control(main_ids::kSequentialList)));
  }
  started = Clock::now();
  if (!app.click(main_ids::kMoveUp, std::chrono::seconds(600))) {
    std::fprintf(stderr, "上移 did not return\n");
    return 1;
  }
  std::printf("上移 of row %d: %.0f ms (selection now %d)\n", middle, msSince(started),
              app.selection(main_ids::kSequentialList));

  started = Clock::now();
  app.clickAsync(main_ids::kRunFromStart);
  if (!app.waitForWindow("计划执行中", std::chrono::seconds(600))) {
    std::fprintf(stderr, "no run window\n");
    return 1;
  }
  std::printf("从头执行 until the run window: %.0f ms\n", msSince(started));
  app.kill();
  return 0;
}
