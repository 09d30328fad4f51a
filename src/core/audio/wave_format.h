#pragma once

#include <array>
#include <cstdint>

namespace voxloom {

// The 18-byte little-endian format record, byte for byte as in a "fmt " chunk.
struct WaveFormat {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t extraSize = 0;

  static constexpr int kBytes = 18;
  static constexpr std::uint16_t kPcm = 1;

  std::array<std::uint8_t, kBytes> toBytes() const;
  static WaveFormat fromBytes(const std::array<std::uint8_t, kBytes>& bytes);

  // PCM, 1 or 2 channels, 8 or 16 bits: the only formats the program processes.
  bool isStandardPcm() const;

  friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};

}  // namespace voxloom
