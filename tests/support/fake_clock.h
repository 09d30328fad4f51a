#pragma once

#include "core/ports/clock.h"

namespace voxloom::test {

// A clock that shows whatever the test set.
class FakeClock : public Clock {
 public:
  LocalTime time{2026, 3, 14, 21, 5, 9};
  LocalTime now() override { return time; }
};

}  // namespace voxloom::test
