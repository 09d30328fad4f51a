#include "core/view/time_axis.h"

#include <algorithm>
#include <cmath>

#include "core/view/signal_summary.h"

namespace voxloom {

double TimeAxis::fitFramesPerPixel() const {
  return std::max(static_cast<double>(total_) / width_, kMinFramesPerPixel);
}

double TimeAxis::maxFirstFrame() const {
  return std::max(0.0, total_ - width_ * perPixel_);
}

void TimeAxis::setWidth(int width) {
  width_ = std::max(width, 1);
  if (fitted_) fit();
  perPixel_ = std::clamp(perPixel_, kMinFramesPerPixel, fitFramesPerPixel());
  scrollTo(first_);
}

void TimeAxis::setFrameCount(Frames total) {
  total_ = std::max<Frames>(total, 0);
  if (fitted_) {
    fit();
    return;
  }
  perPixel_ = std::clamp(perPixel_, kMinFramesPerPixel, fitFramesPerPixel());
  scrollTo(first_);
}

void TimeAxis::fit() {
  perPixel_ = fitFramesPerPixel();
  first_ = 0;
  fitted_ = true;
}

void TimeAxis::zoomAround(double x, double factor) {
  if (factor <= 0) return;
  const double anchor = frameAt(x);
  perPixel_ = std::clamp(perPixel_ / factor, kMinFramesPerPixel, fitFramesPerPixel());
  fitted_ = perPixel_ >= fitFramesPerPixel();
  scrollTo(anchor - x * perPixel_);
}

void TimeAxis::scrollTo(double firstFrame) {
  first_ = std::clamp(firstFrame, 0.0, maxFirstFrame());
}

void TimeAxis::reveal(double frame) {
  if (frame < first_) {
    scrollTo(frame);
  } else if (frame >= frameAt(width_)) {
    scrollTo(frame - width_ * perPixel_ * 0.1);  // a little context before it
  }
}

void columnEnvelope(const TimeAxis& axis, const SignalSummary* summary, const SampleSource& samples,
                    int channel, std::vector<ColumnRange>& out) {
  const int width = axis.width();
  out.assign(static_cast<std::size_t>(width), ColumnRange{});
  const Frames total = std::min(samples.frameCount, axis.frameCount());
  if (total <= 0 || channel >= samples.channels) return;
  const double perPixel = axis.framesPerPixel();
  int level = -1;
  if (summary != nullptr && summary->frameCount() >= total) {
    for (int k = summary->levelCount() - 1; k >= 0; --k) {
      if (SignalSummary::framesPerEntry(k) <= perPixel) {
        level = k;
        break;
      }
    }
  }
  constexpr float kScale = 1.0f / 128;
  for (int x = 0; x < width; ++x) {
    const auto first = static_cast<std::int64_t>(std::floor(axis.frameAt(x)));
    auto end = static_cast<std::int64_t>(std::floor(axis.frameAt(x + 1)));
    end = std::max(end, first + 1);
    if (first >= total) break;
    end = std::min<std::int64_t>(end, total);
    ColumnRange& r = out[static_cast<std::size_t>(x)];
    if (level >= 0) {
      const std::int64_t per = SignalSummary::framesPerEntry(level);
      const auto i0 = static_cast<std::size_t>(first / per);
      const auto i1 = static_cast<std::size_t>((end - 1) / per);
      for (std::size_t i = i0; i <= i1; ++i) {
        if (!summary->isReady(level, i)) break;
        const MinMax& m = summary->entry(level, i, channel);
        r.min = std::min(r.min, m.min * kScale);
        r.max = std::max(r.max, m.max * kScale);
      }
      continue;
    }
    // Without a summary level only short columns may read samples.
    if (samples.data == nullptr || perPixel >= kSummaryBaseFrames) continue;
    int lo = 32767;
    int hi = -32768;
    if (samples.bits == 16) {
      // The common case read directly: up to 256 frames for each of 1920 columns.
      const std::uint8_t* p = samples.data + (static_cast<std::size_t>(first) *
                                                  static_cast<unsigned>(samples.channels) +
                                              static_cast<unsigned>(channel)) *
                                                 2;
      const std::size_t stride = static_cast<std::size_t>(samples.channels) * 2;
      for (std::int64_t f = first; f < end; ++f, p += stride) {
        const int v = static_cast<std::int16_t>(p[0] | (p[1] << 8));
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
    } else {
      for (std::int64_t f = first; f < end; ++f) {
        const int v = samples.sample(static_cast<Frames>(f), channel);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
    }
    constexpr float kSampleScale = 1.0f / 32768;
    r.min = static_cast<float>(lo) * kSampleScale;
    r.max = static_cast<float>(hi) * kSampleScale;
  }
}

double rulerStep(double framesPerPixel, double rate, double minPixels) {
  if (rate <= 0 || framesPerPixel <= 0) return 1;
  const double minSeconds = minPixels * framesPerPixel / rate;
  static constexpr double kSteps[] = {
      0.0001, 0.0002, 0.0005, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1,  0.2,  0.5,   1,    2, 5,
      10,     15,     30,     60,    120,   300,   600,  900,  1800, 3600, 7200, 18000, 36000};
  for (double step : kSteps)
    if (step >= minSeconds) return step;
  return 36000;
}

}  // namespace voxloom
