#pragma once

#include <chrono>
#include <cstdint>

#include "core/util/local_time.h"

namespace voxloom {

// The local date and time, and a steady clock for timing; tests set both by hand.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime now() = 0;
  // Nanoseconds of a monotonic clock that never jumps; only differences mean anything.
  virtual std::int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace voxloom
