#pragma once

#include <string>
#include <vector>

#include "core/audio/audio_document.h"

namespace voxloom::test {

// Fills `doc` with 8- or 16-bit PCM; `samples` are interleaved per frame.
inline void makeSignal(AudioDocument& doc, int channels, int bits, int rate,
                       const std::vector<int>& samples) {
  doc.format.formatTag = 1;
  doc.format.channels = static_cast<std::uint16_t>(channels);
  doc.format.bitsPerSample = static_cast<std::uint16_t>(bits);
  doc.format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  doc.format.samplesPerSec = static_cast<std::uint32_t>(rate);
  doc.format.avgBytesPerSec = static_cast<std::uint32_t>(rate * channels * bits / 8);
  doc.nominalRate = rate;
  doc.frameBytes = channels * bits / 8;
  doc.allocateSamples(static_cast<Bytes>(samples.size()) * (bits / 8));
  doc.frameCount = static_cast<Frames>(samples.size()) / channels;
  for (Frames f = 0; f < doc.frameCount; ++f) {
    for (int c = 0; c < channels; ++c) {
      doc.putSample(doc.channelBase(c), f, samples[static_cast<std::size_t>(f * channels + c)]);
    }
  }
  doc.isLoaded = true;
}

// A mono 16-bit signal of `frames` frames, every sample `value`.
inline void makeConstantSignal(AudioDocument& doc, Frames frames, int value, int rate = 44100) {
  makeSignal(doc, 1, 16, rate, std::vector<int>(static_cast<std::size_t>(frames), value));
}

inline CuePoint cue(Frames position, Frames length, const std::string& label = "") {
  CuePoint c;
  c.position = position;
  c.length = length;
  c.label = label;
  return c;
}

}  // namespace voxloom::test
