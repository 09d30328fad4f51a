#pragma once

#include "core/session/session_stamp.h"

namespace voxloom {

// The local date and time; tests set it by hand.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime now() = 0;
};

}  // namespace voxloom
