#include "core/effects/reverse.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/core/effects/effect_signal.h"

namespace voxloom {
namespace {

using test::channelSamples;
using test::makeSignal;

TEST(ReverseSignal, MirrorsFramesAndKeepsTheMiddleOfAnOddLength) {
  AudioDocument doc;
  makeSignal(doc, 16, 1000, {1, -2, 3, -4, 5});
  doc.cues.push_back(test::cueAt(1, "a"));
  EXPECT_TRUE(reverseSignal(doc).modified);
  EXPECT_TRUE(doc.isModified);
  EXPECT_EQ(channelSamples(doc, 0), (std::vector<int>{5, -4, 3, -2, 1}));
  ASSERT_EQ(doc.cueCount(), 1);
  EXPECT_EQ(doc.cues[0].position, 1);
}

TEST(ReverseSignal, KeepsStereoChannelsApart) {
  for (int bits : {8, 16}) {
    AudioDocument doc;
    makeSignal(doc, bits, 1000, {10, 20, 30, 40}, {-1, -2, -3, -4});
    reverseSignal(doc);
    EXPECT_EQ(channelSamples(doc, 0), (std::vector<int>{40, 30, 20, 10})) << bits;
    EXPECT_EQ(channelSamples(doc, 1), (std::vector<int>{-4, -3, -2, -1})) << bits;
  }
}

TEST(ReverseSignal, TwiceGivesBackEveryByte) {
  std::mt19937 rng(3);
  for (int bits : {8, 16}) {
    for (std::size_t frames : {std::size_t{1}, std::size_t{2}, std::size_t{1001}}) {
      AudioDocument doc;
      makeSignal(doc, bits, 8000, test::randomSamples(rng, frames, bits),
                 test::randomSamples(rng, frames, bits));
      const std::vector<std::uint8_t> before(doc.samples.get(), doc.samples.get() + doc.dataBytes);
      reverseSignal(doc);
      reverseSignal(doc);
      EXPECT_EQ(std::vector<std::uint8_t>(doc.samples.get(), doc.samples.get() + doc.dataBytes),
                before);
    }
  }
}

TEST(ReverseSignal, SingleFrameStaysButCountsAsAChange) {
  AudioDocument doc;
  makeSignal(doc, 16, 1000, {1234});
  EXPECT_TRUE(reverseSignal(doc).modified);
  EXPECT_EQ(channelSamples(doc, 0), std::vector<int>{1234});
}

// A trailing partial frame is not part of the signal: reversing must neither move it
// nor shift the frames against it (which would split samples across bytes).
TEST(ReverseSignal, LeavesATrailingPartialFrameAlone) {
  AudioDocument doc;
  makeSignal(doc, 16, 1000, {100, 200, 300}, {}, 1);
  const std::uint8_t tail = doc.samples[6];
  reverseSignal(doc);
  EXPECT_EQ(channelSamples(doc, 0), (std::vector<int>{300, 200, 100}));
  EXPECT_EQ(doc.samples[6], tail);

  AudioDocument stereo;
  makeSignal(stereo, 16, 1000, {1, 2}, {-1, -2}, 2);
  reverseSignal(stereo);
  EXPECT_EQ(channelSamples(stereo, 0), (std::vector<int>{2, 1}));
  EXPECT_EQ(channelSamples(stereo, 1), (std::vector<int>{-2, -1}));
}

TEST(ReverseSignal, DoesNothingWithoutADocument) {
  AudioDocument doc;
  EXPECT_FALSE(reverseSignal(doc).modified);
  EXPECT_FALSE(doc.isModified);
}

}  // namespace
}  // namespace voxloom
