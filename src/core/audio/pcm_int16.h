#pragma once

#include <cstddef>
#include <cstdint>

namespace voxloom {

// `count` samples of 8 bits (unsigned) or 16 bits (signed, little-endian) from `bytes`
// as 16-bit values, an 8-bit sample in the upper byte; other sizes give silence.
inline void pcmToInt16(const std::uint8_t* bytes, std::size_t count, int bitsPerSample,
                       std::int16_t* out) {
  for (std::size_t i = 0; i < count; ++i) {
    if (bitsPerSample == 8)
      out[i] = static_cast<std::int16_t>((static_cast<int>(bytes[i]) - 128) * 256);
    else if (bitsPerSample == 16)
      out[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i]) |
                                         static_cast<std::uint16_t>(bytes[2 * i + 1] << 8));
    else
      out[i] = 0;
  }
}

}  // namespace voxloom
