#include "core/app/session_replay.h"

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

void connectSessionCapture(PlaybackEngine& engine, SessionController& sessions) {
  engine.capture.begin = [&sessions] {
    return !sessions.session.recordMode || sessions.beginEvpCapture();
  };
  engine.capture.append = [&sessions](const NextBlock& block, std::int32_t serial) {
    if (!sessions.session.isCapturing) return;
    sessions.appendSegmentEntry(block.pick.start, block.length, serial, block.label, block.fade,
                                block.pick.segmentNumber);
  };
  engine.capture.finish = [&sessions](std::int32_t segmentSerial, int bufferCount) {
    sessions.finishEvpCapture(segmentSerial, bufferCount);
  };
}

}  // namespace voxloom
