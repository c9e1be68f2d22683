#include "platform/post_queue.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace temvik {
namespace {

// A UI thread in miniature: a wake-up is a message in its queue, and it
// runs the posted functions only when it takes one.
class MessageLoop {
 public:
  PostQueue::Wake wake() {
    return [this] {
      std::lock_guard lock(mutex_);
      if (queuedWakes_ > 0) doubleWake_ = true;  // coalescing broken
      ++queuedWakes_;
      ++wakes_;
      ready_.notify_one();
      return true;
    };
  }
  // Takes one wake-up, waiting at most `timeout`; false when none came.
  bool take(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, timeout, [&] { return queuedWakes_ > 0; })) return false;
    --queuedWakes_;
    return true;
  }
  [[nodiscard]] bool doubleWake() const {
    std::lock_guard lock(mutex_);
    return doubleWake_;
  }
  [[nodiscard]] int wakes() const {
    std::lock_guard lock(mutex_);
    return wakes_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  int queuedWakes_ = 0;
  int wakes_ = 0;
  bool doubleWake_ = false;
};

TEST(PostQueueTest, PostsFromManyThreadsAllRunInTheirOrderOnTheLoopThread) {
  constexpr int kThreads = 4, kEach = 5000;
  MessageLoop loop;
  PostQueue queue(loop.wake());
  std::vector<std::pair<int, int>> ran;  // touched by the loop thread only
  std::atomic<bool> foreignThread{false};
  std::thread::id loopThread;

  std::thread ui([&] {
    loopThread = std::this_thread::get_id();
    // Every function is reached through wake-ups alone; a lost one stalls.
    while (ran.size() < static_cast<std::size_t>(kThreads * kEach)) {
      if (!loop.take(std::chrono::seconds(10))) return;
      queue.runPending();
    }
  });
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t)
    workers.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i)
        ASSERT_TRUE(queue.post([&, t, i] {
          if (std::this_thread::get_id() != loopThread) foreignThread = true;
          ran.emplace_back(t, i);
        }));
    });
  for (auto& w : workers) w.join();
  ui.join();

  ASSERT_EQ(ran.size(), static_cast<std::size_t>(kThreads * kEach)) << "a wake-up was lost";
  std::vector<int> next(kThreads, 0);
  for (const auto& [t, i] : ran) {
    ASSERT_EQ(i, next[static_cast<std::size_t>(t)]) << "thread " << t << " out of order";
    ++next[static_cast<std::size_t>(t)];
  }
  EXPECT_FALSE(foreignThread);
  EXPECT_FALSE(loop.doubleWake()) << "a second wake-up while one was waiting";
  EXPECT_LT(loop.wakes(), kThreads * kEach) << "wake-ups are not shared";
}

TEST(PostQueueTest, WhatAFunctionPostsWaitsForTheNextRound) {
  PostQueue queue;
  std::vector<std::string> log;
  queue.post([&] {
    log.push_back("a");
    queue.post([&] { log.push_back("a2"); });
    log.push_back("a done");
  });
  queue.post([&] { log.push_back("b"); });
  EXPECT_TRUE(log.empty()) << "posting never runs anything";
  EXPECT_EQ(queue.runPending(), 2u);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "a done", "b"}));
  EXPECT_EQ(queue.runPending(), 1u);
  EXPECT_EQ(log.back(), "a2");
  EXPECT_EQ(queue.runPending(), 0u);
}

TEST(PostQueueTest, FunctionsAfterOneThatRunsANestedLoopRunInsideItInOrder) {
  bool wakeQueued = false;
  PostQueue queue([&] {
    wakeQueued = true;
    return true;
  });
  std::vector<std::string> log;
  // A modal window's loop takes the wake-up that is waiting.
  const auto nestedLoop = [&] {
    while (wakeQueued) {
      wakeQueued = false;
      queue.runPending();
    }
  };
  queue.post([&] {
    log.push_back("modal opens");
    nestedLoop();
    log.push_back("modal closed");
  });
  queue.post([&] { log.push_back("b"); });
  queue.post([&] { log.push_back("c"); });
  ASSERT_TRUE(wakeQueued);
  wakeQueued = false;
  queue.runPending();
  EXPECT_EQ(log, (std::vector<std::string>{"modal opens", "b", "c", "modal closed"}));
}

TEST(PostQueueTest, FailedWakeUpIsAskedForAgainByTheNextPost) {
  int asked = 0;
  bool accept = false;
  PostQueue queue([&] {
    ++asked;
    return accept;
  });
  queue.post([] {});
  accept = true;
  queue.post([] {});
  EXPECT_EQ(asked, 2);
  queue.post([] {});
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(queue.runPending(), 3u);
}

// Posts from its destructor, as a capture may when it is dropped.
struct PostsWhenDropped {
  PostQueue* queue;
  bool* posted;
  ~PostsWhenDropped() {
    *posted = queue->post([] {});
  }
};

TEST(PostQueueTest, CloseDropsWhatWaitsAndRefusesLaterPostsWithoutDeadlock) {
  PostQueue queue([] { return true; });
  bool ran = false;
  bool postedWhileDropped = true;
  auto capture = std::make_shared<PostsWhenDropped>(&queue, &postedWhileDropped);
  queue.post([&ran, c = std::move(capture)] { ran = true; });
  queue.close();  // destroys the capture, which posts: refused, not deadlocked
  EXPECT_FALSE(postedWhileDropped);
  EXPECT_TRUE(queue.closed());
  EXPECT_EQ(queue.size(), 0u);

  bool postedFromRefused = true;
  auto refused = std::make_shared<PostsWhenDropped>(&queue, &postedFromRefused);
  // The refused function, and so its capture, goes inside post.
  EXPECT_FALSE(queue.post([&ran, r = std::move(refused)] { ran = true; }));
  EXPECT_FALSE(postedFromRefused);
  EXPECT_EQ(queue.runPending(), 0u);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace temvik
