#pragma once

#include <cstdint>
#include <span>

namespace voxloom {

// A small generator of our own (splitmix64): the standard distributions differ between
// libraries, and a study must give the same numbers wherever it is run.
class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next();
  // 0..n-1 for n > 0; the bias of the modulo is below n / 2^64.
  std::uint64_t below(std::uint64_t n) { return next() % n; }

 private:
  std::uint64_t state_;
};

struct MannWhitney {
  double u = 0.0;  // of the first sample: pairs (x, y) with x > y, a tie counting one half
  double p = 1.0;  // two-sided
  bool exact = false;
};

// Both samples up to this size and no value shared between them or within one: the
// exact null distribution of U is counted; otherwise the normal approximation with the
// tie correction and a continuity correction of 1/2.
inline constexpr std::size_t kExactMannWhitneyMax = 20;

MannWhitney mannWhitneyU(std::span<const double> x, std::span<const double> y);

struct Interval {
  double low = 0.0;
  double high = 0.0;
};

inline constexpr int kBootstrapResamples = 10000;

// The 95 % percentile bootstrap interval of mean(x) - mean(y): each resample draws both
// samples again with replacement; low and high are the 2.5 % and 97.5 % points of the
// sorted differences. Both samples must hold at least one value.
Interval bootstrapMeanDifference(std::span<const double> x, std::span<const double> y,
                                 std::uint64_t seed, int resamples = kBootstrapResamples);

double meanOf(std::span<const double> values);
double medianOf(std::span<const double> values);  // 0 for none

}  // namespace voxloom
