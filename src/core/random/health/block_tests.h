#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace voxloom {

// Raw values packed into a byte stream, each value's `bits` low bits, most significant
// first. A last partial byte stays pending: it would be padded with bits no source made.
class BitPacker {
 public:
  void put(std::uint32_t value, int bits) {
    const std::uint64_t mask = bits >= 32 ? 0xFFFFFFFFull : ((std::uint64_t{1} << bits) - 1);
    acc_ = (acc_ << bits) | (value & mask);
    pending_ += bits;
    while (pending_ >= 8) {
      pending_ -= 8;
      bytes.push_back(static_cast<std::uint8_t>(acc_ >> pending_));
    }
    acc_ &= (std::uint64_t{1} << pending_) - 1;
  }
  std::vector<std::uint8_t> bytes;  // the whole bytes so far; the owner may take them

 private:
  std::uint64_t acc_ = 0;
  int pending_ = 0;
};

// FIPS 140-2 statistical tests of one 20 000-bit block, bits taken MSB first.
inline constexpr std::size_t kFipsBlockBytes = 2500;
struct FipsBlockResult {
  int ones = 0;
  double poker = 0;
  std::array<std::array<int, 6>, 2> runs{};  // [bit][length 1..5, 6 and more]
  int longestRun = 0;
  bool monobitOk = false;
  bool pokerOk = false;
  bool runsOk = false;
  bool longRunOk = false;
  bool passed() const { return monobitOk && pokerOk && runsOk && longRunOk; }
};
FipsBlockResult testFipsBlock(std::span<const std::uint8_t, kFipsBlockBytes> block);

struct FipsTally {
  std::int64_t blocks = 0;
  std::int64_t monobitFailures = 0;
  std::int64_t pokerFailures = 0;
  std::int64_t runsFailures = 0;
  std::int64_t longRunFailures = 0;
  std::int64_t failedBlocks = 0;
};

// Byte-stream summary in the manner of the common entropy tools.
struct EntSummary {
  std::int64_t bytes = 0;
  double entropyPerByte = 0;     // bits, 8 at most
  double chiSquare = 0;          // against a uniform byte distribution
  double chiSquareP = 0;         // probability of a larger value by chance, 255 degrees
  double mean = 0;               // 127.5 for random bytes
  double serialCorrelation = 0;  // NaN when undefined (all bytes equal, or none)
};

// Q(a, x), the regularized upper incomplete gamma function (a > 0, x >= 0).
double upperIncompleteGammaQ(double a, double x);

// Both of the above over a byte stream given in pieces of any size.
class ByteStreamTests {
 public:
  void add(std::span<const std::uint8_t> bytes);
  const FipsTally& fips() const { return fips_; }
  EntSummary ent() const;

 private:
  FipsTally fips_;
  std::array<std::uint8_t, kFipsBlockBytes> block_{};
  std::size_t blockFill_ = 0;
  std::array<std::int64_t, 256> counts_{};
  std::int64_t bytes_ = 0;
  double sumProducts_ = 0;  // sum of each byte times the next
  std::uint8_t first_ = 0;
  std::uint8_t last_ = 0;
};

}  // namespace voxloom
