#include "core/random/feigenbaum.h"

#include <cmath>

namespace voxloom {
namespace {

std::uint32_t channels(const FeigenbaumParams& p, std::uint32_t level) {
  std::uint32_t sum = 0;
  if (p.red) sum += level;
  if (p.green) sum += level << 8;
  if (p.blue) sum += level << 16;
  return sum;
}

}  // namespace

std::uint32_t feigenbaumFull(const FeigenbaumParams& p) {
  return channels(p, 255);
}

std::uint32_t feigenbaumStep(const FeigenbaumParams& p) {
  const int colors = p.colors < 1 ? 1 : p.colors;
  return channels(p, static_cast<std::uint32_t>(255 / colors));
}

void drawFeigenbaum(const FeigenbaumParams& p, PixelImage& image,
                    const std::function<void()>& afterColumn) {
  const std::uint32_t full = feigenbaumFull(p);
  const std::uint32_t step = feigenbaumStep(p);
  image.fill(0);
  const int w = image.width;
  const int h = image.height;
  const long double span = p.xMax - p.xMin;
  for (int i = 0; i < w; ++i) {
    const long double r = (p.rMax - p.rMin) / w * i + p.rMin;
    long double x = p.xStart;
    for (int k = 0; k < p.iterations; ++k) {
      x = r * x * (1.0L - x);
      if (k < p.invisible) continue;
      // NaN, infinities and points off the picture fail this test; the value is only
      // converted once it is known to fit.
      const long double y = std::trunc(h - (x - p.xMin) / span * h);
      if (!(y >= 0 && y < h)) continue;
      std::uint32_t& pixel = image.at(i, static_cast<int>(y));
      pixel = ((step + pixel) & 0xFFFFFF) < full ? pixel + step : full;
    }
    if (afterColumn) afterColumn();
  }
}

}  // namespace voxloom
