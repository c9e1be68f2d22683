#pragma once

// The queue behind Ui::post: functions handed in from any thread, run later,
// in order, on the UI thread. Both backends keep one; only the way it wakes
// the UI thread differs.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

namespace temvik {

class PostQueue {
 public:
  // Asks the UI thread to call runPending soon; true when the request went
  // out. Called with the queue's lock held, never twice while a request is
  // still outstanding, and never after close().
  using Wake = std::function<bool()>;

  explicit PostQueue(Wake wake = {}) : wake_(std::move(wake)) {}
  PostQueue(const PostQueue&) = delete;
  PostQueue& operator=(const PostQueue&) = delete;

  // Any thread. Queues `fn`; false, with `fn` dropped, once closed.
  bool post(std::function<void()> fn);

  // UI thread only. Runs, in order of posting, the functions queued when it
  // starts; what they post waits for the next call. A function that opens a
  // nested message loop (a modal window, a message box) leaves a wake-up
  // queued first, so the functions after it run inside that loop, still in
  // order. Returns how many ran.
  std::size_t runPending();

  // Any thread. Drops what is queued without running it and refuses every
  // later post. The dropped functions are destroyed on the calling thread.
  void close();

  [[nodiscard]] bool closed() const;
  [[nodiscard]] std::size_t size() const;

 private:
  void wakeLocked();

  mutable std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
  Wake wake_;
  bool wakeOutstanding_ = false;
  bool closed_ = false;
};

// A worker thread's way back to the UI thread (Ui::poster). Copies share one
// queue, so a worker may keep one longer than the Ui lives: once the Ui has
// quit or is gone, post drops the function and returns false.
class Poster {
 public:
  Poster() = default;
  explicit Poster(std::shared_ptr<PostQueue> queue) : queue_(std::move(queue)) {}
  bool post(std::function<void()> fn) const { return queue_ && queue_->post(std::move(fn)); }

 private:
  std::shared_ptr<PostQueue> queue_;
};

}  // namespace temvik
