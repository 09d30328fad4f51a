#include "core/random/manual_sweep.h"

#include <string>

#include "core/random/random_mapping.h"

namespace voxloom {

std::int32_t drawManual(std::int32_t position, std::int32_t n, RandomLog& log) {
  // A position set from outside the slider (the command line) is held to its range.
  if (position < 0) position = 0;
  if (log.wanted()) log.logRandomValue(std::to_string(position));
  return scaleFrom31Bits(position, n);
}

bool closingManualStopsPlayback(bool makingEvp, RandomSourceKind kind) {
  return makingEvp && kind == RandomSourceKind::ManualSweep;
}

}  // namespace voxloom
