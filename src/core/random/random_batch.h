#pragma once

#include <array>
#include <cstdint>

namespace voxloom {

// Raw values fetched in blocks by the buffered sources (sound card, file, internet).
// Invariant after every completed draw: 0 <= index <= count.
struct RandomBatch {
  static constexpr int kValues16 = 10240;
  static constexpr int kValues32 = 1024;

  std::array<std::int16_t, kValues16> values16{};
  std::array<std::int32_t, kValues32> values32{};
  int index = 0;
  int count = 0;
  std::int64_t filePosition = 0;  // byte offset of the next block in the random file

  // Drops the unused values; the file position stays.
  void discard() { index = count = 0; }
};

}  // namespace voxloom
