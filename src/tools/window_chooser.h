#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/id_blocks.h"
#include "platform/short_lived_window.h"

namespace temvik {

class ProgressWatcher;

namespace window_chooser_ids {
enum Control : ControlId {
  kHeading = id_blocks::kWindowChooser + 1,  // 透明标签6
  kRefresh,                                  // 超级按钮1
  kWindowList,                               // 窗口列表
  kMinimizedNote,                            // 透明标签1
  kEndHeading,                               // 透明标签2
  kEndList,                                  // 到终点列表
  kChooseProgram,                            // 超级按钮2
  kProgramPath,                              // 程序编辑框
};
enum Timer : TimerId {
  kCompareTimer = 1,  // 时钟1: the watch's comparison, alive while the window is hidden
};
}  // namespace window_chooser_ids

// The windows the chooser offers, in the desktop's order: visible ones with
// a title, but not the desktop itself ("Program Manager").
[[nodiscard]] std::vector<TopLevelWindow> choosableWindows(const std::vector<TopLevelWindow>& all);

// "进度条检测": lists the windows to watch; selecting one starts the pick.
// Below, what happens when the bar reaches its end (到终点后, a drop-down), chosen before
// the window is. It stays alive, hidden, while the watch runs, since the
// watch's timer is its own.
class WindowChooser final : public ShortLivedWindow {
 public:
  WindowChooser(Ui& ui, RetiredWindows& retired, Desktop& desktop, ProgressWatcher& watcher)
      : ShortLivedWindow(ui, retired), desktop_(desktop), watcher_(watcher) {}

  // Opens a fresh chooser over `owner` with the windows listed.
  void open(Window& owner);
  void refresh();
  // Shows the end the watcher holds: its row, and the program it runs.
  void showEnd(int row, const std::string& program);

  void onClick(ControlId id) override;
  void onRowSelected(ControlId id) override;
  void onTimer(TimerId id) override;

 private:
  Desktop& desktop_;
  ProgressWatcher& watcher_;
};

const WindowDesign& windowChooserDesign();

}  // namespace temvik
