#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "core/audio/audio_document.h"
#include "core/audio/recording_params.h"
#include "core/engine/engine_peers.h"
#include "core/engine/recording_chunks.h"
#include "core/engine/run_state.h"
#include "core/ports/prompter.h"
#include "core/ports/recording_dialog.h"
#include "core/ports/wave_in.h"
#include "core/random/recording_level.h"

namespace voxloom {

inline constexpr const char* kRecordingCaption = "Recording ...";
inline constexpr const char* kCopyingCaption = "Copying ...";
inline constexpr const char* kAllocFailedText = "Failed to allocate memory.";

// What the recording engine tells its owner.
struct RecordingCallouts {
  // The caption, title or status texts changed; the window shows them at once.
  std::function<void()> textsChanged;
  // The samples were replaced.
  std::function<void()> documentChanged;
};

// Records a new signal from the input device into the document: two buffers always
// queued, every returned buffer boosted, measured and kept, and on Stop the kept bytes
// joined once into a new unsaved document. Runs on the event loop's thread; the device's
// notifications arrive there too.
class RecordingEngine {
 public:
  // `runState` is the shared run state, which changes only through what `report` is told.
  // `gate` is asked before a take replaces the document.
  RecordingEngine(AudioDocument& document, Prompter& prompter, const int& runState,
                  RunListener report, DocumentGate& gate);
  RecordingEngine(const RecordingEngine&) = delete;
  RecordingEngine& operator=(const RecordingEngine&) = delete;
  ~RecordingEngine();

  void attachDevice(WaveIn& device) { device_ = &device; }
  WaveIn* device() { return device_; }

  RecParamState params;  // TFormRecParam
  LevelMeter level;      // TFormRecLevel
  RecParamDialog* dialog = nullptr;
  int recordDevice = kWaveDefaultDevice;       // item of the settings' record list
  int bufferTimeMs = RecBufferTime::kDefault;  // EditRecBufferTimeMilliseconds
  RecordingCallouts callouts;

  // The Record command: 0 recording, 1 nothing started (after its message, if any).
  int startRecording();
  // Stop in the recording state: idle, and the device hands its buffers back; the
  // recording ends when the last one has come back.
  void stopRecording();
  // Only the device reset, for a Stop that has already left the recording state.
  void resetDevice();

  void onRecordBufferDone(WaveHeader& header);
  // The device went away after handing every buffer back with what it held: the take
  // ends as by Stop, keeping what was recorded, then the device's text is shown.
  void onRecordDeviceLost(WaveResult code);
  void processRecordedBuffer(WaveHeader& header);
  void showRecordingStatus();
  void reportWaveInError(WaveResult code);

  bool isRecording() const { return open_; }
  std::int64_t dataBytes() const { return dataBytes_; }
  std::int32_t recordPeak() const { return recordPeak_; }
  std::int32_t bufferBytes() const { return bufferBytes_; }  // recordBufferBytes
  const WaveFormat& format() const { return format_; }
  const RecordedChunks& recorded() const { return recorded_; }
  const WaveHeader& header(int i) const { return headers_[static_cast<std::size_t>(i)]; }

 private:
  void queueBuffer(int index);
  void finishRecording();
  bool joinIntoDocument();
  void tellTexts() {
    if (callouts.textsChanged) callouts.textsChanged();
  }

  AudioDocument& doc_;
  Prompter& prompter_;
  const int& runState_;
  RunListener report_;
  DocumentGate& gate_;
  WaveIn* device_ = nullptr;

  WaveFormat format_{};
  bool open_ = false;
  bool levelWasVisible_ = false;
  bool outOfMemory_ = false;
  int outstanding_ = 0;
  std::int32_t bufferBytes_ = 0;
  std::int64_t dataBytes_ = 0;
  std::int32_t recordPeak_ = 0;
  std::array<WaveHeader, 2> headers_{};
  std::array<std::vector<std::uint8_t>, 2> blocks_;
  RecordedChunks recorded_;
};

}  // namespace voxloom
