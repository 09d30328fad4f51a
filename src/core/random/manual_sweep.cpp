#include "core/random/manual_sweep.h"

#include "core/random/random_mapping.h"

namespace voxloom {

RawDraw drawManual(std::int32_t position, std::int32_t n) {
  // A position set from outside the slider (the command line) is held to its range.
  if (position < 0) position = 0;
  RawDraw d;
  d.mapped = scaleFrom31Bits(position, n);
  d.value = static_cast<std::uint32_t>(position);
  d.bits = 31;
  return d;
}

bool closingManualStopsPlayback(bool makingEvp, RandomSourceKind kind) {
  return makingEvp && kind == RandomSourceKind::ManualSweep;
}

}  // namespace voxloom
