#include "core/engine/recording_chunks.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace voxloom {
namespace {

TEST(RecordedChunks, JoinsEverythingInOrderAndKeepsTheTailSmall) {
  RecordedChunks chunks;
  std::vector<std::uint8_t> expected;
  std::vector<std::uint8_t> piece(4410);
  for (int i = 0; i < 2000; ++i) {  // about 8.8 MB, many chunk boundaries
    std::iota(piece.begin(), piece.end(), static_cast<std::uint8_t>(i));
    ASSERT_TRUE(chunks.append(piece.data(), piece.size()));
    expected.insert(expected.end(), piece.begin(), piece.end());
  }
  ASSERT_EQ(chunks.size(), expected.size());
  EXPECT_LE(chunks.reserved(), expected.size() + expected.size() / 10);

  std::vector<std::uint8_t> joined(chunks.size());
  chunks.moveInto(joined.data());
  EXPECT_EQ(joined, expected);
  EXPECT_EQ(chunks.size(), 0u);
  EXPECT_EQ(chunks.chunkCount(), 0u);
}

}  // namespace
}  // namespace voxloom
