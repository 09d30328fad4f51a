#pragma once

#include <cstdint>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/audio/auto_cut_options.h"
#include "core/effects/effect_result.h"

namespace voxloom {

// The cut positions (sample frames) in the quiet gaps of an envelope: a value is below
// the threshold only when strictly less than it. Each time the envelope has fallen
// below the threshold and then risen above it again, the cut lies halfway between the
// centre of the first quiet envelope frame and the centre of the frame where it rises.
std::vector<Frames> findCuts(const std::vector<std::uint16_t>& envelope, int threshold,
                             Frames frameLength);

// Replaces the document's cues by regions between the cuts (after the dialog was closed
// with OK): "Auto Cue N", purpose "rgn", the first from frame 0, the stretch after the
// last cut without a cue. With item 1 chosen the mean envelope becomes the threshold
// and is written into `options`, item 1 staying chosen. Status panel 1 shows the new
// cue count. Nothing changes, and the result is unmodified, when the frame size is
// below one sample frame or the signal shorter than one envelope frame.
EffectResult autoCut(AudioDocument& doc, AutoCutOptions& options);

}  // namespace voxloom
