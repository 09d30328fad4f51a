#include "core/random/health/entropy_claims.h"

#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>

namespace voxloom {

namespace {

// The entropy each true source is trusted to deliver per raw value. Conservative
// figures, not measurements:
//  - sound card: a quiet input's noise spans a few LSB of a 16-bit sample: 2 bits;
//  - random file: may hold fair bits as well as small numbers: 1 bit per value;
//  - internet: a service may deliver single bits: 1 bit per value;
//  - parallel port: raw generator bits before any unbiasing, possibly biased: 0.5;
//  - device: bytes of a character device, 2 bits per byte.
// A new kind is one row here.
constexpr std::array kClaims = {
    EntropyClaim{RandomSourceKind::SoundCard, "16-bit sample", 2.0, false},
    EntropyClaim{RandomSourceKind::RandomFile, "16-bit value", 1.0, false},
    EntropyClaim{RandomSourceKind::Internet, "service value", 1.0, false},
    EntropyClaim{RandomSourceKind::ParallelPort, "bit", 0.5, true},
    EntropyClaim{RandomSourceKind::Device, "byte", 2.0, false},
};

// ln C(n, k) + k ln p + (n - k) ln(1 - p), the binomial log-probability.
long double logBinomial(int n, int k, long double logP, long double logQ) {
  return std::lgamma(static_cast<long double>(n) + 1) -
         std::lgamma(static_cast<long double>(k) + 1) -
         std::lgamma(static_cast<long double>(n - k) + 1) + k * logP + (n - k) * logQ;
}

int computeProportionCutoff(int window, double bitsPerValue) {
  const long double p = std::exp2(-static_cast<long double>(bitsPerValue));
  const long double logP = std::log(p);
  const long double logQ = std::log1p(-p);
  const long double alpha = std::exp2(-20.0L);
  // The upper tail P(X > k), summed from the top down so that small terms are not lost
  // beside 1: CDF(k) >= 1 - alpha exactly when the tail above k is <= alpha.
  long double tail = 0;
  int k = window;
  while (k > 0) {
    const long double next = tail + std::exp(logBinomial(window, k, logP, logQ));
    if (next > alpha) break;
    tail = next;
    --k;
  }
  return 1 + k;
}

}  // namespace

std::optional<EntropyClaim> entropyClaimOf(RandomSourceKind kind) {
  for (const EntropyClaim& c : kClaims)
    if (c.kind == kind) return c;
  return std::nullopt;
}

int repetitionCutoff(double bitsPerValue) {
  return 1 + static_cast<int>(std::ceil(20.0 / bitsPerValue));
}

int proportionCutoff(int window, double bitsPerValue) {
  static std::mutex mutex;
  static std::map<std::pair<int, double>, int> cache;
  const std::lock_guard lock(mutex);
  const auto key = std::make_pair(window, bitsPerValue);
  if (const auto it = cache.find(key); it != cache.end()) return it->second;
  const int cutoff = computeProportionCutoff(window, bitsPerValue);
  cache.emplace(key, cutoff);
  return cutoff;
}

int rawBitsOf(RandomSourceKind kind, bool convert) {
  switch (kind) {
    case RandomSourceKind::PseudoRng:
    case RandomSourceKind::ManualSweep:
      return 31;
    case RandomSourceKind::SoundCard:
    case RandomSourceKind::RandomFile:
      return convert ? 32 : 16;
    default:
      return 32;  // internet values, parallel-port and device words, fractal words
  }
}

}  // namespace voxloom
