#include "platform/post_queue.h"

#include <utility>

namespace temvik {

void PostQueue::wakeLocked() {
  if (wakeOutstanding_ || closed_) return;
  // A failed request is asked for again by the next post.
  wakeOutstanding_ = !wake_ || wake_();
}

bool PostQueue::post(std::function<void()> fn) {
  if (!fn) return false;
  {
    std::lock_guard lock(mutex_);
    if (!closed_) {
      queue_.push_back(std::move(fn));
      wakeLocked();
      return true;
    }
  }
  return false;  // `fn` goes here, outside the lock: its captures may post
}

std::size_t PostQueue::runPending() {
  std::size_t budget = 0;
  std::size_t ran = 0;
  bool first = true;
  for (;;) {
    std::function<void()> fn;
    {
      std::lock_guard lock(mutex_);
      if (first) {
        wakeOutstanding_ = false;  // this is the call the last wake-up asked for
        budget = queue_.size();
        first = false;
      }
      if (ran == budget || queue_.empty()) return ran;
      fn = std::move(queue_.front());
      queue_.pop_front();
      // Should `fn` run a nested loop, the rest must not wait for it to end.
      if (!queue_.empty()) wakeLocked();
    }
    ++ran;
    fn();
  }
}

void PostQueue::close() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(queue_);
  }
}

bool PostQueue::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

std::size_t PostQueue::size() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

}  // namespace temvik
