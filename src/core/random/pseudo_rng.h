#pragma once

#include <cstdint>

namespace voxloom {

// The program's own 64-bit linear congruential generator. Its exact sequence matters:
// a seed given on the command line must reproduce the same EVP everywhere.
class PseudoRng {
 public:
  static constexpr std::uint64_t kMultiplier = 0x0000015A00004E35ULL;

  void seedPseudoRandom(std::uint32_t seed) { state_ = seed; }
  // 0..2147483647: bits 32..62 of the advanced state.
  std::int32_t nextPseudoRandom() {
    state_ = state_ * kMultiplier + 1;  // wraps modulo 2^64 by unsigned arithmetic
    return static_cast<std::int32_t>((state_ >> 32) & 0x7FFFFFFFULL);
  }
  std::uint64_t state() const { return state_; }

 private:
  std::uint64_t state_ = 0;
};

// Seconds since 1970-01-01 00:00 UTC, truncated to 32 bits: the start-up seed.
std::uint32_t timeSeed();

}  // namespace voxloom
