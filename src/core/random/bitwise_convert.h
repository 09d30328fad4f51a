#pragma once

#include <cstdint>
#include <span>

namespace voxloom {

// Folds 32 raw values into one word: each bit tells whether its value rose (1), fell (0)
// or stayed (previous bit kept) against the value before it. The first value becomes
// the most significant bit and is compared with `previous`, the last value of the
// previous call, which is updated here.
std::uint32_t bitwiseConvert(std::span<const std::int16_t, 32> values, std::int32_t& previous);
std::uint32_t bitwiseConvert(std::span<const long double, 32> values, long double& previous);

}  // namespace voxloom
