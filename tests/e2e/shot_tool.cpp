// Puts the real program into a prepared state for a screenshot:
//
//   temvik_e2e_shot.exe SCENE RECT-FILE
//   temvik_e2e_shot.exe --list
//
// The scenes are in kScenes below, each with the file it is saved as and the
// windows of the catalogue (ui/main/window_catalogue.h) it shows. --list
// prints them as "scene:file" lines for scripts/screenshots.sh, and fails
// when a window of the catalogue is in no scene, so a new window is not
// left without a picture.
// Once the program shows the scene, the outer rectangle of what is shown is
// written to RECT-FILE as "x y width height"; the program is closed when
// RECT-FILE.done appears (or after two minutes).

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"
#include "run/run_window.h"
#include "store/history.h"
#include "timed/set_sync_dialog.h"
#include "tools/stats_window.h"
#include "tools/stopwatch.h"
#include "tools/watch_window.h"
#include "tools/window_chooser.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/process_chooser.h"
#include "ui/dialogs/prompt_point_editor.h"
#include "ui/dialogs/set_password_dialog.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/window_catalogue.h"

using namespace temvik;
using namespace temvik::e2e;

namespace {

struct Scene {
  std::string_view name;
  std::string_view file;                  // docs/screenshots/<file>.png
  std::vector<std::string_view> windows;  // of the catalogue
};

const std::vector<Scene>& scenes() {
  static const std::vector<Scene> list{
      {"empty", "main-window-empty", {"main"}},  // no plan files
      // A named plan with finished marks and a timed list.
      {"plan", "main-window-plan", {"main"}},
      {"editor", "editor-item", {"main"}},  // a row whose item has options ticked
      // The menu 工具 open, its check items on.
      {"tools-menu", "tools-menu", {"main"}},
      {"manage-menu", "manage-menu", {"main"}},  // the menu 管理 open, 严格模式 on
      {"run", "run-window", {"run"}},            // counting an item down
      {"give-up", "give-up", {"giveUp"}},
      {"change-time", "change-time", {"changeTime"}},
      // With the finished item's note above it.
      {"finished", "item-finished", {"itemFinished", "contentNote"}},
      {"complete", "plan-complete", {"planComplete"}},
      {"power-notice", "power-notice", {"powerNotice"}},  // after an item with 完成后关机
      // One point in the list and a second one typed.
      {"points", "prompt-points", {"promptPoints"}},
      {"chooser", "process-chooser", {"endProcessChooser"}},  // over the running processes
      {"forbidden-chooser", "forbidden-chooser", {"forbiddenChooser"}},
      {"program-chooser", "program-chooser", {"programChooser"}},
      {"update", "update-check", {"updateCheck"}},  // while its page is read
      {"about", "about", {"about"}},
      {"rename", "rename", {"rename"}},             // of the timed part
      {"setsync", "set-sync-dialog", {"setSync"}},  // for an item, a start sound typed
      {"password", "password", {"password"}},       // at start-up, a password typed
      {"set-password", "set-password", {"setPassword"}},
      {"first-password", "first-password", {"setFirstPassword"}},
      {"stopwatch", "stopwatch", {"stopwatch"}},  // stopped after two seconds
      {"stats", "statistics", {"stats"}},         // over two weeks of history
      {"choose-window", "window-chooser", {"windowChooser"}},
      {"watch", "watch-window", {"watch"}},  // picking on the main window, magnifier on
  };
  return list;
}

int fail(const std::string& what) {
  std::fprintf(stderr, "temvik_e2e_shot: %s\n", what.c_str());
  return 1;
}

std::string item(const std::string& content, const std::string& h, const std::string& m,
                 const std::string& s, const std::string& extra = "") {
  return "[" + content + "]\n内容=" + content + "\n时=" + h + "\n分=" + m + "\n秒=" + s + "\n" +
         extra;
}

bool writePlan(PlanFolder& folder) {
  const std::string options =
      "是否执行=真\n执行名=C:\\Tools\\备份.exe,\n完成退出=假\n结束进程=真\n进程=notepad.exe,\n"
      "关机=假\n重启=假\n注销=假\n锁定=假\n提示音=真\n默认=假\n提示音名=C:\\音乐\\铃声.mp3\n"
      "播放=30\n禁止名=游戏.exe,\n禁止进程=真\n";
  return folder.writeIni("name.ini", "[名称]\n名称=周末计划\n同步=晚间同步\n") &&
         folder.writeIni("time.ini", item("背单词", "0", "20", "0") +
                                         item("写作业", "1", "0", "0") +
                                         item("整理房间", "0", "30", "0", options) +
                                         item("练钢琴", "0", "45", "30") +
                                         item("读书", "1", "30", "0") + "[密码]\n密码=\n") &&
         folder.writeIni("win.ini", "[背单词]\nwin=已完成--\n[写作业]\nwin=已完成--\n") &&
         folder.writeIni("out.ini", item("晚饭", "0", "30", "0") + item("洗澡", "0", "15", "0")) &&
         folder.writeIni("fin.ini", "[晚饭]\nfin=已完成--\n");
}

// Two weeks of history up to today: a few items a day, most finished, one
// of them over midnight.
std::string twoWeeksOfHistory() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const DateTime today{now.wYear, now.wMonth, now.wDay, 0, 0, 0};
  static const char* kContents[] = {"背单词", "写作业", "练钢琴", "读书", "整理房间"};
  std::string bytes = historyFileStart();
  unsigned seed = 7;
  const auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int day = 13; day >= 0; --day) {
    DateTime at = addSeconds(today, -day * 86400 + 8 * 3600 + 60 * static_cast<int>(next(120)));
    for (unsigned i = 0, count = 2 + next(3); i < count; ++i) {
      HistoryRecord r;
      r.content = kContents[next(5)];
      r.plannedSeconds = 60 * (20 + 10 * static_cast<int>(next(8)));
      const unsigned how = next(10);
      r.how = how < 6   ? HistoryEnd::Finished
              : how < 7 ? HistoryEnd::ChangedThenFinished
              : how < 9 ? HistoryEnd::GivenUp
                        : HistoryEnd::CutByTimed;
      r.runSeconds =
          r.how == HistoryEnd::Finished ? r.plannedSeconds : r.plannedSeconds * (3 + next(5)) / 8;
      r.start = at;
      r.end = addSeconds(at, r.runSeconds);
      bytes += historyLine(r);
      at = addSeconds(r.end, 60 * (10 + static_cast<int>(next(90))));
    }
  }
  // Late the day before yesterday, into yesterday.
  const DateTime late = addSeconds(today, -2 * 86400 + 23 * 3600 + 30 * 60);
  bytes += historyLine({late, addSeconds(late, 3600), "读书", 3600, 3600});
  return bytes;
}

// A short plan for the run scenes: the items end in a second, and the end
// sound's play time keeps the item-finished dialog up for a minute; the
// scenes of the counting run window have an item of 25 minutes.
bool writeRunPlan(PlanFolder& folder, const std::string& scene) {
  const bool counting = scene == "run" || scene == "give-up" || scene == "change-time";
  const std::string first = counting ? item("背单词", "0", "25", "0", "提示音=假\n")
                            : scene == "power-notice"
                                ? item("背单词", "0", "0", "1", "关机=真\n提示音=假\n")
                                : item("背单词", "0", "0", "1", "提示音=真\n播放=60\n");
  const std::string second = scene == "finished" ? item("写作业", "0", "30", "0") : "";
  return folder.writeIni("name.ini", "[名称]\n名称=周末计划\n同步=晚间同步\n") &&
         folder.writeIni("time.ini", first + second);
}

Rect rectOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Rect unite(const Rect& a, const Rect& b) {
  const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  const int right = std::max(a.x + a.width, b.x + b.width);
  const int bottom = std::max(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

// Prints the scenes; fails when a window of the catalogue is in none.
int listScenes() {
  int missing = 0;
  for (const CataloguedWindow& w : windowCatalogue()) {
    const bool shown = std::any_of(scenes().begin(), scenes().end(), [&](const Scene& s) {
      return std::find(s.windows.begin(), s.windows.end(), w.name) != s.windows.end();
    });
    if (!shown) {
      std::fprintf(stderr, "temvik_e2e_shot: no scene shows the window %.*s\n",
                   static_cast<int>(w.name.size()), w.name.data());
      ++missing;
    }
  }
  if (missing) return 1;
  for (const Scene& s : scenes())
    std::printf("%.*s:%.*s\n", static_cast<int>(s.name.size()), s.name.data(),
                static_cast<int>(s.file.size()), s.file.data());
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && narrow(argv[1]) == "--list") return listScenes();
  if (argc != 3) return fail("usage: temvik_e2e_shot --list | temvik_e2e_shot SCENE RECT-FILE");
  const std::string scene = narrow(argv[1]);
  const std::wstring rectFile = windowsPath(narrow(argv[2]));
  if (std::none_of(scenes().begin(), scenes().end(),
                   [&](const Scene& s) { return s.name == scene; }))
    return fail("unknown scene " + scene);
  const bool runDialogScene = scene == "give-up" || scene == "change-time";
  const bool noticeScene = scene == "power-notice";
  const bool runScene =
      scene == "run" || scene == "finished" || scene == "complete" || runDialogScene || noticeScene;
  const bool pointsScene = scene == "points";
  const bool chooserScene = scene == "chooser";
  const bool editorChooserScene = scene == "forbidden-chooser" || scene == "program-chooser";
  const bool updateScene = scene == "update";
  const bool aboutScene = scene == "about";
  const bool renameScene = scene == "rename";
  const bool setSyncScene = scene == "setsync";
  const bool passwordScene =
      scene == "password" || scene == "set-password" || scene == "first-password";
  const bool toolsMenuScene = scene == "tools-menu";
  const bool manageMenuScene = scene == "manage-menu";
  const bool menuScene = toolsMenuScene || manageMenuScene;
  PlanFolder folder;
  if (!folder.ok()) return fail(folder.error());
  if ((scene == "plan" || scene == "editor" || pointsScene || chooserScene || editorChooserScene ||
       renameScene || setSyncScene || menuScene) &&
      !writePlan(folder))
    return fail("cannot write the plan files");
  // Prompt points are edited, and items moved, only in a plan without
  // finished marks.
  if ((pointsScene || chooserScene || editorChooserScene || setSyncScene) &&
      !folder.writeIni("win.ini", ""))
    return fail("cannot write win.ini");
  if (runScene && !writeRunPlan(folder, scene)) return fail("cannot write the plan files");
  if (scene == "stats" && !folder.writeBytes(kHistoryFile.substr(1), twoWeeksOfHistory()))
    return fail("cannot write the history");
  if (toolsMenuScene &&
      !folder.writeIni("settings.ini", "[设置]\n执行时不睡眠=真\n唤醒执行同步=真\n"))
    return fail("cannot write settings.ini");
  if (manageMenuScene && !folder.writeIni("settings.ini", "[设置]\n严格模式=真\n"))
    return fail("cannot write settings.ini");
  // The update check reads a page the tool holds back until the shot is taken.
  LocalHttpServer server;
  if (updateScene) {
    if (!server.ok()) return fail("no local web server");
    server.hold(true);
    SetEnvironmentVariableW(L"TEMVIK_UPDATE_PAGE", widen(server.address("/update.html")).c_str());
  }
  // A password of an earlier version, kept as itself: the one to type is "pw".
  if (passwordScene && scene != "first-password" &&
      !folder.writeIni("time.ini", item("背单词", "0", "20", "0") + "[密码]\n密码=pw\n"))
    return fail("cannot write the plan files");
  // Should the notice reach 0, the request stops before the system's call.
  if (noticeScene) SetEnvironmentVariableW(L"TEMVIK_POWER_LOG", folder.path("power.log").c_str());
  App app(folder);
  if (!app.ready()) return fail(app.error());
  // The pointer away from where the windows appear.
  App::movePointer({1270, 1010});

  HWND shown = app.hwnd();
  if (runScene) {
    app.clickAsync(main_ids::kRunFromStart);
    const bool counting = scene == "run" || runDialogScene;
    const char* title = counting              ? "计划执行中"
                        : scene == "finished" ? "时间到"
                        : noticeScene         ? "即将关机"
                                              : "计划完成";
    shown = app.waitForWindow(title, 30s);
    if (!shown) return fail(std::string("no window ") + title);
    if (counting &&
        !waitFor([&] { return windowText(GetDlgItem(shown, run_ids::kSecondsValue)) == "58"; }))
      return fail("the run window does not count down");
  }
  if (runDialogScene) {
    const HWND run = shown;
    const bool giveUp = scene == "give-up";
    const int id = giveUp ? static_cast<int>(run_ids::kGiveUpLabel)
                          : static_cast<int>(run_ids::kChangeRemaining);
    PostMessageW(run, WM_COMMAND, MAKEWPARAM(id, giveUp ? STN_CLICKED : 0),
                 giveUp ? reinterpret_cast<LPARAM>(GetDlgItem(run, id)) : 0);
    const char* title = giveUp ? "放弃" : "更改剩余时间";
    shown = app.waitForWindow(title);
    if (!shown) return fail(std::string("no window ") + title);
  }
  if (menuScene) {
    // 开机自动启动 on, in the shots' own prefix; the entry goes again below.
    if (toolsMenuScene) app.menu(main_ids::kStartWithWindows);
    if (!app.sync()) return fail("the program does not answer");
    // The menu bar by the keyboard: Alt, then right to the title, down.
    SetForegroundWindow(app.hwnd());
    App::pressKey(VK_MENU);
    for (int i = 0; i < (toolsMenuScene ? 3 : 2); ++i) App::pressKey(VK_RIGHT);
    App::pressKey(VK_DOWN);
    if (!waitFor([&] { return app.popupMenu() != nullptr; })) return fail("the menu did not open");
  }
  if (editorChooserScene) {
    using namespace main_ids;
    const bool forbidden = scene == "forbidden-chooser";
    if (!app.clickRow(kSequentialList, 2)) return fail("row 3 is not in view");
    if (!waitFor([&] {
          return app.text(kContent) == "整理房间" &&
                 app.enabled(forbidden ? kChooseForbidden : kChooseProgram);
        }))
      return fail("the item did not load");
    app.clickAsync(forbidden ? kChooseForbidden : kChooseProgram);
    const char* title = forbidden ? "选择禁止进程" : "设置执行程序";
    shown = app.waitForWindow(title);
    if (!shown) return fail(std::string("no window ") + title);
  }

  if (scene == "editor") {
    using namespace main_ids;
    if (!app.clickRow(kSequentialList, 2)) return fail("row 3 is not in view");
    if (!waitFor([&] { return app.text(kContent) == "整理房间" && app.checked(kRunProgram); }))
      return fail("the item did not load; content is \"" + app.text(kContent) + "\"");
  }
  if (setSyncScene) {
    using namespace main_ids;
    if (!app.clickRow(kSequentialList, 2)) return fail("row 3 is not in view");
    if (!waitFor([&] { return app.text(kContent) == "整理房间"; }))
      return fail("the item did not load");
    app.menu(kSetSync);
    shown = app.waitForWindow("设置同步");
    if (!shown) return fail("no window 设置同步");
    typeInto(GetDlgItem(shown, timed_ids::kSoundPath), "C:\\音乐\\开始.mp3");
  }
  if (pointsScene) {
    using namespace main_ids;
    using namespace prompt_ids;
    if (!app.clickRow(kSequentialList, 3)) return fail("row 4 is not in view");
    if (!waitFor([&] { return app.text(kContent) == "练钢琴"; }))
      return fail("the item did not load");
    if (!app.click(kPromptPoints)) return fail("the prompt-point button opened a box");
    shown = app.waitForWindow("设置提示点");
    if (!shown) return fail("no window 设置提示点");
    const auto fill = [&](const char* name, const char* minutes, const char* sound,
                          const char* play) {
      typeInto(GetDlgItem(shown, kPointName), name);
      typeInto(GetDlgItem(shown, kPointHours), "0");
      typeInto(GetDlgItem(shown, kPointMinutes), minutes);
      typeInto(GetDlgItem(shown, kPointSeconds), "0");
      typeInto(GetDlgItem(shown, kPointSound), sound);
      typeInto(GetDlgItem(shown, kPointPlay), play);
    };
    fill("热身结束", "10", "C:\\音乐\\铃声.mp3", "5");
    PostMessageW(shown, WM_COMMAND, MAKEWPARAM(kAddPoint, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(shown, kAddPoint)));
    if (!waitFor(
            [&] { return SendMessageW(GetDlgItem(shown, kPointList), LB_GETCOUNT, 0, 0) == 2; }))
      return fail("the point was not added");
    fill("练习曲", "20", "C:\\音乐\\提示.wav", "3");
  }
  if (chooserScene) {
    using namespace main_ids;
    using namespace chooser_ids;
    // The item with 结束进程 ticked and notepad.exe listed.
    if (!app.clickRow(kSequentialList, 2)) return fail("row 3 is not in view");
    if (!waitFor(
            [&] { return app.text(kContent) == "整理房间" && app.enabled(kChooseEndProcess); }))
      return fail("the item did not load");
    app.clickAsync(kChooseEndProcess);  // modal: its loop runs inside the click
    shown = app.waitForWindow("选择结束进程");
    if (!shown) return fail("no window 选择结束进程");
    if (!waitFor(
            [&] { return SendMessageW(GetDlgItem(shown, kRunningList), LB_GETCOUNT, 0, 0) > 0; }))
      return fail("the chooser lists no process");
  }
  if (renameScene) {
    app.menu(main_ids::kRenameTimed);
    shown = app.waitForWindow("更名");
    if (!shown) return fail("no window 更名");
  }
  if (updateScene || aboutScene) {
    app.menu(updateScene ? main_ids::kCheckUpdate : main_ids::kAbout);
    shown = app.waitForWindow(updateScene ? "检查更新" : "关于");
    if (!shown) return fail("no window for scene " + scene);
  }
  if (passwordScene) {
    using namespace password_ids;
    const auto answer = [&](HWND dialog) {
      typeInto(GetDlgItem(dialog, kPasswordEntry), "pw");
      PostMessageW(GetDlgItem(dialog, kPasswordOk), BM_CLICK, 0, 0);
      waitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
    };
    shown = app.waitForWindow("请输入密码");
    if (scene != "first-password") {
      if (!shown) return fail("no window 请输入密码");
      typeInto(GetDlgItem(shown, kPasswordEntry), "Secret");
    }
    if (scene != "password") {
      if (scene == "set-password") {
        answer(shown);
        app.menu(main_ids::kSetPassword);
        shown = app.waitForWindow("请输入密码");
        if (!shown) return fail("no second window 请输入密码");
        answer(shown);
      } else {
        app.menu(main_ids::kSetPassword);
      }
      shown = app.waitForWindow("设置密码");
      if (!shown) return fail("no window 设置密码");
      if (scene == "set-password") typeInto(GetDlgItem(shown, kOldPassword), "pw");
      typeInto(GetDlgItem(shown, kNewPassword), "Neu2026");
    }
  }
  if (scene == "stats") {
    app.menu(main_ids::kStatistics);
    shown = app.waitForWindow("统计");
    if (!shown) return fail("no statistics window");
    if (!waitFor([&] { return !windowText(GetDlgItem(shown, stats_ids::kTimes)).empty(); }))
      return fail("the statistics show no totals");
  }
  if (scene == "stopwatch") {
    app.menu(main_ids::kStopwatch);
    shown = app.waitForWindow("小型计时器");
    if (!shown) return fail("no stopwatch");
    const HWND seconds = GetDlgItem(shown, stopwatch_ids::kSeconds);
    PostMessageW(shown, WM_KEYDOWN, 'A', 1);
    if (!waitFor([&] { return windowText(seconds) == "02"; })) return fail("it does not count");
    PostMessageW(shown, WM_KEYDOWN, 'A', 1);
  }
  if (scene == "choose-window" || scene == "watch") {
    app.menu(main_ids::kProgressWatcher);
    shown = app.waitForWindow("进度条检测");
    if (!shown) return fail("no window chooser");
    const HWND list = GetDlgItem(shown, window_chooser_ids::kWindowList);
    int row = -1;
    waitFor([&] {
      const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
      for (int i = 0; i < count && row < 0; ++i) {
        const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring t(static_cast<size_t>(n) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(t.data()));
        if (narrow(t.c_str()).rfind("Temvikv1.0", 0) == 0) row = i;
      }
      return row >= 0;
    });
    if (row < 0) return fail("the main window is not listed");
    if (scene == "choose-window") {
      // 运行程序 chosen, so that the path shows under its button.
      const HWND ends = GetDlgItem(shown, window_chooser_ids::kEndList);
      SendMessageW(ends, CB_SETCURSEL, 5, 0);
      PostMessageW(shown, WM_COMMAND, MAKEWPARAM(window_chooser_ids::kEndList, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(ends));
      if (!app.chooseFile(narrow(folder.exe()))) return fail("no program dialog");
    }
    if (scene == "watch") {
      SendMessageW(list, LB_SETCURSEL, row, 0);
      PostMessageW(shown, WM_COMMAND, MAKEWPARAM(window_chooser_ids::kWindowList, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
      const HWND chooser = shown;
      if (!waitFor([&] { return !IsWindowVisible(chooser); })) return fail("no pick");
      shown = nullptr;
      waitFor([&] {
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          if (pid == app.pid() && IsWindowVisible(w) && GetDlgItem(w, watch_ids::kCanvas))
            shown = w;
        }
        return shown != nullptr;
      });
      if (!shown) return fail("no watch window");
      // The pointer over the picture of the main window's lists.
      const Rect wr = rectOf(shown);
      App::movePointer({wr.x + 100, wr.y + 150});
      waitFor([] { return false; }, 800ms);  // a few magnifier views
    }
  }
  // Everything painted.
  RedrawWindow(shown, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  if (!app.sync()) return fail("the program does not answer");

  Rect r = rectOf(shown);
  // The note with the finished item's content stands above the dialog.
  if (const HWND note = app.window("刚完成的项目"); note && scene != "run")
    r = unite(r, rectOf(note));
  if (const HWND menu = app.popupMenu(); menu && menuScene) r = unite(r, rectOf(menu));
  const std::string line = std::to_string(r.x) + " " + std::to_string(r.y) + " " +
                           std::to_string(r.width) + " " + std::to_string(r.height) + "\n";
  const std::wstring partial = rectFile + L".part";
  const HANDLE h = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail("cannot write " + narrow(partial));
  DWORD written = 0;
  WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(h);
  if (!MoveFileExW(partial.c_str(), rectFile.c_str(), MOVEFILE_REPLACE_EXISTING))
    return fail("cannot rename " + narrow(partial));

  const std::wstring done = rectFile + L".done";
  waitFor([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 120s);
  if (toolsMenuScene)
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                       L"Temvik");
  if (runScene || chooserScene || editorChooserScene || updateScene || aboutScene || renameScene ||
      passwordScene || menuScene) {
    app.kill();
    return 0;
  }
  app.close();
  if (!app.waitForExit()) return fail("the program did not close");
  return 0;
}
