#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/util/units.h"

namespace voxloom {

inline constexpr int kRenderSlots = 20;

// Arithmetic used for the frames: all give the same bytes; the vector ones are faster.
enum class RenderPath { Scalar, Sse2, Avx2, Avx512 };

// The fastest path this build and CPU offer.
RenderPath fastestRenderPath();

// The gains of the last block length rendered: blocks usually repeat their length, and
// the sine shapes cost two sines per frame otherwise. One entry per sample: a frame's
// gain repeats for each of its channels.
struct GainTable {
  int mode = -1;
  Frames length = -1;
  int channels = 0;
  std::vector<double> gainIn;
  std::vector<double> gainOut;
};

// Renderer state, owned by the engine beside its slot ring.
struct RendererState {
  int fadeMode = 0;  // FadeMode; shared by all renders
  // Frame after the last rendered segment; -1: none yet. 64 bits: a segment may end
  // past the largest frame number.
  std::int64_t prevEnd = -1;
  std::array<std::unique_ptr<std::uint8_t[]>, kRenderSlots> renderBuffers;
  GainTable gainCache;
  RenderPath path = fastestRenderPath();  // tests narrow it to compare the paths

  void freeRenderBuffers() {
    for (auto& buffer : renderBuffers) buffer.reset();
  }
};

// Renders `length` frames of the segment at `start` into the buffer of `slot` (0..19),
// fading it in while the signal that follows the previous segment (from prevEnd on)
// fades out. Frames outside the signal read as silence. Moves prevEnd on, sets `start`
// to 0 (the block begins at the returned buffer) and returns the slot's buffer; nullptr
// for a slot outside 0..19, changing nothing.
const std::uint8_t* renderCrossFade(RendererState& state, const AudioDocument& doc, int slot,
                                    Frames& start, Frames length);

}  // namespace voxloom
