#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/desktop.h"
#include "platform/post_queue.h"

namespace temvik {

// Where a magnifier of a view of `viewWidth` × `viewHeight` at `zoom`
// takes its screen pixels from for the pointer at `cursor`, and where in
// the view the pointer is drawn.
struct MagnifierArea {
  Rect source;     // the screen pixels, the pointer in the middle
  Point cursorAt;  // the pointer's top-left corner in the view
  friend bool operator==(const MagnifierArea&, const MagnifierArea&) = default;
};
[[nodiscard]] MagnifierArea magnifierArea(Point cursor, int viewWidth, int viewHeight, float zoom);

// A worker thread that shows the screen round the pointer, enlarged, every
// 200 ms. It draws into a picture of its own (Desktop::magnify) and hands
// the picture to the UI thread through the poster, so it never touches a
// window or a device context the UI thread uses.
class Magnifier {
 public:
  static constexpr int kCycleMs = 200;
  // Runs on the UI thread with each new view.
  using Show = std::function<void(Picture)>;

  Magnifier(Desktop& desktop, Poster poster) : desktop_(desktop), poster_(std::move(poster)) {}
  ~Magnifier() { stop(); }
  Magnifier(const Magnifier&) = delete;
  Magnifier& operator=(const Magnifier&) = delete;

  // UI thread. Starts the worker; a running one is stopped first.
  void start(int viewWidth, int viewHeight, float zoom, Show show);
  // UI thread. Tells the worker to end and waits for it: it looks at the
  // flag once a cycle and is woken from its pause, so this waits at most
  // one view's drawing. Views still on their way are dropped.
  void stop();
  [[nodiscard]] bool running() const { return worker_.joinable(); }

 private:
  void run(int viewWidth, int viewHeight, float zoom, std::weak_ptr<Show> show);

  Desktop& desktop_;
  Poster poster_;
  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::shared_ptr<Show> show_;  // UI thread only; the posts hold weak ones
};

}  // namespace temvik
