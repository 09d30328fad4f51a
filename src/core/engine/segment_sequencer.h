#pragma once

#include <cstdint>
#include <string>

#include "core/audio/audio_document.h"
#include "core/engine/cross_fade_renderer.h"
#include "core/engine/segment_model.h"
#include "core/engine/segment_options.h"
#include "core/util/units.h"

namespace voxloom {

class RandomSources;

// Everything the sequencer works with; the engine (and the offline renderer) own these.
struct SequencerContext {
  SegmentTable& table;
  const SegmentOptions& options;
  const AudioDocument& doc;
  RandomSources& random;  // also carries the engine's stop request
  RendererState& renderer;
};

enum class BlockStatus {
  Ready,    // queue the block
  Stopped,  // the stop request was set before the pick: queue nothing
  NoPick,   // no segment can be cut (see pick); queue nothing
};

// One output block, ready to be queued on a device or appended to a file.
struct NextBlock {
  BlockStatus status = BlockStatus::Ready;
  PickStatus pickStatus = PickStatus::Ok;
  const std::uint8_t* data = nullptr;  // first byte of the block
  Bytes bytes = 0;                     // 0 for a muted pick
  std::int32_t userValue = 0;          // the pick's segment number
  SegmentPick pick;                    // start after the zero-cross adjustment
  Frames length = 0;                   // as queued, after any halving
  bool fade = false;                   // cross-faded
  std::string label;                   // the cue's label in cue-list mode
  // A session capture may record this block: the stop request was not raised during
  // the pick and the pick is not muted.
  bool recordable = false;
};

// Picks one segment and makes its block; cross-faded blocks go into the render buffer of
// `slot`. The caller queues the block, counts it and records it.
NextBlock makeNextBlock(SequencerContext& context, int slot, bool muteRepeats);

}  // namespace voxloom
