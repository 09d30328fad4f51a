#include "core/random/pseudo_rng.h"

#include <gtest/gtest.h>

namespace voxloom {
namespace {

TEST(PseudoRngTest, SeededSequenceIsTheExactLcg) {
  PseudoRng rng;
  rng.seedPseudoRandom(1);
  EXPECT_EQ(rng.nextPseudoRandom(), 346);
  EXPECT_EQ(rng.state(), 0x0000015A00004E36ULL);
  EXPECT_EQ(rng.nextPseudoRandom(), 13854878);
  EXPECT_EQ(rng.nextPseudoRandom(), 1621890440);
  EXPECT_EQ(rng.nextPseudoRandom(), 816282396);

  rng.seedPseudoRandom(12345);  // reseeding restarts from the seed alone
  EXPECT_EQ(rng.nextPseudoRandom(), 4271370);
  EXPECT_EQ(rng.nextPseudoRandom(), 1382990846);
  rng.seedPseudoRandom(0xFFFFFFFFu);
  EXPECT_EQ(rng.state(), 0xFFFFFFFFull);  // upper 32 bits 0
}

}  // namespace
}  // namespace voxloom
