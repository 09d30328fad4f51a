#include "core/app/playback_service.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "core/app/session_replay.h"
#include "core/engine/cross_fade.h"
#include "core/random/manual_sweep.h"

namespace voxloom {

namespace {

void bindSpin(Settings& s, const char* key, SegmentSpin& spin, int low, int high) {
  s.bindInt(
      key, [&spin] { return spin.value; },
      [&spin, low, high](int v) { spin.value = std::clamp(v, low, high); });
}

// Positions beyond every screen are moved back by the window when it is shown.
constexpr int kMaxWindowExtent = 100000;
constexpr int kMaxFontPoints = 1638;  // the largest size the font dialog offers

void bindToolWindow(Settings& s, const std::string& prefix, ToolWindowState& window) {
  s.bindBool(prefix + "Visible", window.checked);
  s.bindInt(prefix + "LeftPosition", window.left, -kMaxWindowExtent, kMaxWindowExtent);
  s.bindInt(prefix + "TopPosition", window.top, -kMaxWindowExtent, kMaxWindowExtent);
}

}  // namespace

PlaybackService::PlaybackService(Prompter& prompter, DocumentService& document,
                                 RandomService& random, RecordingService& recording,
                                 CommandStates& states, ViewRelay& relay, DocumentGate& gate)
    : parts(prompter, document.document, random.sources, states.state(), states.listener()),
      live(document.document, prompter, states.listener(), states.liveMode, recording.engine.params,
           gate, *this),
      document_(document),
      recording_(recording),
      states_(states),
      relay_(relay) {
  states.follow(*this);
}

void PlaybackService::bindSettings(Settings& s) {
  SegmentOptions& seg = parts.options;
  bindSpin(s, "SegmentDuration", seg.duration, SegmentOptions::kMinDuration,
           SegmentOptions::kMaxDuration);
  bindSpin(s, "SegmentDuration2", seg.duration2, SegmentOptions::kMinDuration,
           SegmentOptions::kMaxDuration);
  s.bindBool("SegmentTo", seg.segTo.checked);
  s.bindBool("UseCueList", seg.useCueList.checked);
  s.bindBool("Overlap", seg.overlap.checked);
  s.bindBool("ZeroCrossAdjust", seg.zeroCrossAdjust.checked);
  s.bindBool("CrossFade", seg.crossFade.checked);
  s.bindInt("FadingMode", seg.fadeMode, 0, kFadeModeCount - 1);
  bindSpin(s, "RandomPlayTime", parts.playTime.time, PlayTimeControls::kMinSeconds,
           PlayTimeControls::kMaxSeconds);
  s.bindInt("RandomPlay", parts.playTime.itemIndex, 0, 1);

  bindToolWindow(s, "SpeedControlWindow", speed.window);
  s.bindInt("SpeedControlWindowSliderPosition", speed.sliderPosition, SpeedControl::kPositionMin,
            SpeedControl::kPositionMax);
  bindToolWindow(s, "VisualFeedbackWindow", feedback.window);
  s.bindInt("VisualFeedbackWindowWidth", feedback.width, 1, kMaxWindowExtent);
  s.bindInt("VisualFeedbackWindowHeight", feedback.height, 1, kMaxWindowExtent);
  FeedbackFont& font = feedback.font;
  s.bindText("VisualFeedbackWindowFontName", font.name);
  s.bindBool("VisualFeedbackWindowFontStyleBold", font.bold);
  s.bindBool("VisualFeedbackWindowFontStyleItalic", font.italic);
  s.bindBool("VisualFeedbackWindowFontStyleUnderline", font.underline);
  s.bindBool("VisualFeedbackWindowFontStyleStrikeOut", font.strikeOut);
  s.bindInt("VisualFeedbackWindowFontSize", font.size, 0, kMaxFontPoints);
  s.bindInt("VisualFeedbackWindowFontCharset", font.charset, 0, 255);
}

void PlaybackService::commandStateChanged(int state, const CommandView& commands) {
  document_.signalView.commandStateChanged(
      state, parts.playTime.stopsAfterTime() ? parts.playTime.time.value : 0);
  if (state >= kStateIdle && state <= kStateRecording) {  // the control modes
    updateSegmentControls(parts.options, commands.segmentControlsMode,
                          document_.document.cueCount());
    updatePlayTimeControls(parts.playTime, commands.playTimeControlsMode);
  }
}

bool PlaybackService::muteRepeats() {
  return parts.random.randomKind == RandomSourceKind::ManualSweep && parts.random.manualMute;
}

// A Stop that reaches the playback engine first still ends the recording.
void PlaybackService::resetRecording() {
  recording_.engine.resetDevice();
}

PlaybackEngine& PlaybackService::attach(WaveOut& device, EventLoop& loop, OneShotTimer* timer,
                                        EvpCapture& capture) {
  PlaybackEngine& engine = parts.attachDevice(device, loop, timer, *this, capture);
  SignalView& view = document_.signalView;
  engine.callouts.pauseChanged = [this, &view](bool paused) {
    view.setPaused(paused);
    relay_.notify(ViewAspect::Commands);
  };
  engine.speedPercent = speed.speedPercent();
  engine.callouts.showSegment = [this](std::uintptr_t user) {
    showSegment(static_cast<std::int32_t>(user));
  };
  return engine;
}

void PlaybackService::play() {
  if (!states_.enabled(Command::Play) || parts.engine() == nullptr) return;
  parts.engine()->playDocument();
}

void PlaybackService::makeEvp() {
  if (!states_.enabled(Command::MakeEvp) || parts.engine() == nullptr) return;
  // The source's tool window comes back with every EVP: the user may have closed it.
  if (parts.random.randomKind == RandomSourceKind::ManualSweep) {
    parts.random.menu.showManualRandom = true;
    relay_.notify(ViewAspect::Commands);
  }
  if (parts.random.randomKind == RandomSourceKind::SoundCard)
    recording_.engine.level.setVisible(true);
  parts.engine()->makeEvp();
}

void PlaybackService::togglePause() {
  if (!states_.enabled(Command::Pause) || parts.engine() == nullptr) return;
  parts.engine()->togglePause();
}

void PlaybackService::stop() {
  if (states_.state() == kStateRecording) return recording_.engine.stopRecording();
  if (parts.engine() == nullptr) return;
  parts.engine()->stopPlayback();
}

void PlaybackService::closeManualRandom() {
  parts.random.menu.showManualRandom = false;
  if (closingManualStopsPlayback(states_.state() == kStateMakingEvp, parts.random.randomKind))
    stop();
}

void PlaybackService::toggleRandomLog() {
  if (!states_.enabled(Command::LogRandom)) return;
  parts.random.toggleRandomLog(document_.folders.useSeparate);
  relay_.notify(ViewAspect::Commands);
}

void PlaybackService::stopAndDrain() {
  recording_.drain();
  PlaybackEngine* engine = parts.engine();
  if (engine == nullptr) return;
  if (states_.state() != kStateIdle) engine->stopPlayback();
  // Reset hands every block back at once; the notifications only need delivering. A
  // device that never answers must not keep the program from closing.
  EventLoop* loop = parts.loop();
  for (int i = 0; engine->isOpen() && loop != nullptr && i < 200; ++i) {
    loop->processPending();
    if (engine->isOpen()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void PlaybackService::playRecords(const Session& session, std::int32_t first, std::int32_t n) {
  PlaybackEngine* engine = parts.engine();
  if (engine == nullptr || states_.state() != kStateIdle) return;
  engine->playEntries(
      [cursor = SessionReplayCursor(session, first, n)]() mutable { return cursor.next(); });
}

void PlaybackService::stopReplay() {
  if (states_.state() != kStateSessionPlay || parts.engine() == nullptr) return;
  parts.engine()->stopPlayback();
}

// --- Speed control and visual feedback ---

void PlaybackService::startUpToolWindows() {
  // The slider's change logic runs once for the stored position; nothing plays yet.
  changeSpeedSlider(speed.sliderPosition);
  speed.window.showIfChecked();
  feedback.window.showIfChecked();
  // The stored source was selected while loading: the sound card's level window comes too.
  if (parts.random.menu.showRecLevel) recording_.engine.level.setVisible(true);
}

void PlaybackService::closeToolWindows() {
  speed.window.closeWithMainWindow();
  feedback.window.closeWithMainWindow();
}

void PlaybackService::changeSpeedSlider(int position) {
  speed.sliderPosition =
      std::clamp(position, SpeedControl::kPositionMin, SpeedControl::kPositionMax);
  if (speed.window.changed) speed.window.changed();
  setSpeed(speed.speedPercent());
}

void PlaybackService::setSpeed(int percent) {
  PlaybackEngine* engine = parts.engine();
  if (engine == nullptr) return;
  engine->speedPercent = percent;  // the rate of the next open
  const int state = states_.state();
  if (state == kStatePlaying || state == kStateMakingEvp || state == kStateSessionPlay)
    engine->changePlaybackRate(playbackRateFactor(percent));
}

void PlaybackService::showSegment(std::int32_t segmentNumber) {
  const SegmentOptions& options = parts.options;
  FeedbackOptions now;
  now.overlapInUse = options.overlap.checked && options.overlap.enabled;
  now.durationEnabled = options.duration.enabled;
  now.segmentCount = parts.table.segmentCount;
  feedback.showSegment(segmentNumber, now);
}

// --- Live source ---

void PlaybackService::attachLive(WaveIn& device, EventLoop& loop) {
  liveLoop_ = &loop;
  live.attachDevice(device);
  live.dialog = recording_.engine.dialog;
  LiveCallouts& out = live.callouts;
  out.textsChanged = [this] { relay_.notify(ViewAspect::Texts); };
  out.documentChanged = [this] { relay_.notify(ViewAspect::Document); };
  out.menuChanged = [this] { relay_.notify(ViewAspect::Commands); };
  // The waveform view follows the buffer as it fills; its summary never reads samples
  // while a chunk is copied in.
  SignalView& view = document_.signalView;
  out.samplesWriting = [&view] { view.suspend(); };
  out.samplesWritten = [this, &view](Frames first, Frames end) {
    view.resume(first, end);
    relay_.notify(ViewAspect::Document);
  };
  out.samplesReleasing = [&view] { view.forget(); };
}

void PlaybackService::toggleLiveMode() {
  if (!states_.enabled(Command::Live)) return;
  if (live.dialog == nullptr) live.dialog = recording_.engine.dialog;
  live.toggleLiveMode();
}

bool PlaybackService::setLiveMode(bool on) {
  if (live.dialog == nullptr) live.dialog = recording_.engine.dialog;
  return live.setLiveMode(on);
}

void PlaybackService::leaveLiveMode() {
  if (!states_.liveMode && !live.liveActive()) return;
  live.setLiveMode(false);
  // The reset hands the chunks back at once; their notifications only need running.
  if (liveLoop_ != nullptr) liveLoop_->processPending();
}

}  // namespace voxloom
