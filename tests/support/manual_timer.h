#pragma once

#include <functional>
#include <utility>

#include "core/ports/timer.h"

namespace voxloom::test {

// A timer the test fires by hand; it remembers the interval it was started with.
class ManualTimer : public OneShotTimer {
 public:
  int startedMs = -1;
  int starts = 0;
  int elapsedMs = 0;  // time the test lets pass; start() resets it

  void start(int milliseconds, std::function<void()> call) override {
    startedMs = milliseconds;
    elapsedMs = 0;
    ++starts;
    call_ = std::move(call);
  }
  void cancel() override { call_ = nullptr; }
  bool isActive() const override { return static_cast<bool>(call_); }
  int remainingMs() const override {
    return call_ ? (startedMs > elapsedMs ? startedMs - elapsedMs : 0) : -1;
  }

  // Fires the pending call, if any; returns whether one ran.
  bool fire() {
    auto call = std::move(call_);
    call_ = nullptr;
    if (!call) return false;
    call();
    return true;
  }

 private:
  std::function<void()> call_;
};

}  // namespace voxloom::test
