#include "tools/progress_watcher.h"

#include <algorithm>

#include "platform/bmp.h"
#include "run/end_actions.h"
#include "tools/messages.h"

namespace temvik {

using namespace watch_ids;
using window_chooser_ids::kCompareTimer;

namespace {

constexpr std::int64_t kColourChange = 1000;
constexpr Pixel kCanvasColour = rgb(255, 255, 255);
constexpr std::string_view kEndText = "根据您的设置，该进度条已到终点！若有不准确之处，请见谅！";
constexpr std::string_view kEndTitle = "到终点";

}  // namespace

bool endReached(std::uint32_t takenColorRef, std::uint32_t currentColorRef) {
  return std::int64_t{takenColorRef} - std::int64_t{currentColorRef} > kColourChange;
}

Picture canvasPicture(const std::optional<std::vector<std::uint8_t>>& capture) {
  Picture canvas(WatchWindow::kCanvasWidth, WatchWindow::kCanvasHeight, kCanvasColour);
  if (!capture) return canvas;
  const Picture shot = pictureFromBmp(*capture);
  if (shot.empty()) return canvas;
  const int w = std::min(shot.width, canvas.width);
  const int h = std::min(shot.height, canvas.height);
  for (int y = 0; y < h; ++y)
    std::copy_n(shot.pixels.begin() + static_cast<std::ptrdiff_t>(y) * shot.width, w,
                canvas.pixels.begin() + static_cast<std::ptrdiff_t>(y) * canvas.width);
  return canvas;
}

ProgressWatcher::ProgressWatcher(Services& services, RetiredWindows& retired,
                                 const SettingsValues& settings)
    : services_(services),
      settings_(settings),
      chooser_(services.ui, retired, services.desktop, *this),
      watch_(services.ui, retired, *this),
      magnifier_(services.desktop, services.ui.poster()),
      notice_(services, retired) {}

ProgressWatcher::~ProgressWatcher() { magnifier_.stop(); }

void ProgressWatcher::open(Window& owner) {
  if (watch_.bringToFront() || chooser_.bringToFront()) return;
  owner_ = &owner;
  watching_ = false;
  end_ = WatchEnd::Alert;
  program_.clear();
  chooser_.open(owner);
  showEnd();
}

void ProgressWatcher::showEnd() {
  const auto at = std::find_if(kWatchEnds.begin(), kWatchEnds.end(),
                               [&](const WatchEndChoice& c) { return c.end == end_; });
  chooser_.showEnd(static_cast<int>(at - kWatchEnds.begin()), program_);
}

void ProgressWatcher::chooseEnd(WatchEnd end) {
  if (end == WatchEnd::RunProgram && program_.empty()) {
    if (!chooseProgram()) showEnd();  // the row goes back to the end held
    return;
  }
  end_ = end;
}

bool ProgressWatcher::chooseProgram() {
  if (!chooser_.isOpen() || !programDialog_.run(services_.prompts, chooser_.window())) return false;
  program_ = programDialog_.fileName();
  end_ = WatchEnd::RunProgram;
  showEnd();
  return true;
}

void ProgressWatcher::startPicking(std::int64_t handle) {
  if (watch_.isOpen()) return;
  watched_ = handle;
  chooser_.window()->hide();
  Window& w = watch_.open(*owner_);
  magnifier_.start(WatchWindow::kViewWidth, WatchWindow::kViewHeight, kZoom, [this](Picture view) {
    if (watch_.isOpen() && !watching_)
      watch_.window()->surfaceSetPicture(kMagnifierView, std::move(view), PictureFit::Actual);
  });
  showCapture();
  w.show();
  w.activate();
}

void ProgressWatcher::takeEndPoint(Point at) {
  if (watching_ || !watch_.isOpen()) return;
  Window& w = *watch_.window();
  endPoint_ = at;
  endColour_ = colourAt(at);
  watching_ = true;
  chooser_.window()->setTimer(kCompareTimer, kCompareMs);
  w.setEnabled(kCanvas, false);  // one pick only
  owner_->setMinimizeBox(false);
  magnifier_.stop();
  w.setShown(kMagnifierView, false);
  // Beside the point, in the window's coordinates.
  const Rect marker = w.controlRect(kMarker);
  w.moveControl(kMarker, {at.x + 10, at.y - marker.height / 2 + 35, marker.width, marker.height});
  w.setShown(kMarker, true);
}

void ProgressWatcher::compare() {
  if (!watching_ || !watch_.isOpen()) return;
  showCapture();
  const std::uint32_t current = colourAt(endPoint_);
  if (!endReached(endColour_, current)) return;
  const WatchEnd end = end_;
  const std::string program = program_;
  chooser_.window()->setTimer(kCompareTimer, 0);
  watch_.close();  // stop() runs
  chooser_.close();
  finish(end, program);
}

void ProgressWatcher::finish(WatchEnd end, const std::string& program) {
  const auto power = [this](PowerAction action) {
    // 取消 leaves it there: the tool has ended already.
    notice_.announce(*owner_, action, settings_.powerNoticeSeconds, {.carryOut = [this, action] {
      carryOutPower(*owner_, services_.power, action);
    }});
  };
  switch (end) {
    case WatchEnd::Alert:
      services_.prompts.alert(owner_, kEndText, kEndTitle);
      break;
    case WatchEnd::ShutDown:
      power(PowerAction::ShutDown);
      break;
    case WatchEnd::Restart:
      power(PowerAction::Restart);
      break;
    case WatchEnd::LogOff:
      power(PowerAction::LogOff);
      break;
    case WatchEnd::Lock:
      services_.shell.run(std::string(kLockCommand));
      break;
    case WatchEnd::RunProgram:
      if (!services_.shell.open(program))
        show(services_.prompts, owner_, kProgramNotStarted, {program});
      break;
  }
}

void ProgressWatcher::stop() {
  if (Window* c = chooser_.window(); c && c->isOpen()) c->setTimer(kCompareTimer, 0);
  chooser_.close();
  if (owner_) owner_->setMinimizeBox(true);
  magnifier_.stop();
  watching_ = false;
  canvas_ = {};
}

std::uint32_t ProgressWatcher::colourAt(Point at) const {
  // A surface scaled for a higher DPI reaches beyond the canvas's pixels.
  if (canvas_.empty() || at.x < 0 || at.y < 0 || at.x >= canvas_.width || at.y >= canvas_.height)
    return colorRef(kCanvasColour);
  return colorRef(canvas_.at(at.x, at.y));
}

void ProgressWatcher::showCapture() {
  canvas_ = canvasPicture(services_.desktop.captureWindow(watched_));
  watch_.window()->surfaceSetPicture(kCanvas, canvas_, PictureFit::Actual);
}

}  // namespace temvik
