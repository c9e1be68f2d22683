// FakeDesktop: windows and a screen the test paints.

#include "platform/headless/fake_desktop.h"

#include <utility>

#include "platform/bmp.h"

namespace temvik::headless {

std::vector<TopLevelWindow> FakeDesktop::topLevelWindows() const {
  std::lock_guard lock(mutex_);
  std::vector<TopLevelWindow> all;
  for (const auto& w : windows_) all.push_back(w.window);
  return all;
}

std::optional<std::vector<std::uint8_t>> FakeDesktop::captureWindow(std::int64_t handle) {
  std::lock_guard lock(mutex_);
  ++captures_;
  for (const auto& w : windows_)
    if (w.window.handle == handle && !w.look.empty()) return bmpFromPicture(w.look);
  return std::nullopt;
}

Point FakeDesktop::cursorPosition() const {
  std::lock_guard lock(mutex_);
  return cursor_;
}

Picture FakeDesktop::magnify(Rect source, int width, int height, Point cursorAt) {
  std::lock_guard lock(mutex_);
  ++magnifications_;
  lastSource_ = source;
  Picture out(width, height, rgb(0, 0, 0));
  if (out.empty() || source.width <= 0 || source.height <= 0) return out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int sx = source.x + x * source.width / width;
      const int sy = source.y + y * source.height / height;
      if (sx >= 0 && sy >= 0 && sx < screen_.width && sy < screen_.height && !screen_.empty())
        out.set(x, y, screen_.at(sx, sy));
    }
  }
  if (cursorAt.x >= 0 && cursorAt.y >= 0 && cursorAt.x < width && cursorAt.y < height)
    out.set(cursorAt.x, cursorAt.y, kCursorColour);
  return out;
}

std::int64_t FakeDesktop::addWindow(std::string title, bool visible, Picture look) {
  std::lock_guard lock(mutex_);
  const std::int64_t handle = next_++;
  windows_.push_back({{handle, visible, std::move(title)}, std::move(look)});
  return handle;
}

void FakeDesktop::setLook(std::int64_t handle, Picture look) {
  std::lock_guard lock(mutex_);
  for (auto& w : windows_)
    if (w.window.handle == handle) w.look = std::move(look);
}

void FakeDesktop::closeWindow(std::int64_t handle) {
  std::lock_guard lock(mutex_);
  std::erase_if(windows_, [&](const Shown& w) { return w.window.handle == handle; });
}

void FakeDesktop::setScreen(Picture screen) {
  std::lock_guard lock(mutex_);
  screen_ = std::move(screen);
}

void FakeDesktop::setCursor(Point at) {
  std::lock_guard lock(mutex_);
  cursor_ = at;
}

int FakeDesktop::captures() const {
  std::lock_guard lock(mutex_);
  return captures_;
}

int FakeDesktop::magnifications() const {
  std::lock_guard lock(mutex_);
  return magnifications_;
}

Rect FakeDesktop::lastMagnifiedSource() const {
  std::lock_guard lock(mutex_);
  return lastSource_;
}

}  // namespace temvik::headless
