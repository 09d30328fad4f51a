#pragma once

#include <functional>

namespace voxloom {

// A timer that fires once on the event loop's thread, like TimerRandomPlay. Starting it
// again replaces the pending call; cancel() is harmless when nothing is pending.
class OneShotTimer {
 public:
  virtual ~OneShotTimer() = default;
  virtual void start(int milliseconds, std::function<void()> call) = 0;
  virtual void cancel() = 0;
  virtual bool isActive() const = 0;
  // Milliseconds left until the pending call; -1 when nothing is pending.
  virtual int remainingMs() const = 0;
};

}  // namespace voxloom
