#include "core/app/recording_service.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace voxloom {

RecordingService::RecordingService(Prompter& prompter, DocumentService& document,
                                   CommandStates& states, ViewRelay& relay, DocumentGate& gate)
    : engine(document.document, prompter, states.state(), states.listener(), gate),
      document_(document),
      states_(states),
      relay_(relay) {}

void RecordingService::bindSettings(Settings& s) {
  RecParamState& rec = engine.params;
  s.bindText("RecSampleRate", rec.sampleRateText);
  s.bindInt("RecChannels", rec.channelsItem, 0, 1);
  s.bindInt("RecResolution", rec.resolutionItem, 0, 1);
  s.bindInt(
      "RecBufferTimeMilliseconds", [this] { return engine.bufferTimeMs; },
      [this](int v) {
        // A spin edit in steps of 100 keeps a typed value; only the range is enforced.
        engine.bufferTimeMs = std::clamp(v, RecBufferTime::kMin, RecBufferTime::kMax);
      });
  s.bindBool("RecNormalize", rec.normalize);
  RecLevelState& level = engine.level.state;
  s.bindBool("BoostInput", level.boostChecked);
  s.bindInt("BoostSliderPos", level.boostPosition, 0, RecLevelState::kBoostPositionMax);
  s.bindInt("LiveAudioSourceTimeSeconds", rec.liveSeconds, RecParamState::kLiveSecondsMin,
            RecParamState::kLiveSecondsMax);
}

void RecordingService::attach(WaveIn& device, EventLoop& loop, OneShotTimer* levelDecay) {
  loop_ = &loop;
  engine.attachDevice(device);
  engine.level.setTimer(levelDecay);
  RecordingCallouts& out = engine.callouts;
  out.textsChanged = [this] {
    // The waveform view shows the take as it grows.
    if (engine.isRecording())
      document_.signalView.recordingGrew(engine.recorded(), engine.format());
    relay_.notify(ViewAspect::Texts);
  };
  out.documentChanged = [this] { relay_.notify(ViewAspect::Document); };
}

void RecordingService::start() {
  if (!states_.enabled(Command::Record) || engine.device() == nullptr) return;
  engine.startRecording();
}

void RecordingService::drain() {
  if (!engine.isRecording()) return;
  engine.stopRecording();
  // The reset hands both buffers back at once; their notifications only need running.
  for (int i = 0; engine.isRecording() && loop_ != nullptr && i < 200; ++i) {
    loop_->processPending();
    if (engine.isRecording()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace voxloom
