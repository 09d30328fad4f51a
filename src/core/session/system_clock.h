#pragma once

#include "core/ports/clock.h"

namespace voxloom {

// The computer's local time.
class SystemClock : public Clock {
 public:
  LocalTime now() override;
};

}  // namespace voxloom
