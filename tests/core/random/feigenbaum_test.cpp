#include "core/random/feigenbaum.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace voxloom {
namespace {

int litPixels(const PixelImage& image, int column) {
  int n = 0;
  for (int y = 0; y < image.height; ++y) n += image.at(column, y) != 0;
  return n;
}

TEST(FeigenbaumTest, AFixedPointLightsOnePixelPerColumnOneStepPerVisibleHit) {
  // r = 2.8 converges to x = 1 - 1/r = 0.642857...: row trunc(200 - 128.57) = 71.
  FeigenbaumParams p;
  p.rMin = p.rMax = 2.8L;
  p.iterations = 300;
  p.invisible = 298;
  PixelImage image(200, 200);
  int columns = 0;
  drawFeigenbaum(p, image, [&] { ++columns; });
  EXPECT_EQ(columns, 200);
  EXPECT_EQ(litPixels(image, 0), 1);
  EXPECT_EQ(image.at(0, 71), 2 * 0x3F00u);  // two visible hits, 255 / 4 each, green only

  p.invisible = 50;  // 250 hits: saturates at full green
  drawFeigenbaum(p, image);
  EXPECT_EQ(image.at(199, 71), 0x00FF00u);
  EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0u), 200 * 199);
}

TEST(FeigenbaumTest, ColourStepsFollowTheCheckedChannels) {
  FeigenbaumParams p;
  p.red = p.blue = true;
  p.green = false;
  p.colors = 1;
  EXPECT_EQ(feigenbaumFull(p), 0xFF00FFu);
  EXPECT_EQ(feigenbaumStep(p), 0xFF00FFu);
  p.colors = 255;
  EXPECT_EQ(feigenbaumStep(p), 0x010001u);
  p.red = p.green = p.blue = false;
  PixelImage image(10, 10);
  drawFeigenbaum(p, image);  // no channel: stays black
  EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0u), 100);
}

TEST(FeigenbaumTest, DivergingOrDegenerateRangesDrawNothingAndNeverCrash) {
  PixelImage image(50, 50);
  FeigenbaumParams p;
  p.rMin = 5;
  p.rMax = 100;  // x runs to -infinity, then NaN
  drawFeigenbaum(p, image);
  EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0u), 2500);
  p.rMin = 3.5L;
  p.rMax = 4;
  p.xMin = p.xMax = 0.5L;  // an empty x range divides by zero
  drawFeigenbaum(p, image);
  EXPECT_LE(std::count_if(image.pixels.begin(), image.pixels.end(), [](auto v) { return v; }), 50);
}

TEST(FeigenbaumTest, TheDefaultDiagramFillsTheChaoticRegionAndLeavesPeriodTwoSparse) {
  PixelImage image(200, 200);
  drawFeigenbaum(FeigenbaumParams{}, image);
  // r = 3.5 (column 0) cycles through four values; r near 4 (the last column) is chaotic.
  EXPECT_EQ(litPixels(image, 0), 4);
  EXPECT_GT(litPixels(image, 199), 100);
}

}  // namespace
}  // namespace voxloom
