#include "core/view/signal_summary.h"

#include <gtest/gtest.h>

#include <random>

#include "core/view/signal_view.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

// What a summary entry must hold: the extremes of a direct scan, rounded outwards.
MinMax directScan(const SampleSource& s, std::int64_t first, std::int64_t end, int channel) {
  int lo = 32767;
  int hi = -32768;
  for (std::int64_t f = first; f < std::min<std::int64_t>(end, s.frameCount); ++f) {
    lo = std::min(lo, s.sample(static_cast<Frames>(f), channel));
    hi = std::max(hi, s.sample(static_cast<Frames>(f), channel));
  }
  return {static_cast<std::int8_t>(lo >> 8),
          static_cast<std::int8_t>(std::min((hi + 255) >> 8, 127))};
}

void expectMatchesScan(const SignalSummary& summary, const SampleSource& s) {
  ASSERT_TRUE(summary.complete());
  for (int k = 0; k < summary.levelCount(); ++k) {
    const std::int64_t per = SignalSummary::framesPerEntry(k);
    ASSERT_EQ(summary.entryCount(k), static_cast<std::size_t>((s.frameCount + per - 1) / per));
    for (std::size_t i = 0; i < summary.entryCount(k); ++i) {
      for (int c = 0; c < s.channels; ++c) {
        const MinMax want = directScan(s, static_cast<std::int64_t>(i) * per,
                                       static_cast<std::int64_t>(i + 1) * per, c);
        const MinMax got = summary.entry(k, i, c);
        ASSERT_EQ(got.min, want.min) << "level " << k << " entry " << i << " channel " << c;
        ASSERT_EQ(got.max, want.max) << "level " << k << " entry " << i << " channel " << c;
      }
    }
  }
}

std::vector<int> randomSamples(std::size_t n, int bits, unsigned seed) {
  std::mt19937 rng(seed);
  const int limit = bits == 8 ? 128 : 32768;
  std::uniform_int_distribution<int> any(-limit, limit - 1);
  std::uniform_int_distribution<int> quiet(-300, 300);
  std::vector<int> v(n);
  // Loud and quiet stretches, so that entries differ from each other.
  for (std::size_t i = 0; i < n; ++i) v[i] = (i / 3000) % 2 ? any(rng) : quiet(rng) % limit;
  return v;
}

TEST(SignalSummary, LevelsMatchADirectScan) {
  struct Case {
    int channels, bits;
    Frames frames;
  };
  // Lengths around the entry sizes, and the sizes of the fast path's steps.
  for (const Case c :
       {Case{1, 16, 0}, Case{1, 16, 1}, Case{2, 16, 1}, Case{1, 16, 255}, Case{2, 16, 257},
        Case{1, 8, 4097}, Case{2, 8, 70000}, Case{2, 16, 300003}, Case{1, 16, 1 << 20}}) {
    SCOPED_TRACE(testing::Message() << c.channels << "ch " << c.bits << "bit " << c.frames);
    AudioDocument doc;
    test::makeSignal(doc, c.channels, c.bits, 8000,
                     randomSamples(static_cast<std::size_t>(c.frames) * c.channels, c.bits,
                                   static_cast<unsigned>(c.frames)));
    const SampleSource s = SampleSource::of(doc);
    SignalSummary summary(c.channels, c.frames);
    buildSummary(s, summary, 0, c.frames);
    expectMatchesScan(summary, s);
  }
}

TEST(SignalSummary, RangeRebuildAfterAnEditMatchesAFullOne) {
  AudioDocument doc;
  const Frames frames = 500000;
  test::makeSignal(doc, 2, 16, 8000, randomSamples(frames * 2u, 16, 3));
  SummaryBuilder builder;
  builder.start(SampleSource::of(doc), nullptr, 0, frames);
  while (!builder.finished()) std::this_thread::yield();
  std::shared_ptr<const SignalSummary> first = builder.take();
  ASSERT_TRUE(first && first->complete());

  const std::size_t edited = 123456 / 256 + 1;
  const MinMax oldEntry = first->entry(0, edited, 1);
  // Edit a stretch that crosses entries of every level, then rebuild only that range.
  for (Frames f = 123456; f < 234567; ++f) doc.putSample(doc.channelBase(1), f, 32767 - f % 7);
  builder.start(SampleSource::of(doc), first, 123456, 234567);
  while (!builder.finished()) std::this_thread::yield();
  const std::shared_ptr<SignalSummary> second = builder.take();
  expectMatchesScan(*second, SampleSource::of(doc));
  // The old summary is untouched: the window kept drawing it meanwhile.
  EXPECT_EQ(first->entry(0, edited, 1).max, oldEntry.max);
  EXPECT_EQ(second->entry(0, edited, 1).max, 127);
}

TEST(SignalSummary, MemoryIsUnderOnePercentOfTheSamples) {
  // An hour of 44.1 kHz stereo, without building it.
  const Frames frames = 44100 * 3600;
  const SignalSummary summary(2, frames);
  EXPECT_LT(summary.memoryBytes(), static_cast<std::size_t>(frames) * 4 / 100);
  EXPECT_GE(summary.levelCount(), 4);
}

TEST(SignalView, DrawsThePartBuiltAndSwapsInARebuildAfterAnEdit) {
  AudioDocument doc;
  test::makeSignal(doc, 1, 16, 8000, randomSamples(200000, 16, 9));
  int state = 1;
  SignalView view(doc, state);
  EXPECT_TRUE(view.update());  // starts the build
  while (view.building()) {
    view.update();
    std::this_thread::yield();
  }
  ASSERT_NE(view.summary(), nullptr);
  const SignalSummary* before = view.summary();
  ASSERT_TRUE(before->complete());
  {
    const SignalEdit edit(view);
    for (Frames f = 0; f < doc.frameCount; ++f) doc.putSample(doc.channelBase(0), f, 0);
  }
  EXPECT_EQ(view.summary(), before);  // still the old one until the rebuild is done
  while (view.update() == false || view.building()) std::this_thread::yield();
  ASSERT_NE(view.summary(), before);
  expectMatchesScan(*view.summary(), view.samples());
  view.forget();
  EXPECT_EQ(view.summary(), nullptr);
}

TEST(SignalView, ARecordingIsSummarisedAsItGrows) {
  AudioDocument doc;  // empty while recording
  int state = 5;
  SignalView view(doc, state);
  view.commandStateChanged(5);
  WaveFormat format;
  format.channels = 2;
  format.bitsPerSample = 16;
  format.samplesPerSec = 1000;  // room for 60 000 frames at first: growth is tested too
  const std::vector<int> samples = randomSamples(2 * 150000, 16, 5);
  AudioDocument whole;
  test::makeSignal(whole, 2, 16, 1000, samples);
  RecordedChunks recorded;
  // Buffers of odd sizes, as a device might hand them.
  std::size_t at = 0;
  const std::size_t bytes = static_cast<std::size_t>(whole.dataBytes);
  for (std::size_t step = 4 * 1000 + 4; at < bytes; step = step * 3 / 2 % 70000 + 4) {
    const std::size_t n = std::min(step, bytes - at);
    ASSERT_TRUE(recorded.append(whole.samples.get() + at, n));
    at += n;
    view.recordingGrew(recorded, format);
    ASSERT_EQ(view.samples().frameCount, static_cast<Frames>(at / 4));
  }
  const SignalSummary* live = view.summary();
  ASSERT_NE(live, nullptr);
  EXPECT_TRUE(view.showsRecording());
  const SampleSource source = SampleSource::of(whole);
  for (int k = 0; k < live->levelCount(); ++k) {
    const std::int64_t per = SignalSummary::framesPerEntry(k);
    for (std::size_t i = 0; static_cast<std::int64_t>(i + 1) * per <= source.frameCount; ++i) {
      ASSERT_TRUE(live->isReady(k, i));
      for (int c = 0; c < 2; ++c) {
        const MinMax want = directScan(source, static_cast<std::int64_t>(i) * per,
                                       static_cast<std::int64_t>(i + 1) * per, c);
        ASSERT_EQ(live->entry(k, i, c).min, want.min) << k << " " << i;
        ASSERT_EQ(live->entry(k, i, c).max, want.max) << k << " " << i;
      }
    }
  }
  // Stop: the take becomes the document; the view turns to it.
  state = 1;
  view.commandStateChanged(1);
  view.update();
  EXPECT_FALSE(view.showsRecording());
}

}  // namespace
}  // namespace voxloom
