#include "core/random/health/block_tests.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace voxloom {

FipsBlockResult testFipsBlock(std::span<const std::uint8_t, kFipsBlockBytes> block) {
  FipsBlockResult r;
  std::array<int, 16> nibbles{};
  int runBit = -1;
  int runLength = 0;
  auto endRun = [&] {
    if (runBit < 0) return;
    ++r.runs[static_cast<std::size_t>(runBit)]
            [static_cast<std::size_t>(std::min(runLength, 6) - 1)];
    r.longestRun = std::max(r.longestRun, runLength);
  };
  for (const std::uint8_t byte : block) {
    r.ones += std::popcount(byte);
    ++nibbles[byte >> 4];
    ++nibbles[byte & 15];
    for (int i = 7; i >= 0; --i) {
      const int bit = (byte >> i) & 1;
      if (bit == runBit) {
        ++runLength;
      } else {
        endRun();
        runBit = bit;
        runLength = 1;
      }
    }
  }
  endRun();

  double squares = 0;
  for (const int f : nibbles) squares += static_cast<double>(f) * f;
  r.poker = 16.0 / 5000.0 * squares - 5000.0;

  // The published acceptance intervals.
  constexpr std::array<std::array<int, 2>, 6> kRunBounds = {
      {{2315, 2685}, {1114, 1386}, {527, 723}, {240, 384}, {103, 209}, {103, 209}}};
  r.monobitOk = r.ones > 9725 && r.ones < 10275;
  r.pokerOk = r.poker > 2.16 && r.poker < 46.17;
  r.runsOk = true;
  for (const auto& counts : r.runs)
    for (std::size_t i = 0; i < counts.size(); ++i)
      r.runsOk = r.runsOk && counts[i] >= kRunBounds[i][0] && counts[i] <= kRunBounds[i][1];
  r.longRunOk = r.longestRun < 26;
  return r;
}

double upperIncompleteGammaQ(double a, double x) {
  if (x <= 0) return 1.0;
  const long double la = a;
  const long double lx = x;
  const long double logFront = la * std::log(lx) - lx - std::lgamma(la);
  constexpr long double kEpsilon = 1e-18L;
  if (lx < la + 1) {
    // Series for P(a, x), then Q = 1 - P.
    long double term = 1.0L / la;
    long double sum = term;
    for (int n = 1; n < 100000; ++n) {
      term *= lx / (la + n);
      sum += term;
      if (std::fabs(term) < std::fabs(sum) * kEpsilon) break;
    }
    return static_cast<double>(1.0L - sum * std::exp(logFront));
  }
  // Continued fraction for Q(a, x) (modified Lentz).
  constexpr long double kTiny = 1e-300L;
  long double b = lx + 1 - la;
  long double c = 1 / kTiny;
  long double d = 1 / b;
  long double h = d;
  for (int i = 1; i < 100000; ++i) {
    const long double an = -i * (i - la);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const long double delta = d * c;
    h *= delta;
    if (std::fabs(delta - 1) < kEpsilon) break;
  }
  return static_cast<double>(std::exp(logFront) * h);
}

void ByteStreamTests::add(std::span<const std::uint8_t> bytes) {
  for (const std::uint8_t b : bytes) {
    if (bytes_ == 0)
      first_ = b;
    else
      sumProducts_ += static_cast<double>(last_) * b;
    last_ = b;
    ++bytes_;
    ++counts_[b];
    block_[blockFill_++] = b;
    if (blockFill_ < block_.size()) continue;
    blockFill_ = 0;
    const FipsBlockResult r = testFipsBlock(block_);
    ++fips_.blocks;
    fips_.monobitFailures += r.monobitOk ? 0 : 1;
    fips_.pokerFailures += r.pokerOk ? 0 : 1;
    fips_.runsFailures += r.runsOk ? 0 : 1;
    fips_.longRunFailures += r.longRunOk ? 0 : 1;
    fips_.failedBlocks += r.passed() ? 0 : 1;
  }
}

EntSummary ByteStreamTests::ent() const {
  EntSummary s;
  s.bytes = bytes_;
  s.serialCorrelation = std::numeric_limits<double>::quiet_NaN();
  if (bytes_ == 0) return s;
  const double n = static_cast<double>(bytes_);
  const double expected = n / 256.0;
  double sum = 0;
  double sumSquares = 0;
  for (std::size_t v = 0; v < counts_.size(); ++v) {
    const double count = static_cast<double>(counts_[v]);
    if (count > 0) {
      const double p = count / n;
      s.entropyPerByte -= p * std::log2(p);
    }
    s.chiSquare += (count - expected) * (count - expected) / expected;
    sum += count * static_cast<double>(v);
    sumSquares += count * static_cast<double>(v) * static_cast<double>(v);
  }
  s.chiSquareP = upperIncompleteGammaQ(255.0 / 2.0, s.chiSquare / 2.0);
  s.mean = sum / n;
  // The last byte pairs with the first, as the circular coefficient has it.
  const double products = sumProducts_ + static_cast<double>(last_) * first_;
  const double denominator = n * sumSquares - sum * sum;
  if (denominator > 0) s.serialCorrelation = (n * products - sum * sum) / denominator;
  return s;
}

}  // namespace voxloom
