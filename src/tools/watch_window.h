#pragma once

#include "platform/id_blocks.h"
#include "platform/short_lived_window.h"

namespace temvik {

class ProgressWatcher;

namespace watch_ids {
enum Control : ControlId {
  kInstruction = id_blocks::kWatchWindow + 1,  // 标签1
  kKeepNote,                                   // 透明标签1
  kMarker,                                     // 标签3
  kMagnifierCaption,                           // 标签2
  kMagnifierView,                              // 图片框1
  kCanvas,                                     // 画板1
};
}  // namespace watch_ids

// The untitled watch window: the live picture of the watched window on the
// canvas, where a click takes the end point; the magnifier while picking,
// the marker at the end point while watching. Closing it ends the tool.
class WatchWindow final : public ShortLivedWindow {
 public:
  // The canvas and the magnifier view as laid out.
  static constexpr int kCanvasWidth = 848;
  static constexpr int kCanvasHeight = 528;
  static constexpr int kViewWidth = 176;
  static constexpr int kViewHeight = 160;

  WatchWindow(Ui& ui, RetiredWindows& retired, ProgressWatcher& watcher)
      : ShortLivedWindow(ui, retired), watcher_(watcher) {}

  // Opens a fresh watch window over `owner`, the marker hidden.
  Window& open(Window& owner);

  void onMouseDownAt(ControlId id, MouseButton button, Point at) override;
  void onClosed() override;

 private:
  ProgressWatcher& watcher_;
};

const WindowDesign& watchWindowDesign();

}  // namespace temvik
