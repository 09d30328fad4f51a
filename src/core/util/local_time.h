#pragma once

namespace voxloom {

// A moment of local time, as the clock gives it.
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

}  // namespace voxloom
