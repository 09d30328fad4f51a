#include "core/engine/segment_sequencer.h"

#include "core/random/random_sources.h"

namespace voxloom {

NextBlock makeNextBlock(SequencerContext& context, int slot, bool muteRepeats) {
  NextBlock block;
  // A trace holds the draws of one block.
  if (context.random.log.trace != nullptr) context.random.log.trace->clear();
  StopRequest& stop = context.random.stop();
  if (stop.stopRequested) {
    block.status = BlockStatus::Stopped;
    return block;
  }
  const PickResult result =
      pickSegment(context.table, context.options, context.doc, context.random, muteRepeats);
  if (!result.ok()) {
    block.status = BlockStatus::NoPick;
    block.pickStatus = result.status;
    return block;
  }
  block.pick = result.pick;
  const AudioDocument& doc = context.doc;
  const std::uint8_t* data = doc.samples.get();
  Frames blockStart = block.pick.start;
  Frames length = block.pick.length;
  block.fade = context.options.crossFade.on();
  const bool cueMode = cueListInUse(context.options, doc.cueCount());
  if (block.fade) {
    // A faded cue plays its first half; its second half sounds under the next block.
    if (cueMode) length /= 2;
    data = renderCrossFade(context.renderer, doc, slot, blockStart, length);
  }
  block.data =
      data == nullptr ? nullptr : data + static_cast<std::ptrdiff_t>(blockStart) * doc.frameBytes;
  block.length = length;
  block.bytes = block.pick.muted || block.data == nullptr ? 0 : length * doc.frameBytes;
  block.userValue = block.pick.segmentNumber;
  if (cueMode && block.pick.cueIndex >= 0) {
    block.label = doc.cues[static_cast<std::size_t>(block.pick.cueIndex)].label;
  }
  block.recordable = !stop.stopRequested && !block.pick.muted;
  return block;
}

}  // namespace voxloom
