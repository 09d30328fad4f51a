// The main window's side of recording: the engine's call-outs, the Record command and
// ending a recording before the window closes.
#include <chrono>
#include <thread>

#include "core/app/main_controller.h"

namespace voxloom {

void MainController::attachRecording(WaveIn& device, EventLoop& loop, OneShotTimer* levelDecay) {
  recordingLoop_ = &loop;
  recording.attachDevice(device);
  recording.level.setTimer(levelDecay);
  // The sound-card random source records from the same device while nothing else does.
  playback.random.soundCard.device = &device;
  playback.random.soundCard.loop = &loop;
  RecordingCallouts& out = recording.callouts;
  out.discardDocument = [this] { return discardDocumentIfAllowed(); };
  out.textsChanged = [this] {
    // The waveform view shows the take as it grows.
    if (recording.isRecording()) signalView.recordingGrew(recording.recorded(), recording.format());
    notify(ViewAspect::Texts);
  };
  out.documentChanged = [this] { notify(ViewAspect::Document); };
  // A Stop that reaches the playback engine first still ends the recording.
  if (PlaybackEngine* engine = playback.engine())
    engine->callouts.resetRecording = [this] { recording.resetDevice(); };
}

void MainController::startRecording() {
  if (!commands[Command::Record] || recording.device() == nullptr) return;
  recording.startRecording();
}

void MainController::drainRecording() {
  if (!recording.isRecording()) return;
  recording.stopRecording();
  // The reset hands both buffers back at once; their notifications only need running.
  for (int i = 0; recording.isRecording() && recordingLoop_ != nullptr && i < 200; ++i) {
    recordingLoop_->processPending();
    if (recording.isRecording()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace voxloom
