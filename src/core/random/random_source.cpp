#include "core/random/random_source.h"

#include <cmath>

#include "core/random/random_mapping.h"

namespace voxloom {

std::uint32_t RawDraw::fractionWord(long double x) {
  const long double scaled = std::floor(x * 4294967296.0L);
  if (!(scaled >= 0)) return 0;  // NaN too
  return scaled >= 4294967295.0L ? 0xFFFFFFFFu : static_cast<std::uint32_t>(scaled);
}

std::string rawText(const RawDraw& draw) {
  switch (draw.form) {
    case RawForm::Unsigned:
      return std::to_string(draw.value);
    case RawForm::Signed16:
      return std::to_string(static_cast<std::int16_t>(draw.value));
    case RawForm::Signed32:
      return std::to_string(static_cast<std::int32_t>(draw.value));
    case RawForm::Decimal:
      return fractalLogText(draw.fraction);
  }
  return {};
}

}  // namespace voxloom
