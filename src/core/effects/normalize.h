#pragma once

#include "core/audio/audio_document.h"
#include "core/effects/effect_result.h"

namespace voxloom {

// The caption the main window shows while a recording is normalized.
inline constexpr const char* kNormalizingCaption = "Normalizing ...";

// The peak used for scaling: the larger of max and -min over all samples of all
// channels, so a negative limit (-128, -32768) counts one step more than the positive.
int signalPeak(const AudioDocument& doc);

// Scales every sample by (2^(bits-1) - 1) / peak, truncating toward zero. A silent (or
// empty) signal is left unchanged and not marked modified. Cues are not changed.
EffectResult normalizeSignal(AudioDocument& doc);

}  // namespace voxloom
