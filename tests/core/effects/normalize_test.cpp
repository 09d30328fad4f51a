#include "core/effects/normalize.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/core/effects/effect_signal.h"

namespace voxloom {
namespace {

using test::channelSamples;
using test::makeSignal;

TEST(NormalizeSignal, ScalesTheLargerExcursionToFullScale) {
  AudioDocument eight;
  makeSignal(eight, 8, 8000, {-64, 32, 0, 1});
  EXPECT_TRUE(normalizeSignal(eight).modified);
  EXPECT_EQ(channelSamples(eight, 0), (std::vector<int>{-127, 63, 0, 1}));

  AudioDocument positive;
  makeSignal(positive, 16, 8000, {1000, -500, 3, -1000});
  normalizeSignal(positive);
  EXPECT_EQ(channelSamples(positive, 0), (std::vector<int>{32767, -16383, 98, -32767}));
}

TEST(NormalizeSignal, NegativeLimitCountsOneStepMore) {
  AudioDocument doc;
  makeSignal(doc, 16, 8000, {-32768, 16384, 32767});
  EXPECT_EQ(signalPeak(doc), 32768);
  normalizeSignal(doc);
  EXPECT_EQ(channelSamples(doc, 0), (std::vector<int>{-32767, 16383, 32766}));

  AudioDocument eight;
  makeSignal(eight, 8, 8000, {-128, 127});
  normalizeSignal(eight);
  EXPECT_EQ(channelSamples(eight, 0), (std::vector<int>{-127, 126}));
}

TEST(NormalizeSignal, StereoSharesOnePeak) {
  AudioDocument doc;
  makeSignal(doc, 16, 8000, {100, -50}, {-200, 10});
  normalizeSignal(doc);
  EXPECT_EQ(channelSamples(doc, 0), (std::vector<int>{16383, -8191}));
  EXPECT_EQ(channelSamples(doc, 1), (std::vector<int>{-32767, 1638}));
}

TEST(NormalizeSignal, SilenceAndEmptySignalsStayUnmodified) {
  for (int bits : {8, 16}) {
    AudioDocument silent;
    makeSignal(silent, bits, 8000, std::vector<int>(100, 0));
    EXPECT_FALSE(normalizeSignal(silent).modified);
    EXPECT_FALSE(silent.isModified);
    EXPECT_EQ(channelSamples(silent, 0), std::vector<int>(100, 0));

    AudioDocument empty;
    makeSignal(empty, bits, 8000, {}, {}, bits == 16 ? 1 : 0);  // no whole frame
    EXPECT_FALSE(normalizeSignal(empty).modified);
  }
  AudioDocument none;
  EXPECT_FALSE(normalizeSignal(none).modified);
}

// Every value within the peak, for peaks where a rounding shortcut would slip: the
// result is value x 32767 / peak truncated toward zero. Odd counts leave a tail.
TEST(NormalizeSignal, IsExactForEveryValueWithinThePeak) {
  for (int peak : {1, 2, 3, 7, 100, 255, 12345, 16384, 32767, 32768}) {
    std::vector<int> signal;
    for (int v = -peak; v <= std::min(peak, 32767); ++v) signal.push_back(v);
    AudioDocument doc;
    makeSignal(doc, 16, 8000, signal);
    normalizeSignal(doc);
    const std::vector<int> out = channelSamples(doc, 0);
    for (std::size_t i = 0; i < signal.size(); ++i) {
      ASSERT_EQ(out[i], signal[i] * 32767 / peak) << "value " << signal[i] << " peak " << peak;
    }
  }
}

TEST(NormalizeSignal, LeavesTrailingBytesAndCuesAlone) {
  AudioDocument doc;
  makeSignal(doc, 16, 8000, std::vector<int>(21, 1000), {}, 1);
  doc.cues.push_back(test::cueAt(3));
  const std::uint8_t tail = doc.samples[42];
  normalizeSignal(doc);
  EXPECT_EQ(doc.samples[42], tail);
  EXPECT_EQ(channelSamples(doc, 0), std::vector<int>(21, 32767));
  EXPECT_EQ(doc.cues[0].position, 3);
}

}  // namespace
}  // namespace voxloom
