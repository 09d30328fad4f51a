#include "platform/sdl/byte_ring.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace voxloom {
namespace {

TEST(ByteRingTest, KeepsOrderAcrossTheWrapAndRefusesWhatDoesNotFit) {
  ByteRing ring(10);
  std::vector<std::uint8_t> in(25);
  std::iota(in.begin(), in.end(), 1);
  std::vector<std::uint8_t> out;
  std::size_t written = 0;
  std::uint8_t chunk[7];
  while (out.size() < in.size()) {
    written += ring.write(in.data() + written, std::min<std::size_t>(7, in.size() - written));
    EXPECT_LE(ring.size(), 10u);
    const std::size_t got = ring.read(chunk, 4);
    out.insert(out.end(), chunk, chunk + got);
  }
  EXPECT_EQ(out, in);
  EXPECT_EQ(ring.read(chunk, 7), 0u);
  EXPECT_EQ(ring.write(in.data(), 25), 10u);
  EXPECT_EQ(ring.space(), 0u);
}

}  // namespace
}  // namespace voxloom
