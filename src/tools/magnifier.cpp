#include "tools/magnifier.h"

#include <chrono>
#include <cmath>

namespace temvik {

MagnifierArea magnifierArea(Point cursor, int viewWidth, int viewHeight, float zoom) {
  const int sw = static_cast<int>(std::trunc(viewWidth / zoom));
  const int sh = static_cast<int>(std::trunc(viewHeight / zoom));
  const int x = static_cast<int>(std::trunc(cursor.x - sw / 2.0));
  const int y = static_cast<int>(std::trunc(cursor.y - sh / 2.0));
  return {{x, y, sw, sh}, {viewWidth / 2, viewHeight / 2}};
}

void Magnifier::start(int viewWidth, int viewHeight, float zoom, Show show) {
  stop();
  show_ = std::make_shared<Show>(std::move(show));
  stopping_ = false;
  worker_ =
      std::thread(&Magnifier::run, this, viewWidth, viewHeight, zoom, std::weak_ptr<Show>(show_));
}

void Magnifier::stop() {
  if (worker_.joinable()) {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
  }
  show_.reset();
}

void Magnifier::run(int viewWidth, int viewHeight, float zoom, std::weak_ptr<Show> show) {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    lock.unlock();
    const MagnifierArea area =
        magnifierArea(desktop_.cursorPosition(), viewWidth, viewHeight, zoom);
    Picture view = desktop_.magnify(area.source, viewWidth, viewHeight, area.cursorAt);
    // The weak pointer is only copied here; it is looked at on the UI thread.
    poster_.post([show, view = std::move(view)]() mutable {
      if (auto target = show.lock()) (*target)(std::move(view));
    });
    lock.lock();
    wake_.wait_for(lock, std::chrono::milliseconds(kCycleMs), [&] { return stopping_; });
  }
}

}  // namespace temvik
