#include "core/view/time_axis.h"

#include <gtest/gtest.h>

#include "core/view/signal_summary.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

TEST(TimeAxis, FitZoomAroundThePointerAndClampedScrolling) {
  TimeAxis axis;
  axis.setWidth(1000);
  axis.setFrameCount(100000);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), 100);
  EXPECT_DOUBLE_EQ(axis.xOf(axis.frameAt(123.5)), 123.5);

  // The frame under the pointer stays under it.
  const double under = axis.frameAt(250);
  axis.zoomAround(250, 4);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), 25);
  EXPECT_NEAR(axis.frameAt(250), under, 1e-9);
  EXPECT_FALSE(axis.fitted());

  // Down to single samples, 32 columns wide, and no further.
  for (int i = 0; i < 40; ++i) axis.zoomAround(999, 2);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), TimeAxis::kMinFramesPerPixel);
  // Out: never beyond the whole signal, and then it fits again.
  for (int i = 0; i < 40; ++i) axis.zoomAround(0, 0.5);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), 100);
  EXPECT_TRUE(axis.fitted());
  EXPECT_DOUBLE_EQ(axis.firstFrame(), 0);

  axis.zoomAround(500, 10);  // 10 frames a column: 10000 frames in view
  axis.end();
  EXPECT_DOUBLE_EQ(axis.firstFrame(), 90000);
  axis.scrollBy(-200);
  EXPECT_DOUBLE_EQ(axis.firstFrame(), 88000);
  axis.scrollTo(-5);
  EXPECT_DOUBLE_EQ(axis.firstFrame(), 0);
  axis.reveal(50000);
  EXPECT_LE(axis.firstFrame(), 50000);
  EXPECT_GT(axis.frameAt(1000), 50000);

  // A growing signal (a recording) keeps a fitted view fitted, a zoomed one zoomed.
  axis.setFrameCount(200000);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), 10);
  axis.fit();
  axis.setFrameCount(400000);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), 400);

  // Empty and one-frame signals.
  axis.setFrameCount(0);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), TimeAxis::kMinFramesPerPixel);
  axis.zoomAround(10, 2);
  EXPECT_DOUBLE_EQ(axis.firstFrame(), 0);
  axis.setFrameCount(1);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), TimeAxis::kMinFramesPerPixel);
}

TEST(ColumnEnvelope, SummaryAndSampleColumnsAgreeWithTheSignal) {
  // A ramp: column extremes are known exactly.
  AudioDocument doc;
  std::vector<int> ramp(70000);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int>(i % 65536) - 32768;
  test::makeSignal(doc, 1, 16, 8000, ramp);
  const SampleSource s = SampleSource::of(doc);
  SignalSummary summary(1, doc.frameCount);
  buildSummary(s, summary, 0, doc.frameCount);

  TimeAxis axis;
  axis.setWidth(70);
  axis.setFrameCount(doc.frameCount);  // 1000 frames a column: level 0 (256)
  std::vector<ColumnRange> columns;
  columnEnvelope(axis, &summary, s, 0, columns);
  ASSERT_EQ(columns.size(), 70u);
  for (int x = 0; x < 65; ++x) {
    // Whole entries overlapping the column: never less than the column's true range.
    const float lo = (static_cast<float>(x * 1000) - 32768) / 32768;
    const float hi = (static_cast<float>(x * 1000 + 999) - 32768) / 32768;
    EXPECT_LE(columns[static_cast<std::size_t>(x)].min, lo + 1e-6f) << x;
    EXPECT_GE(columns[static_cast<std::size_t>(x)].max, hi - 1e-6f) << x;
    EXPECT_GE(columns[static_cast<std::size_t>(x)].min, lo - 512.0f / 32768) << x;
  }

  // Zoomed in below one entry a column: the samples themselves.
  axis.zoomAround(0, 1000);  // 1 frame a column
  columnEnvelope(axis, &summary, s, 0, columns);
  EXPECT_FLOAT_EQ(columns[5].min, -1.0f + 5.0f / 32768);
  EXPECT_FLOAT_EQ(columns[5].max, columns[5].min);

  // Nothing ready: nothing drawn, and no sample scan at summary zooms.
  SignalSummary unbuilt(1, doc.frameCount);
  axis.fit();
  columnEnvelope(axis, &unbuilt, s, 0, columns);
  EXPECT_TRUE(columns[0].empty());
  columnEnvelope(axis, nullptr, s, 0, columns);
  EXPECT_TRUE(columns[0].empty());
}

TEST(RulerStep, KeepsLabelsApart) {
  EXPECT_DOUBLE_EQ(rulerStep(441, 44100, 80), 1);      // 0.8 s at least
  EXPECT_DOUBLE_EQ(rulerStep(1, 44100, 80), 0.002);    // 1.8 ms at least
  EXPECT_DOUBLE_EQ(rulerStep(80000, 44100, 80), 300);  // 145 s at least
}

}  // namespace
}  // namespace voxloom
