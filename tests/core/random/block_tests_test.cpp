#include "core/random/health/block_tests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace voxloom {
namespace {

std::vector<std::uint8_t> goodBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> bytes(n);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(rng() >> 24);
  return bytes;
}

TEST(BlockTests, PackerPutsTheMostSignificantBitFirst) {
  BitPacker p;
  p.put(0xFABC, 12);  // only the low 12 bits count
  p.put(0xD, 4);
  p.put(0x7FFFFFFF, 31);
  p.put(1, 1);
  p.put(0x3, 3);  // pending: not a whole byte
  EXPECT_EQ(p.bytes, (std::vector<std::uint8_t>{0xAB, 0xCD, 0xFF, 0xFF, 0xFF, 0xFF}));
  p.put(0x1F, 5);
  EXPECT_EQ(p.bytes.back(), 0x7F);
}

TEST(BlockTests, FipsBlocks) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> block;
    bool monobit, poker, runs, longRun;
  };
  std::vector<std::uint8_t> alternating(kFipsBlockBytes, 0x55);
  std::vector<std::uint8_t> constant(kFipsBlockBytes, 0x00);
  std::vector<std::uint8_t> longRun = goodBytes(kFipsBlockBytes, 3);
  for (int i = 100; i < 104; ++i) longRun[std::size_t(i)] = 0xFF;  // 32 ones in a row
  const Case cases[] = {
      {"good", goodBytes(kFipsBlockBytes, 1), true, true, true, true},
      {"constant", constant, false, false, false, false},
      {"alternating", alternating, true, false, false, true},
      {"one long run", longRun, true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = testFipsBlock(std::span<const std::uint8_t, kFipsBlockBytes>(c.block));
    EXPECT_EQ(r.monobitOk, c.monobit) << r.ones;
    EXPECT_EQ(r.pokerOk, c.poker) << r.poker;
    EXPECT_EQ(r.runsOk, c.runs);
    EXPECT_EQ(r.longRunOk, c.longRun) << r.longestRun;
  }
  const auto alt = testFipsBlock(std::span<const std::uint8_t, kFipsBlockBytes>(alternating));
  EXPECT_EQ(alt.ones, 10000);
  EXPECT_EQ(alt.runs[0][0] + alt.runs[1][0], 20000);  // every run is one bit long
}

TEST(BlockTests, IncompleteGammaKnownValues) {
  struct Case {
    double a, x, q;
  };
  const Case cases[] = {
      {1, 2, std::exp(-2.0)},
      {0.5, 1, std::erfc(1.0)},
      {127.5, 0, 1},
      {127.5, 1000, 0},
      {3, 2.5, std::exp(-2.5) * (1 + 2.5 + 2.5 * 2.5 / 2)},
      {1.5, 4, std::erfc(2.0) + 2 * std::sqrt(4 / 3.14159265358979) * std::exp(-4.0)},
  };
  for (const Case& c : cases) EXPECT_NEAR(upperIncompleteGammaQ(c.a, c.x), c.q, 2e-6) << c.a;
}

TEST(BlockTests, StreamOfGoodAndOfConstantBytes) {
  ByteStreamTests good;
  const auto bytes = goodBytes(1000000, 9);
  // Pieces of any size make the same blocks.
  good.add(std::span(bytes).first(1234));
  good.add(std::span(bytes).subspan(1234));
  EXPECT_EQ(good.fips().blocks, 400);
  EXPECT_LE(good.fips().failedBlocks, 3);
  const EntSummary e = good.ent();
  EXPECT_GT(e.entropyPerByte, 7.999);
  EXPECT_GT(e.chiSquareP, 0.001);
  EXPECT_LT(e.chiSquareP, 0.999);
  EXPECT_NEAR(e.mean, 127.5, 0.3);
  EXPECT_NEAR(e.serialCorrelation, 0, 0.005);

  ByteStreamTests constant;
  constant.add(std::vector<std::uint8_t>(5000, 0x00));
  EXPECT_EQ(constant.fips().blocks, 2);
  EXPECT_EQ(constant.fips().monobitFailures, 2);
  EXPECT_EQ(constant.fips().longRunFailures, 2);
  const EntSummary c = constant.ent();
  EXPECT_EQ(c.entropyPerByte, 0);
  EXPECT_EQ(c.mean, 0);
  EXPECT_LT(c.chiSquareP, 1e-10);
  EXPECT_TRUE(std::isnan(c.serialCorrelation));
}

}  // namespace
}  // namespace voxloom
