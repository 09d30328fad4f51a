#include "core/effects/auto_cut.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/effects/envelope.h"
#include "tests/core/effects/effect_signal.h"

namespace voxloom {
namespace {

using test::makeSignal;

constexpr Rate kRate = 1000;  // with a 100 ms frame size: L = 100 sample frames

// A 16-bit mono signal whose envelope over `length`-frame windows is `envelope`: each
// window holds one sample of just the right peak, the rest is quiet.
void makeEnvelopeSignal(AudioDocument& doc, const std::vector<int>& envelope, Frames length = 100,
                        Frames tail = 0) {
  std::vector<int> samples(envelope.size() * static_cast<std::size_t>(length) + tail, 0);
  for (std::size_t k = 0; k < envelope.size(); ++k) {
    const int peak = envelope[k] == 100 ? -32768 : (envelope[k] * 32768 + 99) / 100;
    samples[k * static_cast<std::size_t>(length) + static_cast<std::size_t>(length) / 2] = peak;
  }
  makeSignal(doc, 16, kRate, samples);
}

AutoCutOptions manual(int threshold, int frameSizeMs = 100) {
  AutoCutOptions options;
  options.frameSizeMs = frameSizeMs;
  options.thresholdChange(threshold);
  return options;
}

TEST(AutoCut, CutsInTheQuietGapsAndDropsTheLastRegion) {
  AudioDocument doc;
  makeEnvelopeSignal(doc, {50, 10, 10, 60, 5, 70});
  doc.cues.push_back(test::cueAt(7, "old"));
  ASSERT_EQ(amplitudeEnvelope(doc, 100), (std::vector<std::uint16_t>{50, 10, 10, 60, 5, 70}));
  AutoCutOptions options = manual(30);

  EXPECT_TRUE(autoCut(doc, options).modified);
  EXPECT_TRUE(doc.isModified);
  ASSERT_EQ(doc.cueCount(), 2);
  EXPECT_EQ(doc.cues[0].position, 0);
  EXPECT_EQ(doc.cues[0].length, 250);
  EXPECT_EQ(doc.cues[0].id, 1u);
  EXPECT_EQ(doc.cues[0].label, "Auto Cue 1");
  EXPECT_EQ(doc.cues[0].purpose, "rgn");
  EXPECT_EQ(doc.cues[0].note, "");
  EXPECT_EQ(doc.cues[1].position, 250);
  EXPECT_EQ(doc.cues[1].length, 250);
  EXPECT_EQ(doc.cues[1].id, 2u);
  EXPECT_EQ(doc.cues[1].label, "Auto Cue 2");
  EXPECT_EQ(doc.texts.status[1], "Cues: 2");
  EXPECT_EQ(options.thresholdPercent, 30);
  EXPECT_FALSE(options.automatic());
}

TEST(AutoCut, ValueEqualToTheThresholdIsNotBelowIt) {
  EXPECT_TRUE(findCuts({40, 30, 40}, 30, 100).empty());
  EXPECT_EQ(findCuts({40, 29, 40}, 30, 100), std::vector<Frames>{200});
  // A rise before any fall cuts nothing; the later fall and rise still cut.
  EXPECT_EQ(findCuts({10, 50, 10, 50}, 30, 10), std::vector<Frames>{30});
  EXPECT_TRUE(findCuts({}, 30, 10).empty());
}

TEST(AutoCut, AutomaticThresholdIsTheMeanAndStaysAutomatic) {
  AudioDocument doc;
  makeEnvelopeSignal(doc, {10, 20, 31});
  AutoCutOptions options;
  options.frameSizeMs = 100;
  ASSERT_TRUE(options.automatic());
  EXPECT_TRUE(autoCut(doc, options).modified);
  EXPECT_EQ(options.thresholdPercent, 20);
  EXPECT_TRUE(options.automatic());
  EXPECT_EQ(doc.cueCount(), 0);  // only a rise at frame 2
}

TEST(AutoCut, NoCrossingLeavesNoCuesButStillModifies) {
  for (const std::vector<int>& envelope :
       {std::vector<int>{80, 90, 80, 70}, std::vector<int>{5, 0, 10, 5}}) {
    AudioDocument doc;
    makeEnvelopeSignal(doc, envelope);
    doc.cues.push_back(test::cueAt(1, "kept?"));
    doc.texts.status[1] = "Cues: 1";
    AutoCutOptions options = manual(30);
    EXPECT_TRUE(autoCut(doc, options).modified);
    EXPECT_EQ(doc.cueCount(), 0);
    EXPECT_EQ(doc.texts.status[1], "Cues: 0");
  }
}

TEST(AutoCut, ManyCutsGrowTheCueArrayAndKeepEveryLabel) {
  std::vector<int> envelope;
  for (int i = 0; i < 300; ++i) envelope.insert(envelope.end(), {50, 10});
  envelope.push_back(50);
  AudioDocument doc;
  makeEnvelopeSignal(doc, envelope, 10);
  AutoCutOptions options = manual(30, 10);
  autoCut(doc, options);
  ASSERT_EQ(doc.cueCount(), 300);
  EXPECT_EQ(doc.cues.capacity(), 512u);  // 128, doubled twice
  for (int n = 0; n < 300; ++n) {
    const CuePoint& cue = doc.cues[static_cast<std::size_t>(n)];
    ASSERT_EQ(cue.label, "Auto Cue " + std::to_string(n + 1));
    ASSERT_EQ(cue.id, static_cast<std::uint32_t>(n + 1));
    // fall at 2n+1, rise at 2n+2: cut at 10 x (4n+3) / 2 + 5
    ASSERT_EQ(cue.position, n == 0 ? 0 : 10 * (4 * (n - 1) + 3) / 2 + 5);
    ASSERT_EQ(cue.length, 10 * (4 * n + 3) / 2 + 5 - cue.position);
  }
  EXPECT_EQ(doc.texts.status[1], "Cues: 300");
}

TEST(AutoCut, EnvelopeOfStereoAndEightBitSignals) {
  AudioDocument stereo;
  makeSignal(stereo, 16, kRate, {-32768, 0, 100}, {0, -32768, -100});
  EXPECT_EQ(amplitudeEnvelope(stereo, 1), (std::vector<std::uint16_t>{50, 50, 0}));
  EXPECT_EQ(amplitudeEnvelope(stereo, 2), (std::vector<std::uint16_t>{50}));

  AudioDocument eight;
  makeSignal(eight, 8, kRate, {-128, 127, 64, -63, 1});
  EXPECT_EQ(amplitudeEnvelope(eight, 1), (std::vector<std::uint16_t>{100, 99, 50, 49, 0}));
  EXPECT_EQ(meanEnvelope({10, 20, 31}), 20);
}

TEST(AutoCut, ShortSignalsAndTinyFramesChangeNothing) {
  AudioDocument doc;
  makeEnvelopeSignal(doc, {50, 10}, 100);  // 200 frames
  doc.cues.push_back(test::cueAt(5));
  AutoCutOptions options;     // automatic
  options.frameSizeMs = 201;  // one frame longer than the signal
  EXPECT_FALSE(autoCut(doc, options).modified);
  EXPECT_EQ(doc.cueCount(), 1);
  EXPECT_EQ(options.thresholdPercent, 30);  // no automatic threshold was taken
  EXPECT_TRUE(options.automatic());

  doc.format.samplesPerSec = 999;  // 1 ms gives less than one sample frame
  options.frameSizeMs = 1;
  EXPECT_FALSE(autoCut(doc, options).modified);
  EXPECT_FALSE(doc.isModified);
  EXPECT_EQ(doc.cueCount(), 1);
}

TEST(AutoCut, FrameLengthUsesTheFormatRateAndIgnoresTheRemainder) {
  AudioDocument doc;
  // 50 ms frames at the format's (speed-adjusted) 2000 Hz: L = 100, as the signal was
  // built; nominalRate would give 50.
  makeEnvelopeSignal(doc, {50, 10, 50}, 100, 99);
  doc.format.samplesPerSec = 2000;
  EXPECT_EQ(envelopeFrameLength(doc, 50), 100);
  EXPECT_EQ(amplitudeEnvelope(doc, 100).size(), 3u);
  AutoCutOptions options = manual(30, 50);
  autoCut(doc, options);
  ASSERT_EQ(doc.cueCount(), 1);
  EXPECT_EQ(doc.cues[0].length, 100 * 3 / 2 + 50);
}

}  // namespace
}  // namespace voxloom
