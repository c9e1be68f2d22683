#include "tools/window_chooser.h"

#include "tools/progress_watcher.h"

namespace temvik {

using namespace window_chooser_ids;

const WindowDesign& windowChooserDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "进度条检测",
      .title = "进度条检测",
      .rect = {0, 0, 400, 281},
      .centered = true,
      .controls =
          {
              {kHeading,
               "透明标签6",
               "heading",
               K::Label,
               {8, 10, 200, 16},
               "选择要检测的窗口",
               ""},
              {kRefresh, "超级按钮1", "refresh", K::Button, {304, 4, 80, 26}, "刷新", ""},
              {kWindowList, "窗口列表", "windows", K::ListBox, {8, 34, 376, 108}, "", ""},
              {kMinimizedNote,
               "透明标签1",
               "minimizedNote",
               K::Label,
               {8, 150, 376, 20},
               "若被检测窗口被最小化，则请将其还原后刷新重试",
               ""},
              {kEndHeading,
               "透明标签2",
               "endHeading",
               K::Label,
               {8, 182, 72, 16},
               "到终点后：",
               ""},
              {kEndList, "到终点列表", "endAction", K::DropDown, {80, 178, 100, 22}, "", ""},
              {kChooseProgram,
               "超级按钮2",
               "chooseProgram",
               K::Button,
               {192, 176, 96, 26},
               "选择程序…",
               "选择到终点时运行的程序"},
              {kProgramPath,
               "程序编辑框",
               "programPath",
               K::Edit,
               {8, 212, 376, 22},
               "",
               "",
               false,
               true},
          },
  };
  return design;
}

std::vector<TopLevelWindow> choosableWindows(const std::vector<TopLevelWindow>& all) {
  std::vector<TopLevelWindow> shown;
  for (const TopLevelWindow& w : all) {
    if (!w.visible || w.title.empty() || w.title == "Program Manager") continue;
    shown.push_back(w);
  }
  return shown;
}

void WindowChooser::open(Window& owner) {
  Window& w = create(windowChooserDesign(), &owner);
  for (const WatchEndChoice& c : kWatchEnds) w.listAdd(kEndList, c.caption);
  refresh();
  w.show();
  w.activate();
}

void WindowChooser::refresh() {
  Window& w = *window_;
  w.listClear(kWindowList);
  for (const TopLevelWindow& t : choosableWindows(desktop_.topLevelWindows()))
    w.listAdd(kWindowList, t.title, t.handle);
}

void WindowChooser::showEnd(int row, const std::string& program) {
  window_->listSelect(kEndList, row);
  window_->setText(kProgramPath, program);
}

void WindowChooser::onClick(ControlId id) {
  if (id == kRefresh)
    refresh();
  else if (id == kChooseProgram)
    watcher_.chooseProgram();
}

void WindowChooser::onRowSelected(ControlId id) {
  if (id == kEndList) {
    const int row = window_->listSelection(kEndList);
    if (row >= 0 && row < static_cast<int>(kWatchEnds.size()))
      watcher_.chooseEnd(kWatchEnds[row].end);
    return;
  }
  if (id != kWindowList) return;
  const int row = window_->listSelection(kWindowList);
  if (row >= 0) watcher_.startPicking(window_->listData(kWindowList, row));
}

void WindowChooser::onTimer(TimerId id) {
  if (id == kCompareTimer) watcher_.compare();
}

}  // namespace temvik
