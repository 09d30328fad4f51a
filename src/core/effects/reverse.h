#pragma once

#include "core/audio/audio_document.h"
#include "core/effects/effect_result.h"

namespace voxloom {

// Reverses the order of the sample frames in place; each channel stays in its place
// within the frame. Cues are not changed. Marks the document modified.
// Only whole frames move: a trailing partial frame keeps its bytes and its place.
EffectResult reverseSignal(AudioDocument& doc);

}  // namespace voxloom
