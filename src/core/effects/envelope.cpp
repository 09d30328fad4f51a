#include "core/effects/envelope.h"

#include <algorithm>
#include <cstdlib>

#include "core/effects/pcm_codec.h"

namespace voxloom {
namespace {

template <class Codec, int Channels>
void fillEnvelope(const std::uint8_t* data, Frames frameLength, std::vector<std::uint16_t>& env) {
  std::int64_t n = 0;  // flat index of the current frame's left sample
  for (std::uint16_t& value : env) {
    int peak = 0;
    for (Frames j = 0; j < frameLength; ++j, n += Channels) {
      int level = std::abs(Codec::read(data, n));
      if constexpr (Channels == 2) level = (level + std::abs(Codec::read(data, n + 1))) / 2;
      peak = std::max(peak, level);
    }
    value = static_cast<std::uint16_t>(peak * 100 / Codec::kFullScale);
  }
}

}  // namespace

Frames envelopeFrameLength(const AudioDocument& doc, int frameSizeMs) {
  const std::int64_t length =
      static_cast<std::int64_t>(frameSizeMs) * doc.format.samplesPerSec / 1000;
  // Anything longer than the signal yields no whole frame; clamp so it fits the type.
  return static_cast<Frames>(std::clamp<std::int64_t>(length, 0, INT32_MAX));
}

std::vector<std::uint16_t> amplitudeEnvelope(const AudioDocument& doc, Frames frameLength) {
  if (!pcm::isEditable(doc) || frameLength < 1) return {};
  std::vector<std::uint16_t> env(static_cast<std::size_t>(doc.frameCount / frameLength));
  if (env.empty()) return env;
  const bool stereo = pcm::channelsOf(doc) == 2;
  pcm::withCodec(doc, [&](auto codec) {
    using Codec = decltype(codec);
    if (stereo) {
      fillEnvelope<Codec, 2>(doc.samples.get(), frameLength, env);
    } else {
      fillEnvelope<Codec, 1>(doc.samples.get(), frameLength, env);
    }
  });
  return env;
}

int meanEnvelope(const std::vector<std::uint16_t>& envelope) {
  if (envelope.empty()) return 0;
  std::int64_t sum = 0;
  for (std::uint16_t v : envelope) sum += v;
  return static_cast<int>(sum / static_cast<std::int64_t>(envelope.size()));
}

}  // namespace voxloom
