#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/util/units.h"

namespace voxloom {

class SignalSummary;
struct SampleSource;

// Which frames the view's columns show: column x shows frames from
// firstFrame + x * framesPerPixel on. Zoom goes from the whole signal in the width down
// to single samples several columns wide.
class TimeAxis {
 public:
  static constexpr double kMinFramesPerPixel = 1.0 / 32;  // one sample 32 columns wide

  void setWidth(int width);
  void setFrameCount(Frames total);  // keeps the zoom unless the whole signal fitted
  int width() const { return width_; }
  Frames frameCount() const { return total_; }
  double firstFrame() const { return first_; }
  double framesPerPixel() const { return perPixel_; }
  bool fitted() const { return fitted_; }

  double frameAt(double x) const { return first_ + x * perPixel_; }
  double xOf(double frame) const { return (frame - first_) / perPixel_; }

  void fit();
  // Zooms by `factor` (> 1 in) keeping the frame under column x where it is.
  void zoomAround(double x, double factor);
  void scrollTo(double firstFrame);
  void scrollBy(double pixels) { scrollTo(first_ + pixels * perPixel_); }
  void home() { scrollTo(0); }
  void end() { scrollTo(total_); }
  // Scrolls the least so that `frame` is in view.
  void reveal(double frame);
  double maxFirstFrame() const;
  double fitFramesPerPixel() const;

 private:
  int width_ = 1;
  Frames total_ = 0;
  double first_ = 0;
  double perPixel_ = 1;
  bool fitted_ = true;
};

// One column's envelope: smallest and largest sample in -1..1; empty when the column
// lies beyond the signal or its summary is not ready yet.
struct ColumnRange {
  float min = 1;
  float max = -1;
  bool empty() const { return min > max; }
};

// The envelope of `channel` for every column of `axis`. Reads the finest summary level
// with at least one entry per column; when even level 0 is coarser than a column, it
// reads the samples (at most 256 frames a column).
void columnEnvelope(const TimeAxis& axis, const SignalSummary* summary, const SampleSource& samples,
                    int channel, std::vector<ColumnRange>& out);

// The ruler's step in seconds for at least `minPixels` between labelled ticks.
double rulerStep(double framesPerPixel, double rate, double minPixels);

}  // namespace voxloom
