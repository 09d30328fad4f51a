#include "core/engine/offline_evp.h"

#include "core/random/random_sources.h"

namespace voxloom {

OfflineEvpResult generateOfflineEvp(SequencerContext& context, const OfflineEvpLimit& limit,
                                    const std::function<bool(std::span<const std::uint8_t>)>& sink,
                                    std::vector<ProvenanceBlock>* provenance) {
  OfflineEvpResult result;
  RandomSources& random = context.random;
  DrawTrace* const previousTrace = random.log.trace;
  DrawTrace trace;
  if (provenance != nullptr) random.log.trace = &trace;
  const bool cueList = cueListInUse(context.options, context.doc.cueCount());
  const Bytes frameBytes = context.doc.frameBytes;
  std::int32_t serial = 0;
  // A signal that only yields empty segments must not keep a time limit from ending.
  constexpr int kEmptyBlocksLimit = 1 << 20;
  int emptyInARow = 0;
  for (;;) {
    if (limit.blocks ? serial >= *limit.blocks : result.frames >= limit.frames && serial > 0) break;
    // The render buffer of slot 0 is reused: each block is written before the next.
    const NextBlock block = makeNextBlock(context, 0, false);
    if (block.status == BlockStatus::NoPick) {
      result.status = OfflineEvpStatus::NoPick;
      result.pickStatus = block.pickStatus;
      break;
    }
    if (block.status != BlockStatus::Ready || !block.recordable) {
      result.status = OfflineEvpStatus::SourceFailed;
      break;
    }
    const std::int64_t frames = result.frames + (frameBytes > 0 ? block.bytes / frameBytes : 0);
    if (limit.fits && !limit.fits(frames, std::int64_t{serial} + 1)) {
      result.status = OfflineEvpStatus::TooLarge;
      break;
    }
    if (!sink({block.data, static_cast<std::size_t>(block.bytes)})) {
      result.status = OfflineEvpStatus::WriteFailed;
      break;
    }
    ++serial;
    result.entries.push_back({block.pick.start, block.length, serial, block.pick.segmentNumber,
                              block.fade, block.label});
    if (provenance != nullptr) {
      provenance->push_back({serial, static_cast<int>(random.randomKind), trace, block.pick.start,
                             block.length, block.pick.segmentNumber, block.label, cueList,
                             block.fade, healthStateText(random.health.state())});
    }
    result.frames = frames;
    emptyInARow = block.bytes > 0 ? 0 : emptyInARow + 1;
    if (emptyInARow >= kEmptyBlocksLimit) break;
  }
  random.log.trace = previousTrace;
  context.renderer.freeRenderBuffers();
  return result;
}

}  // namespace voxloom
