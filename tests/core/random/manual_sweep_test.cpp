#include "core/random/manual_sweep.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace voxloom {
namespace {

TEST(ManualSweepTest, TheWholeSliderMapsOntoTheRange) {
  const struct {
    std::int32_t position, n, result;
  } cases[] = {{0, 1000, 0},
               {kManualSliderMax, 10, 9},
               {kManualSliderMax, 1, 0},
               {1073741824, 10, 5},
               {kManualSliderMax, kManualSliderMax, kManualSliderMax - 1},
               {-5, 10, 0}};
  for (const auto& c : cases) {
    const RawDraw d = drawManual(c.position, c.n);
    EXPECT_EQ(d.mapped, c.result) << c.position;
    EXPECT_EQ(d.value, static_cast<std::uint32_t>(std::max(c.position, 0))) << c.position;
  }
}

}  // namespace
}  // namespace voxloom
