#include "core/engine/cross_fade.h"

#include <algorithm>
#include <cmath>

namespace voxloom {
namespace {

// 1/p of the trapezoid percentages, as extended-precision constants.
constexpr std::array<long double, 9> kTrapezoidFactor = {10.0L,
                                                         5.0L,
                                                         3.3333333333333335L,
                                                         2.5L,
                                                         2.0L,
                                                         1.6666666666666667L,
                                                         1.4285714285714286L,
                                                         1.25L,
                                                         1.1111111111111112L};

}  // namespace

FadeGains fadeGains(int mode, double t) {
  switch (mode) {
    case static_cast<int>(FadeMode::Sine):
      return {(std::sin(3.1416 * t - 1.5708) + 1) * 0.5, (std::sin(3.1416 * t + 1.5708) + 1) * 0.5};
    case static_cast<int>(FadeMode::SineHalfWave):
      return {std::sin(1.5708 * t), std::sin(1.5708 * t + 1.5708)};
    default:
      break;
  }
  if (mode >= static_cast<int>(FadeMode::Trapezoid10) &&
      mode <= static_cast<int>(FadeMode::Trapezoid90)) {
    const long double k = kTrapezoidFactor[static_cast<std::size_t>(mode - 3)];
    const double in = static_cast<double>(std::min(k * t, 1.0L));
    return {in, 1 - in};
  }
  return {t, 1 - t};
}

}  // namespace voxloom
