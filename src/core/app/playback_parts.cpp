#include "core/app/playback_parts.h"

#include <utility>

namespace voxloom {

PlaybackParts::PlaybackParts(Prompter& prompter, const AudioDocument& document,
                             RandomSources& sources, const int& runState, RunListener report)
    : random(sources),
      prompter_(prompter),
      document_(document),
      runState_(runState),
      report_(std::move(report)) {}

PlaybackEngine& PlaybackParts::attachDevice(WaveOut& device, EventLoop& loop, OneShotTimer* timer,
                                            PlaybackPeers& peers, EvpCapture& capture) {
  loop_ = &loop;
  engine_ = std::make_unique<PlaybackEngine>(device, prompter_, sequencerContext(), runState_,
                                             report_, playTime, peers, capture);
  engine_->setTimer(timer);
  return *engine_;
}

int PlaybackParts::changeDuration(int entered) {
  const int value = applySpinChange(options.duration, entered, SegmentOptions::kMinDuration,
                                    SegmentOptions::kMaxDuration);
  updateMinFrames(table, options, document_);
  return value;
}

int PlaybackParts::changeDuration2(int entered) {
  const int value = applySpinChange(options.duration2, entered, SegmentOptions::kMinDuration,
                                    SegmentOptions::kMaxDuration);
  updateMaxFrames(table, options, document_);
  return value;
}

void PlaybackParts::clickOption(SegmentCheck& check) {
  if (!check.enabled) return;
  check.checked = !check.checked;
  if (&check != &options.overlap) updateSegmentControls(options, 0, document_.cueCount());
}

}  // namespace voxloom
