#include "core/effects/echo.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/core/effects/effect_signal.h"

namespace voxloom {
namespace {

using test::channelSamples;
using test::makeSignal;

// The echo exactly as stated: one sample at a time through sampleAt/putSample.
void literalEcho(AudioDocument& doc, int delayMs, int decay) {
  Frames a = doc.nominalRate * delayMs / 1000;
  if (a > doc.frameCount) a = doc.frameCount;
  const int channels = doc.format.channels;
  for (int ch = 0; ch < channels; ++ch) {
    std::uint8_t* base = doc.channelBase(ch);
    for (Frames i = a; i < doc.frameCount; ++i) {
      doc.putSample(base, i, doc.sampleAt(base, i) + doc.sampleAt(base, i - a) * decay / 100);
    }
  }
}

TEST(AddEcho, ImpulseRepeatsEveryDelayHalvingWithTruncation) {
  for (int bits : {16, 8}) {
    const int impulse = bits == 16 ? 16000 : 120;
    std::vector<int> left(1600, 0);
    left[0] = impulse;
    AudioDocument doc;
    makeSignal(doc, bits, 1000, left, std::vector<int>(1600, 0));
    EXPECT_TRUE(addEcho(doc, 100, 50).modified);
    const std::vector<int> out = channelSamples(doc, 0);
    int expected = impulse;
    for (Frames i = 0; i < 1600; ++i) {
      if (i % 100 == 0) {
        EXPECT_EQ(out[i], expected) << "bits " << bits << " frame " << i;
        expected = expected * 50 / 100;
      } else {
        EXPECT_EQ(out[i], 0) << "bits " << bits << " frame " << i;
      }
    }
    if (bits == 16) {
      EXPECT_EQ(out[100], 8000);
      EXPECT_EQ(out[300], 2000);
      EXPECT_EQ(out[800], 62);  // 125 x 50 / 100 truncates
    }
    EXPECT_EQ(channelSamples(doc, 1), std::vector<int>(1600, 0)) << "right must not echo left";
  }
}

TEST(AddEcho, NoAudibleChangeStillCountsAsModified) {
  std::mt19937 rng(5);
  const std::vector<int> signal = test::randomSamples(rng, 900, 16);
  AudioDocument decayZero;
  makeSignal(decayZero, 16, 1000, signal);
  EXPECT_TRUE(addEcho(decayZero, 100, 0).modified);
  EXPECT_EQ(channelSamples(decayZero, 0), signal);
  EXPECT_TRUE(decayZero.isModified);

  AudioDocument shortSignal;  // 0.9 s with a 1000 ms delay
  makeSignal(shortSignal, 16, 1000, signal);
  EXPECT_EQ(echoDelayFrames(shortSignal, 1000), 900);
  EXPECT_TRUE(addEcho(shortSignal, 1000, 100).modified);
  EXPECT_EQ(channelSamples(shortSignal, 0), signal);
}

TEST(AddEcho, ZeroDelayAmplifiesAndSaturates) {
  AudioDocument doc;
  makeSignal(doc, 16, 1000, {100, -3, 20000, -20000, -32768});
  addEcho(doc, 0, 50);
  EXPECT_EQ(channelSamples(doc, 0), (std::vector<int>{150, -4, 30000, -30000, -32768}));

  AudioDocument eight;
  makeSignal(eight, 8, 1000, {100, -100, 3});
  addEcho(eight, 0, 100);
  EXPECT_EQ(channelSamples(eight, 0), (std::vector<int>{127, -128, 6}));
}

TEST(AddEcho, SaturatesAtBothLimitsInLongSignals) {
  AudioDocument doc;
  std::vector<int> left(4000, 30000);
  std::vector<int> right(4000, -32768);
  makeSignal(doc, 16, 1000, left, right);
  addEcho(doc, 10, 100);
  const std::vector<int> l = channelSamples(doc, 0);
  const std::vector<int> r = channelSamples(doc, 1);
  EXPECT_EQ(l[9], 30000);
  EXPECT_EQ(l[10], 32767);
  EXPECT_EQ(l[3999], 32767);
  EXPECT_EQ(r[3999], -32768);
}

// Every delay and decay, both widths, mono and stereo, lengths that leave partial
// blocks: the result must equal the sample-by-sample statement of the echo.
TEST(AddEcho, MatchesTheSampleBySampleEchoOnRandomSignals) {
  std::mt19937 rng(11);
  for (int bits : {8, 16}) {
    for (bool stereo : {false, true}) {
      for (int delay : {0, 1, 3, 4, 7, 37, 250, 1000}) {
        for (int decay : {0, 1, 33, 50, 99, 100}) {
          const std::size_t frames = 300 + rng() % 40;
          const auto left = test::randomSamples(rng, frames, bits);
          const auto right = stereo ? test::randomSamples(rng, frames, bits) : std::vector<int>{};
          AudioDocument fast;
          AudioDocument literal;
          makeSignal(fast, bits, 1000, left, right);
          makeSignal(literal, bits, 1000, left, right);
          addEcho(fast, delay, decay);
          literalEcho(literal, delay, decay);
          ASSERT_EQ(
              std::vector<std::uint8_t>(fast.samples.get(), fast.samples.get() + fast.dataBytes),
              std::vector<std::uint8_t>(literal.samples.get(),
                                        literal.samples.get() + literal.dataBytes))
              << "bits " << bits << " stereo " << stereo << " delay " << delay << " decay "
              << decay;
        }
      }
    }
  }
}

// Every 16-bit value as the delayed sample: the echo term is value x decay / 100
// truncated toward zero, for decays where a rounding shortcut would slip.
TEST(AddEcho, EchoTermIsExactForEverySixteenBitValue) {
  std::vector<int> signal(2 * 65536, 0);
  for (int v = -32768; v < 32768; ++v) signal[static_cast<std::size_t>(v + 32768)] = v;
  for (int decay : {1, 7, 33, 50, 67, 99, 100}) {
    AudioDocument doc;
    makeSignal(doc, 16, 65536, signal);
    addEcho(doc, 1000, decay);  // exactly 65536 frames back
    const std::vector<int> out = channelSamples(doc, 0);
    for (int v = -32768; v < 32768; ++v) {
      ASSERT_EQ(out[static_cast<std::size_t>(v + 32768 + 65536)], v * decay / 100)
          << "value " << v << " decay " << decay;
    }
  }
}

TEST(AddEcho, OutOfRangeParametersStayWithinTheSignal) {
  AudioDocument doc;
  makeSignal(doc, 16, 1000, {1000, 2000, 3000});
  addEcho(doc, -50, 100000);  // treated as no delay; the huge decay just saturates
  EXPECT_EQ(channelSamples(doc, 0), (std::vector<int>{32767, 32767, 32767}));
  AudioDocument empty;
  EXPECT_FALSE(addEcho(empty, 100, 50).modified);
}

}  // namespace
}  // namespace voxloom
