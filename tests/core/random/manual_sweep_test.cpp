#include "core/random/manual_sweep.h"

#include <gtest/gtest.h>

namespace voxloom {
namespace {

TEST(ManualSweepTest, TheWholeSliderMapsOntoTheRange) {
  RandomLog log;
  const struct {
    std::int32_t position, n, result;
  } cases[] = {{0, 1000, 0},
               {kManualSliderMax, 10, 9},
               {kManualSliderMax, 1, 0},
               {1073741824, 10, 5},
               {kManualSliderMax, kManualSliderMax, kManualSliderMax - 1},
               {-5, 10, 0}};
  for (const auto& c : cases) EXPECT_EQ(drawManual(c.position, c.n, log), c.result) << c.position;
}

}  // namespace
}  // namespace voxloom
