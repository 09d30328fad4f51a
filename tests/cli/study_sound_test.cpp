#include "cli/study_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "tests/support/riff_builder.h"

namespace voxloom::cli {
namespace {

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

// Frame f of a block of `sound`, as a vector of its channels.
std::vector<std::int16_t> frameAt(const RunSound& s, std::int64_t f) {
  const auto at = s.samples.begin() + f * s.channels;
  return {at, at + s.channels};
}

TEST(StudySound, RunsFollowTheirSeedAloneAndTheReversedControlPlaysEachBlockBackwards) {
  struct Case {
    const char* name;
    std::string input;
    EvpShapeOptions shape;
  };
  EvpShapeOptions faded;
  faded.fadeMode = 1;
  const std::string stereo8 =
      test::writeTempFile("study_stereo8.wav", test::simpleWav(2, 8, 8000, 32000));
  const std::vector<Case> cases = {
      {"demo", kDemo, {}},
      {"demo, sine cross-fade", kDemo, faded},
      {"stereo 8-bit", stereo8, {}},
  };
  for (const Case& c : cases) {
    EvpArm arm(SourceOptions{}, c.shape);
    std::string usage;
    ASSERT_TRUE(arm.open(c.input, usage)) << c.name << usage;
    std::vector<std::int64_t> blocks;
    const RunSound forward = arm.render(7, 1.0, false, &blocks);
    ASSERT_EQ(forward.error, "") << c.name;
    ASSERT_GT(blocks.size(), 2u) << c.name;
    ASSERT_EQ(std::accumulate(blocks.begin(), blocks.end(), std::int64_t{0}) * forward.channels,
              static_cast<std::int64_t>(forward.samples.size()))
        << c.name;

    // Made after other runs, a run is made as it is made first: shards make it alike.
    EXPECT_NE(arm.render(8, 1.0, false).samples, forward.samples) << c.name;
    EXPECT_EQ(arm.render(7, 1.0, false).samples, forward.samples) << c.name;

    std::vector<std::int64_t> reversedBlocks;
    const RunSound reversed = arm.render(7, 1.0, true, &reversedBlocks);
    EXPECT_EQ(reversedBlocks, blocks) << c.name;
    ASSERT_EQ(reversed.samples.size(), forward.samples.size()) << c.name;
    EXPECT_NE(reversed.samples, forward.samples) << c.name;
    std::int64_t start = 0;
    for (const std::int64_t length : blocks) {
      for (std::int64_t f = 0; f < length; ++f) {
        ASSERT_EQ(frameAt(reversed, start + f), frameAt(forward, start + length - 1 - f))
            << c.name << ", block at frame " << start;
      }
      start += length;
    }
  }
}

}  // namespace
}  // namespace voxloom::cli
