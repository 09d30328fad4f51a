#pragma once

#include "core/audio/audio_document.h"
#include "core/audio/echo_settings.h"
#include "core/effects/effect_result.h"

namespace voxloom {

// Delay in sample frames: nominalRate x delay / 1000, at most frameCount (and never
// negative).
Frames echoDelayFrames(const AudioDocument& doc, int delayMs);

// Adds a feedback echo in place: running forward, every sample from the delay on gets
// the (already echoed) sample one delay earlier times decay / 100 added, truncated and
// saturated. Each channel echoes only itself. Cues are not changed. Marks the document
// modified, also when no sample changes (decay 0, delay beyond the signal).
EffectResult addEcho(AudioDocument& doc, int delayMs, int decayPercent);

}  // namespace voxloom
