#include "tools/watch_window.h"

#include "tools/progress_watcher.h"

namespace temvik {

using namespace watch_ids;

const WindowDesign& watchWindowDesign() {
  using K = ControlKind;
  constexpr int kCanvasX = 8;
  constexpr int kCanvasY = 32;
  // The magnifier view lies over the canvas's top right corner, its caption
  // above it beside the note, and the marker over the canvas: they come
  // before the canvas in the table, which keeps them above it.
  static const WindowDesign design{
      .designName = "检测窗口",
      .title = "",
      .rect = {250, 180, 867, 593},
      .controls =
          {
              {kInstruction,
               "标签1",
               "instruction",
               K::Label,
               {8, 0, 848, 16},
               "单击进度条终点处，取终点处颜色，若终点处颜色改变，则会做出进度条到终点的提示。",
               ""},
              {kKeepNote,
               "透明标签1",
               "keepNote",
               K::Label,
               {8, 16, 660, 16},
               "  (过程中可以做其它事，但请勿最小化此窗口及被检测窗口，否则会出现误差)",
               ""},
              lyingOver(kCanvas,
                        {kMarker, "标签3", "endMarker", K::Surface, {0, 0, 2, 24}, "", ""}),
              {kMagnifierCaption,
               "标签2",
               "magnifierCaption",
               K::Label,
               {680, 16, 168, 16},
               "放大镜",
               ""},
              lyingOver(kCanvas, {kMagnifierView,
                                  "图片框1",
                                  "magnifierView",
                                  K::Surface,
                                  {672, 32, WatchWindow::kViewWidth, WatchWindow::kViewHeight},
                                  "",
                                  ""}),
              {kCanvas,
               "画板1",
               "canvas",
               K::Surface,
               {kCanvasX, kCanvasY, WatchWindow::kCanvasWidth, WatchWindow::kCanvasHeight},
               "",
               ""},
          },
  };
  return design;
}

Window& WatchWindow::open(Window& owner) {
  Window& w = create(watchWindowDesign(), &owner);
  w.setShown(kMarker, false);
  // The marker is a thin red line.
  w.surfaceSetPicture(kMarker, Picture(1, 1, rgb(255, 0, 0)), PictureFit::Stretch);
  return w;
}

void WatchWindow::onMouseDownAt(ControlId id, MouseButton button, Point at) {
  if (id == kCanvas && button == MouseButton::Left) watcher_.takeEndPoint(at);
}

void WatchWindow::onClosed() { watcher_.stop(); }

}  // namespace temvik
