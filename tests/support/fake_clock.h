#pragma once

#include <cstdint>

#include "core/ports/clock.h"

namespace voxloom::test {

// A clock that shows whatever the test set. The steady clock moves on by `steadyStep`
// every time it is read, so a wait on it ends without real time passing.
class FakeClock : public Clock {
 public:
  LocalTime time{2026, 3, 14, 21, 5, 9};
  std::int64_t steady = 0;
  std::int64_t steadyStep = 1000;
  int steadyReads = 0;

  LocalTime now() override { return time; }
  std::int64_t steadyNanoseconds() override {
    ++steadyReads;
    const std::int64_t t = steady;
    steady += steadyStep;
    return t;
  }
};

}  // namespace voxloom::test
