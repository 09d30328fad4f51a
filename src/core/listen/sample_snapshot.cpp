#include "core/listen/sample_snapshot.h"

#include <algorithm>
#include <cstring>

namespace voxloom {

SampleSnapshot snapshotOf(const AudioDocument& doc) {
  SampleSnapshot s;
  s.bitsPerSample = doc.format.bitsPerSample;
  s.channels = std::max<int>(doc.format.channels, 1);
  s.rate = static_cast<std::uint32_t>(std::max<Rate>(doc.nominalRate, 0));
  if (!doc.isLoaded || doc.samples == nullptr || doc.frameBytes <= 0) return s;
  s.frames = doc.frameCount;
  const auto size =
      static_cast<std::size_t>(doc.frameCount) * static_cast<std::size_t>(doc.frameBytes);
  s.bytes.assign(doc.samples.get(), doc.samples.get() + size);
  return s;
}

bool sameSamples(const SampleSnapshot& s, const AudioDocument& doc) {
  const SampleSnapshot now{{},
                           doc.format.bitsPerSample,
                           std::max<int>(doc.format.channels, 1),
                           static_cast<std::uint32_t>(std::max<Rate>(doc.nominalRate, 0)),
                           doc.isLoaded ? doc.frameCount : 0};
  if (now.bitsPerSample != s.bitsPerSample || now.channels != s.channels || now.rate != s.rate ||
      now.frames != s.frames)
    return false;
  if (s.bytes.empty()) return true;
  return doc.samples != nullptr &&
         static_cast<std::size_t>(doc.frameCount) * static_cast<std::size_t>(doc.frameBytes) ==
             s.bytes.size() &&
         std::memcmp(doc.samples.get(), s.bytes.data(), s.bytes.size()) == 0;
}

std::size_t SnapshotPcmSource::read(std::int16_t* out, std::size_t frames) {
  const SampleSnapshot& s = *snapshot_;
  const std::int64_t left = std::max<std::int64_t>(s.frames - at_, 0);
  const auto n =
      static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(frames)));
  const std::size_t values = n * static_cast<std::size_t>(s.channels);
  const std::size_t first = static_cast<std::size_t>(at_) * static_cast<std::size_t>(s.channels);
  for (std::size_t i = 0; i < values; ++i) {
    const std::size_t v = first + i;
    if (s.bitsPerSample == 8) {
      out[i] = static_cast<std::int16_t>((static_cast<int>(s.bytes[v]) - 128) * 256);
    } else if (s.bitsPerSample == 16) {
      out[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(s.bytes[2 * v]) |
                                         static_cast<std::uint16_t>(s.bytes[2 * v + 1] << 8));
    } else {
      out[i] = 0;
    }
  }
  at_ += static_cast<std::int64_t>(n);
  return n;
}

}  // namespace voxloom
