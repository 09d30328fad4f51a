#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace voxloom {

// A picture the window shows as it is: pixels row by row, colours 0x00BBGGRR.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  PixelImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), 0) {}
  std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  void fill(std::uint32_t colour) { std::fill(pixels.begin(), pixels.end(), colour); }
};

struct FeigenbaumParams {
  long double rMin = 3.5L, rMax = 4.0L, xMin = 0.0L, xMax = 1.0L, xStart = 0.5L;
  int iterations = 300;  // per column
  int invisible = 50;    // first iterations of a column that are not plotted
  int colors = 4;        // brightness steps per channel, 1..255
  bool red = false, green = true, blue = false;
};

// Full brightness of the checked channels, and the step one hit adds.
std::uint32_t feigenbaumFull(const FeigenbaumParams& p);
std::uint32_t feigenbaumStep(const FeigenbaumParams& p);

// The bifurcation diagram of the logistic equation: column i iterates r = rMin + i *
// (rMax - rMin) / width from xStart; every visible result brightens its pixel by one
// step up to full brightness. `afterColumn` runs after each column (the window repaints).
void drawFeigenbaum(const FeigenbaumParams& p, PixelImage& image,
                    const std::function<void()>& afterColumn = {});

}  // namespace voxloom
