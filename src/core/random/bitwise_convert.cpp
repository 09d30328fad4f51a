#include "core/random/bitwise_convert.h"

namespace voxloom {
namespace {

template <typename Value, typename Previous>
std::uint32_t foldTrend(std::span<const Value, 32> values, Previous& previous) {
  std::uint32_t word = 0;
  std::uint32_t bit = 0;
  for (const Value v : values) {
    word <<= 1;
    if (v > previous) {
      bit = 1;
    } else if (v < previous) {
      bit = 0;
    }
    word |= bit;
    previous = v;
  }
  return word;
}

}  // namespace

std::uint32_t bitwiseConvert(std::span<const std::int16_t, 32> values, std::int32_t& previous) {
  return foldTrend(values, previous);
}

std::uint32_t bitwiseConvert(std::span<const long double, 32> values, long double& previous) {
  return foldTrend(values, previous);
}

}  // namespace voxloom
