// The main window's side of the speed control, the visual feedback and the live source:
// the menu commands, the engine's call-outs and their steps at start-up and close.
#include <algorithm>
#include <chrono>
#include <thread>

#include "core/app/main_controller.h"

namespace voxloom {

void MainController::startUpToolWindows() {
  // The slider's change logic runs once for the stored position; nothing plays yet.
  changeSpeedSlider(speed.sliderPosition);
  speed.window.showIfChecked();
  feedback.window.showIfChecked();
  // The stored source was selected while loading: the sound card's level window comes too.
  if (playback.random.menu.showRecLevel) recording.level.setVisible(true);
}

void MainController::closeToolWindows() {
  speed.window.closeWithMainWindow();
  feedback.window.closeWithMainWindow();
}

void MainController::toggleSpeedWindow() {
  speed.window.toggle();
}

void MainController::toggleFeedbackWindow() {
  feedback.window.toggle();
}

void MainController::changeSpeedSlider(int position) {
  speed.sliderPosition =
      std::clamp(position, SpeedControl::kPositionMin, SpeedControl::kPositionMax);
  if (speed.window.changed) speed.window.changed();
  setPlaybackSpeed(speed.speedPercent());
}

void MainController::setPlaybackSpeed(int percent) {
  PlaybackEngine* engine = playback.engine();
  if (engine == nullptr) return;
  engine->speedPercent = percent;  // the rate of the next open
  if (commandState == kStatePlaying || commandState == kStateMakingEvp ||
      commandState == kStateSessionPlay)
    engine->changePlaybackRate(playbackRateFactor(percent));
}

void MainController::connectFeedback(PlaybackEngine& engine) {
  engine.speedPercent = speed.speedPercent();
  engine.callouts.showSegment = [this](std::uintptr_t user) {
    showSegment(static_cast<std::int32_t>(user));
  };
}

void MainController::showSegment(std::int32_t segmentNumber) {
  const SegmentOptions& options = playback.options;
  FeedbackOptions now;
  now.overlapInUse = options.overlap.checked && options.overlap.enabled;
  now.durationEnabled = options.duration.enabled;
  now.segmentCount = playback.table.segmentCount;
  feedback.showSegment(segmentNumber, now);
}

// --- Live source ---

void MainController::attachLive(WaveIn& device, EventLoop& loop) {
  liveLoop_ = &loop;
  live.attachDevice(device);
  live.dialog = recording.dialog;
  LiveCallouts& out = live.callouts;
  out.discardDocument = [this] { return discardDocumentIfAllowed(); };
  out.textsChanged = [this] { notify(ViewAspect::Texts); };
  out.documentChanged = [this] { notify(ViewAspect::Document); };
  out.stopPlayback = [this] { stopPlayback(); };
  out.menuChanged = [this] { notify(ViewAspect::Commands); };
  // The waveform view follows the buffer as it fills; its summary never reads samples
  // while a chunk is copied in.
  out.samplesWriting = [this] { signalView.suspend(); };
  out.samplesWritten = [this](Frames first, Frames end) {
    signalView.resume(first, end);
    notify(ViewAspect::Document);
  };
  out.samplesReleasing = [this] { signalView.forget(); };
}

void MainController::toggleLiveMode() {
  if (!commands[Command::Live]) return;
  if (live.dialog == nullptr) live.dialog = recording.dialog;
  live.toggleLiveMode();
}

bool MainController::setLiveMode(bool on) {
  if (live.dialog == nullptr) live.dialog = recording.dialog;
  return live.setLiveMode(on);
}

void MainController::leaveLiveMode() {
  if (!liveMode && !live.liveActive()) return;
  live.setLiveMode(false);
  // The reset hands the chunks back at once; their notifications only need running.
  if (liveLoop_ != nullptr) liveLoop_->processPending();
}

// --- end of live source ---

}  // namespace voxloom
