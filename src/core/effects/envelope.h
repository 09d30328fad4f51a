#pragma once

#include <cstdint>
#include <vector>

#include "core/audio/audio_document.h"

namespace voxloom {

// Envelope frame length in sample frames: frame size (ms) x the format's samples-per-
// second field / 1000. That field, not nominalRate, is used on purpose: after a playback
// with speed control it holds the adjusted rate. 0 when not even one sample frame.
Frames envelopeFrameLength(const AudioDocument& doc, int frameSizeMs);

// The peak of every whole envelope frame of `frameLength` sample frames, in percent of
// full scale (0..100): |sample| for mono, (|left| + |right|) / 2 for stereo. A trailing
// remainder shorter than one envelope frame is not examined.
std::vector<std::uint16_t> amplitudeEnvelope(const AudioDocument& doc, Frames frameLength);

// The mean envelope value, truncated; 0 for an empty envelope.
int meanEnvelope(const std::vector<std::uint16_t>& envelope);

}  // namespace voxloom
