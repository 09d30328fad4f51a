#pragma once

#include <QTimer>
#include <functional>

#include "core/ports/timer.h"

namespace voxloom {

// A single-shot QTimer on the main thread.
class QtOneShotTimer : public OneShotTimer {
 public:
  QtOneShotTimer();
  void start(int milliseconds, std::function<void()> call) override;
  void cancel() override;
  bool isActive() const override { return timer_.isActive(); }
  int remainingMs() const override { return timer_.remainingTime(); }

 private:
  QTimer timer_;
  std::function<void()> call_;
};

}  // namespace voxloom
