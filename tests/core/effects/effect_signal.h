#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/audio/audio_document.h"

namespace voxloom::test {

// A loaded document with the given samples (right empty: mono), written through
// putSample so the stored layout is the document's own.
inline void makeSignal(AudioDocument& doc, int bits, Rate rate, const std::vector<int>& left,
                       const std::vector<int>& right = {}, Bytes extraBytes = 0) {
  const int channels = right.empty() ? 1 : 2;
  doc.format.formatTag = 1;
  doc.format.channels = static_cast<std::uint16_t>(channels);
  doc.format.bitsPerSample = static_cast<std::uint16_t>(bits);
  doc.format.samplesPerSec = static_cast<std::uint32_t>(rate);
  const Bytes frameBytes = bits / 8 * channels;
  const Bytes bytes = static_cast<Bytes>(left.size()) * frameBytes + extraBytes;
  doc.allocateSamples(bytes);
  for (Bytes i = 0; i < bytes; ++i) doc.samples[i] = static_cast<std::uint8_t>(0xA5 + i);
  doc.setUpDocument("signal.wav", true);
  for (std::size_t i = 0; i < left.size(); ++i) {
    doc.putSample(doc.channelBase(0), static_cast<Frames>(i), left[i]);
    if (channels == 2) doc.putSample(doc.channelBase(1), static_cast<Frames>(i), right[i]);
  }
}

inline CuePoint cueAt(Frames position, const std::string& label = {}) {
  CuePoint cue;
  cue.position = position;
  cue.label = label;
  return cue;
}

inline std::vector<int> channelSamples(const AudioDocument& doc, int channel) {
  std::vector<int> out(static_cast<std::size_t>(doc.frameCount));
  for (Frames i = 0; i < doc.frameCount; ++i) {
    out[static_cast<std::size_t>(i)] = doc.sampleAt(doc.channelBase(channel), i);
  }
  return out;
}

inline std::vector<int> randomSamples(std::mt19937& rng, std::size_t count, int bits) {
  const int full = bits == 8 ? 128 : 32768;
  std::uniform_int_distribution<int> value(-full, full - 1);
  std::vector<int> out(count);
  for (int& v : out) v = value(rng);
  return out;
}

}  // namespace voxloom::test
