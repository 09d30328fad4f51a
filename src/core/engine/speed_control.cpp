#include "core/engine/speed_control.h"

#include <algorithm>

namespace voxloom {

int speedPercentOf(int sliderPosition) {
  const int b = SpeedControl::kPositionMax -
                std::clamp(sliderPosition, SpeedControl::kPositionMin, SpeedControl::kPositionMax);
  if (b < 50) return b + 50;
  if (b == 50) return 100;
  return 2 * b;
}

int SpeedControl::speedPercent() const {
  return speedPercentOf(sliderPosition);
}

std::string SpeedControl::labelText() const {
  return std::to_string(speedPercent()) + "%";
}

std::uint32_t playbackRateFactor(int percent) {
  return static_cast<std::uint32_t>(std::max(percent, 0) * 65536 / 100);
}

std::uint32_t speedAdjustedRate(Rate nominalRate, int percent) {
  // 64-bit: a high typed rate times 200 must not wrap.
  return static_cast<std::uint32_t>(std::int64_t{nominalRate} * percent / 100);
}

}  // namespace voxloom
