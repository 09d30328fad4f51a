#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "core/ports/event_loop.h"

namespace voxloom {

// An event loop without a window system, for the command-line program and tests. Calls
// may be posted from any thread; they run on whichever thread processes them, one at a
// time, in the order posted.
class QueuedEventLoop : public EventLoop {
 public:
  void post(std::function<void()> call) override;
  // Runs what was pending when called and what those calls post meanwhile; returns
  // once the queue is empty.
  void processPending() override;
  // Waits until a call is pending or timeout passes, then processes. Returns whether
  // anything ran.
  bool waitAndProcess(std::chrono::milliseconds timeout);
  // Processes until done() is true or timeout passes; returns done().
  bool processUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

 private:
  // Runs queued calls; the lock is released while a call runs so that it can post.
  bool runQueued(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::function<void()>> calls_;
};

}  // namespace voxloom
