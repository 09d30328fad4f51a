#include "core/listen/sample_snapshot.h"

#include <algorithm>
#include <cstring>

#include "core/audio/pcm_int16.h"

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
  const std::size_t first = static_cast<std::size_t>(at_) * static_cast<std::size_t>(s.channels);
  const std::size_t sampleBytes = s.bitsPerSample == 16 ? 2 : 1;
  pcmToInt16(s.bytes.data() + first * sampleBytes, n * static_cast<std::size_t>(s.channels),
             s.bitsPerSample, out);
  at_ += static_cast<std::int64_t>(n);
  return n;
}

}  // namespace voxloom
