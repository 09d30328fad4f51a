#include "core/study/statistics.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace voxloom {

std::uint64_t SplitMix64::next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

namespace {

// How many arrangements of m x-values among m + n give each U from 0 to m * n, by the
// recurrence on whether the largest value is an x (it then beats all n y-values).
std::vector<double> exactUCounts(std::size_t m, std::size_t n) {
  // counts[j] holds the distribution for (i, j) while i rises.
  std::vector<std::vector<double>> counts(n + 1, std::vector<double>{1.0});
  for (std::size_t i = 1; i <= m; ++i) {
    std::vector<std::vector<double>> next(n + 1);
    next[0] = {1.0};
    for (std::size_t j = 1; j <= n; ++j) {
      std::vector<double> row(i * j + 1, 0.0);
      for (std::size_t u = 0; u < counts[j].size(); ++u) row[u + j] += counts[j][u];
      for (std::size_t u = 0; u < next[j - 1].size(); ++u) row[u] += next[j - 1][u];
      next[j] = std::move(row);
    }
    counts = std::move(next);
  }
  return counts[n];
}

}  // namespace

MannWhitney mannWhitneyU(std::span<const double> x, std::span<const double> y) {
  MannWhitney result;
  const std::size_t m = x.size();
  const std::size_t n = y.size();
  if (m == 0 || n == 0) return result;

  // Ranks of the pooled values, ties sharing their mean rank.
  std::vector<std::pair<double, bool>> pooled;  // value, from x
  pooled.reserve(m + n);
  for (double v : x) pooled.push_back({v, true});
  for (double v : y) pooled.push_back({v, false});
  std::sort(pooled.begin(), pooled.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  double rankSumX = 0.0;
  double tieTerm = 0.0;  // sum of t^3 - t over groups of t equal values
  for (std::size_t i = 0; i < pooled.size();) {
    std::size_t j = i;
    while (j < pooled.size() && pooled[j].first == pooled[i].first) ++j;
    const double rank = (static_cast<double>(i + 1) + static_cast<double>(j)) / 2.0;
    for (std::size_t k = i; k < j; ++k)
      if (pooled[k].second) rankSumX += rank;
    const double t = static_cast<double>(j - i);
    tieTerm += t * t * t - t;
    i = j;
  }
  const double md = static_cast<double>(m);
  const double nd = static_cast<double>(n);
  result.u = rankSumX - md * (md + 1.0) / 2.0;

  if (m <= kExactMannWhitneyMax && n <= kExactMannWhitneyMax && tieTerm == 0.0) {
    const std::vector<double> counts = exactUCounts(m, n);
    double total = 0.0;
    for (double c : counts) total += c;
    const auto u = static_cast<std::size_t>(std::llround(result.u));
    double below = 0.0;  // P(U <= u) * total
    double above = 0.0;  // P(U >= u) * total
    for (std::size_t k = 0; k < counts.size(); ++k) {
      if (k <= u) below += counts[k];
      if (k >= u) above += counts[k];
    }
    result.p = std::min(1.0, 2.0 * std::min(below, above) / total);
    result.exact = true;
    return result;
  }

  const double all = md + nd;
  const double variance = md * nd / 12.0 * ((all + 1.0) - tieTerm / (all * (all - 1.0)));
  if (!(variance > 0.0)) return result;  // every value the same: no evidence either way
  const double distance = std::max(0.0, std::abs(result.u - md * nd / 2.0) - 0.5);
  result.p = std::min(1.0, std::erfc(distance / std::sqrt(variance) / std::sqrt(2.0)));
  return result;
}

double meanOf(std::span<const double> values) {
  if (values.empty()) return 0.0;
  double sum = 0.0;
  for (double v : values) sum += v;
  return sum / static_cast<double>(values.size());
}

double medianOf(std::span<const double> values) {
  if (values.empty()) return 0.0;
  std::vector<double> sorted(values.begin(), values.end());
  std::sort(sorted.begin(), sorted.end());
  const std::size_t half = sorted.size() / 2;
  return sorted.size() % 2 ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2.0;
}

Interval bootstrapMeanDifference(std::span<const double> x, std::span<const double> y,
                                 std::uint64_t seed, int resamples) {
  if (x.empty() || y.empty() || resamples < 1) return {};
  SplitMix64 random(seed);
  const auto resampledMean = [&random](std::span<const double> values) {
    double sum = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) sum += values[random.below(values.size())];
    return sum / static_cast<double>(values.size());
  };
  std::vector<double> differences(static_cast<std::size_t>(resamples));
  for (double& d : differences) {
    const double mx = resampledMean(x);
    d = mx - resampledMean(y);
  }
  std::sort(differences.begin(), differences.end());
  // As many differences lie below low as above high: with 10000 resamples low is the
  // 251st sorted value and high the 9750th.
  const auto tail = static_cast<std::size_t>(std::floor(0.025 * resamples));
  return {differences[tail], differences[differences.size() - 1 - tail]};
}

}  // namespace voxloom
