// How long the real program takes on large plans, under wine or Windows:
// for each size, both lists hold that many items (the first half of the
// sequential ones finished), and the table shows the start-up, its memory,
// the list actions as a user does them (each until the program has handled
// it, a question it asks answered with 是), the two starts of a run until
// its window is there, and how the idle program answers.
//
//   large_plan.exe [items ...]      (default 20 2000 10000)

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "driver.h"
#include "ui/main/main_window_ids.h"

using namespace temvik;
using namespace temvik::e2e;
using namespace temvik::main_ids;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string itemKeys(const std::string& content) {
  return "[" + content + "]\n内容=" + content +
         "\n时=0\n分=25\n秒=0\n是否执行=假\n执行名=\n完成退出=假\n结束进程=假\n进程=\n关机=假\n"
         "重启=假\n注销=假\n锁定=假\n提示音=真\n默认=真\n提示音名=\n播放=10\n禁止名=\n"
         "禁止进程=假\n断点1名=休息\n断点1时间=300005\n断点1音=C:\\声音\\铃.wav\n";
}

// Far in the future, an hour apart: nothing starts or expires meanwhile.
std::string timedItem(int i) {
  char start[32];
  std::snprintf(start, sizeof start, "%04d-%02d-%02d %02d:00:00", 2090 + i / 8760,
                1 + (i / 720) % 12, 1 + (i / 24) % 28, i % 24);
  const std::string content = "同步第" + std::to_string(i) + "项";
  return "[" + content + "]\n同步时间=" + start + "\n同步提示=\n" +
         itemKeys(content).substr(content.size() + 3);
}

double residentMb(DWORD pid) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return 0;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  const bool ok = K32GetProcessMemoryInfo(process, &counters, sizeof(counters));
  CloseHandle(process);
  return ok ? static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0) : 0;
}

// Selects a row as a click does, and returns when the program has handled it.
void selectRow(const App& app, int list, int row) {
  const HWND box = app.control(list);
  SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageW(app.hwnd(), WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
}

// Sends `message` to the main window, or presses the button `id`, and
// returns when the program has handled it, answering each question it asks
// with 是 (or 确定) meanwhile.
double timedSend(const App& app, HWND to, UINT message, WPARAM wp) {
  std::atomic<bool> done = false;
  const auto started = Clock::now();
  double ms = 0;
  std::thread sender([&] {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(to, message, wp, 0, SMTO_NORMAL, 600000, &result);
    ms = msSince(started);
    done = true;
  });
  while (!done) {
    if (auto box = app.messageBox()) box->press(box->hasButton(IDYES) ? IDYES : IDOK);
    Sleep(5);
  }
  sender.join();
  return ms;
}

double timedClick(const App& app, int id) { return timedSend(app, app.control(id), BM_CLICK, 0); }

double timedMenu(const App& app, int id) {
  return timedSend(app, app.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0));
}

// Starts a run and returns when its window is there.
double timedRun(const App& app, int id) {
  const auto started = Clock::now();
  app.clickAsync(id);
  return app.waitForWindow("计划执行中", std::chrono::seconds(600)) ? msSince(started) : -1.0;
}

// The idle program for `seconds`: how long each of its answers took to a
// message sent every 20 ms (the longest and the mean).
std::pair<double, double> idleAnswers(const App& app, int seconds) {
  double longest = 0, total = 0;
  int count = 0;
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  while (Clock::now() < end) {
    const auto started = Clock::now();
    app.sync(std::chrono::seconds(60));
    const double ms = msSince(started);
    longest = std::max(longest, ms);
    total += ms;
    ++count;
    Sleep(20);
  }
  return {longest, count ? total / count : 0};
}

// The first half of the items finished.
std::string marks(int items) {
  std::string s;
  for (int i = 0; i < items / 2; ++i)
    s += "[第" + std::to_string(i) + "项：背单词和做练习]\nwin=已完成--\n";
  return s;
}

int measure(int items) {
  std::string sequential, timed;
  for (int i = 0; i < items; ++i) {
    sequential += itemKeys("第" + std::to_string(i) + "项：背单词和做练习");
    timed += timedItem(i);
  }
  sequential += "[密码]\n密码=\n";
  PlanFolder folder;
  if (!folder.ok() || !folder.writeIni("time.ini", sequential) ||
      !folder.writeIni("out.ini", timed) || !folder.writeIni("win.ini", marks(items))) {
    std::fprintf(stderr, "cannot prepare the plan folder\n");
    return 1;
  }
  double resume = 0;
  {
    App app(folder, std::chrono::seconds(300));
    if (!app.ready()) {
      std::fprintf(stderr, "the program did not start: %s\n", app.error().c_str());
      return 1;
    }
    resume = timedRun(app, kResumeUnfinished);
    app.kill();
  }
  if (!folder.writeIni("win.ini", marks(items))) return 1;
  auto started = Clock::now();
  App app(folder, std::chrono::seconds(300));
  if (!app.ready()) {
    std::fprintf(stderr, "the program did not start: %s\n", app.error().c_str());
    return 1;
  }
  const double startUp = msSince(started);
  const double memory = residentMb(app.pid());
  const double clear = timedClick(app, kClearMarks);

  const int middle = items / 2;
  started = Clock::now();
  selectRow(app, kSequentialList, middle);
  const double load = msSince(started);
  const double up = timedClick(app, kMoveUp);
  const double down = timedClick(app, kMoveDown);
  const double save = timedClick(app, kSaveItem);
  app.type(kContent, "新加的一项");
  const double add = timedClick(app, kAddItem);
  selectRow(app, kSequentialList, middle);
  const double remove = timedClick(app, kDeleteItem);

  started = Clock::now();
  selectRow(app, kTimedList, middle);
  const double timedLoad = msSince(started);
  const double timedSave = timedClick(app, kSaveItem);
  const double cancelSync = timedMenu(app, kCancelSync);
  const auto [idleLongest, idleMean] = idleAnswers(app, 3);

  const double run = timedRun(app, kRunFromStart);
  std::printf(
      "| %6d | %6.0f | %6.1f | %5.0f | %5.0f | %5.0f | %5.0f | %5.0f | %5.0f | %5.0f | %5.0f | "
      "%5.0f | "
      "%5.0f | %5.0f | %5.0f | %5.0f / %4.1f |\n",
      items, startUp, memory, clear, load, up, down, save, add, remove, timedLoad, timedSave,
      cancelSync, run, resume, idleLongest, idleMean);
  std::fflush(stdout);
  app.kill();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {20, 2000, 10000};
  std::printf(
      "All times in ms. Both lists hold the items; the middle row is selected.\n"
      "| items | start-up | MB | 删除所有已完成标记 | load | 上移 | 下移 | 保存 | 添加 | 删除 | "
      "timed load | timed save | 取消同步 | 从头执行 | 继续未完成 | idle answer max / mean |\n");
  for (const int items : sizes)
    if (measure(items) != 0) return 1;
  return 0;
}
