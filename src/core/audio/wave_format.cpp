#include "core/audio/wave_format.h"

#include "core/util/little_endian.h"

namespace voxloom {

std::array<std::uint8_t, WaveFormat::kBytes> WaveFormat::toBytes() const {
  std::array<std::uint8_t, kBytes> b{};
  putLe16(&b[0], formatTag);
  putLe16(&b[2], channels);
  putLe32(&b[4], samplesPerSec);
  putLe32(&b[8], avgBytesPerSec);
  putLe16(&b[12], blockAlign);
  putLe16(&b[14], bitsPerSample);
  putLe16(&b[16], extraSize);
  return b;
}

WaveFormat WaveFormat::fromBytes(const std::array<std::uint8_t, kBytes>& b) {
  WaveFormat f;
  f.formatTag = getLe16(&b[0]);
  f.channels = getLe16(&b[2]);
  f.samplesPerSec = getLe32(&b[4]);
  f.avgBytesPerSec = getLe32(&b[8]);
  f.blockAlign = getLe16(&b[12]);
  f.bitsPerSample = getLe16(&b[14]);
  f.extraSize = getLe16(&b[16]);
  return f;
}

bool WaveFormat::isStandardPcm() const {
  return formatTag == kPcm && (bitsPerSample == 8 || bitsPerSample == 16) &&
         (channels == 1 || channels == 2);
}

}  // namespace voxloom
