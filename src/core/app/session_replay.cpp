#include "core/app/session_replay.h"

#include <memory>

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

void connectSessionCapture(PlaybackEngine& engine, SessionController& sessions,
                           SequencerContext context) {
  RandomSources& random = context.random;
  // Lives as long as the callbacks; the random log points at it only during a capture.
  auto trace = std::make_shared<DrawTrace>();
  engine.capture.begin = [&sessions, &random, trace] {
    const bool go = !sessions.session.recordMode || sessions.beginEvpCapture();
    if (sessions.session.isCapturing) random.log.trace = trace.get();
    return go;
  };
  engine.capture.append = [&sessions, context, trace](const NextBlock& block, std::int32_t serial) {
    if (!sessions.session.isCapturing) return;
    sessions.appendSegmentEntry(block.pick.start, block.length, serial, block.label, block.fade,
                                block.pick.segmentNumber);
    const RandomSources& r = context.random;
    sessions.appendProvenance({serial, static_cast<int>(r.randomKind), *trace, block.pick.start,
                               block.length, block.pick.segmentNumber, block.label,
                               cueListInUse(context.options, context.doc.cueCount()), block.fade,
                               healthStateText(r.health.state())});
  };
  engine.capture.finish = [&sessions, &random, trace](std::int32_t segmentSerial, int bufferCount) {
    if (random.log.trace == trace.get()) random.log.trace = nullptr;
    sessions.noteCaptureHealth(recordHealthOf(random.health));
    sessions.finishEvpCapture(segmentSerial, bufferCount);
  };
}

}  // namespace voxloom
