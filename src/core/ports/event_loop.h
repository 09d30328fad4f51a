#pragma once

#include <functional>

namespace voxloom {

// The one user-interface thread's message loop.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Queues a call to run on the loop's thread; safe to call from any thread.
  virtual void post(std::function<void()> call) = 0;
  // Runs what is pending now (the original's "pump the message loop").
  virtual void processPending() = 0;
};

}  // namespace voxloom
