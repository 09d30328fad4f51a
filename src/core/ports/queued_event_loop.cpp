#include "core/ports/queued_event_loop.h"

#include <utility>

namespace voxloom {

void QueuedEventLoop::post(std::function<void()> call) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }
  arrived_.notify_all();
}

bool QueuedEventLoop::runQueued(std::unique_lock<std::mutex>& lock) {
  bool ran = false;
  while (!calls_.empty()) {
    std::function<void()> call = std::move(calls_.front());
    calls_.pop_front();
    lock.unlock();
    call();
    ran = true;
    lock.lock();
  }
  return ran;
}

void QueuedEventLoop::processPending() {
  std::unique_lock lock(mutex_);
  runQueued(lock);
}

bool QueuedEventLoop::waitAndProcess(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  arrived_.wait_for(lock, timeout, [this] { return !calls_.empty(); });
  return runQueued(lock);
}

bool QueuedEventLoop::processUntil(const std::function<bool()>& done,
                                   std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  processPending();
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    waitAndProcess(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                   std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace voxloom
