#include "core/app/session_replay.h"

#include "core/random/random_sources.h"

namespace voxloom {

std::optional<ReplayEntry> SessionReplayCursor::next() {
  while (replayRemaining_ > 0) {
    if (replayRecord_ < 0 || replayRecord_ >= session_->count()) break;
    const std::vector<EvpSegmentEntry>& entries =
        session_->records[static_cast<std::size_t>(replayRecord_)].segments;
    if (replayEntry_ < entries.size()) {
      const EvpSegmentEntry& e = entries[replayEntry_++];
      return ReplayEntry{e.start, e.length, e.fade, e.segmentNumber, replayRecord_};
    }
    --replayRemaining_;
    ++replayRecord_;
    replayEntry_ = 0;
  }
  replayRemaining_ = 0;
  return std::nullopt;
}

bool SessionCapture::begin() {
  const bool go = !sessions_.session.recordMode || sessions_.beginEvpCapture();
  if (sessions_.session.isCapturing) context_.random.log.trace = &trace_;
  return go;
}

void SessionCapture::append(const NextBlock& block, std::int32_t serial) {
  if (!sessions_.session.isCapturing) return;
  sessions_.appendSegmentEntry(block.pick.start, block.length, serial, block.label, block.fade,
                               block.pick.segmentNumber);
  const RandomSources& r = context_.random;
  sessions_.appendProvenance({serial, static_cast<int>(r.randomKind), trace_, block.pick.start,
                              block.length, block.pick.segmentNumber, block.label,
                              cueListInUse(context_.options, context_.doc.cueCount()), block.fade,
                              healthStateText(r.health.state())});
}

void SessionCapture::finish(std::int32_t segmentSerial, int bufferCount) {
  RandomSources& random = context_.random;
  if (random.log.trace == &trace_) random.log.trace = nullptr;
  sessions_.noteCaptureHealth(recordHealthOf(random.health));
  sessions_.finishEvpCapture(segmentSerial, bufferCount);
}

}  // namespace voxloom
