#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "core/engine/engine_peers.h"
#include "core/engine/play_time_controls.h"
#include "core/engine/run_state.h"
#include "core/engine/segment_sequencer.h"
#include "core/ports/prompter.h"
#include "core/ports/timer.h"
#include "core/ports/wave_out.h"
#include "core/util/units.h"

namespace voxloom {

inline constexpr int kPlaybackSlots = kRenderSlots;
inline constexpr const char* kWaveOutErrorTitle = "Wave Out Error";

// One stored segment to replay: where it lies in the signal and how it was played.
struct ReplayEntry {
  Frames start = 0;
  Frames length = 0;
  bool fade = false;
  std::int32_t segmentNumber = 0;
  std::int32_t record = -1;  // index of the session record it belongs to
};
// Hands out the entries of a replay in playing order; nothing once they are used up.
using ReplayEntrySource = std::function<std::optional<ReplayEntry>()>;

// What the engine tells its owner.
struct PlaybackCallouts {
  // The pause mark changed (ButtonPause down, MenuFilePause checked).
  std::function<void(bool paused)> pauseChanged;
  // The block now starting to sound: its user value (the segment number).
  std::function<void(std::uintptr_t userValue)> showSegment;
};

// The playback device and the ring of slots through which blocks are queued on it:
// Play, Make EVP, replay, Pause and Stop. Driven by the device's buffer-done calls on
// the event loop's thread.
class PlaybackEngine {
 public:
  // `runState` is the shared run state, which changes only through what `report` is told.
  PlaybackEngine(WaveOut& device, Prompter& prompter, SequencerContext context, const int& runState,
                 RunListener report, const PlayTimeControls& playTime, PlaybackPeers& peers,
                 EvpCapture& capture);
  PlaybackEngine(const PlaybackEngine&) = delete;
  PlaybackEngine& operator=(const PlaybackEngine&) = delete;
  ~PlaybackEngine();

  void setTimer(OneShotTimer* timer) { timer_ = timer; }

  int playbackDevice = kWaveDefaultDevice;  // item of the settings' playback device list
  int speedPercent = 100;                   // the speed control's value
  PlaybackCallouts callouts;
  // Where the block now starting to sound lies in the signal (the waveform view).
  std::function<void(Frames start, Frames length)> blockSounding;
  // During a replay: the index of the record whose block sounds now (-1 otherwise).
  std::int32_t soundingRecord() const { return soundingRecord_; }

  // The commands; 0 when started, 1 when abandoned after a message.
  int playDocument();
  int makeEvp();
  int playEntries(ReplayEntrySource source);
  void togglePause();
  void stopPlayback();
  // The speed of the open device, a 16.16 factor; its result is not needed.
  void changePlaybackRate(std::uint32_t factor) {
    if (open_) device_.setPlaybackRate(factor);
  }

  // One call per block the device returns, in queue order.
  void onPlaybackBufferDone();
  // The device went away after handing every block back: the run ends as by Stop (unless
  // its returns already ended it), then the device's text is shown.
  void onPlaybackDeviceLost(WaveResult code);
  void reportWaveOutError(WaveResult code);

  bool isOpen() const { return open_; }
  bool isPaused() const { return isPaused_; }
  int bufferCount() const { return bufferCount_; }
  int slotIndex() const { return slotIndex_; }
  int outstanding() const { return outstanding_; }
  std::int32_t segmentSerial() const { return segmentSerial_; }
  const WaveHeader& header(int slot) const { return headers_[static_cast<std::size_t>(slot)]; }

 private:
  bool openDevice();
  void queueNextSegment();
  void queueNextSessionSegment();
  // False when the device did not take the block (it is gone): nothing will come back.
  bool queueHeader(const std::uint8_t* data, Bytes bytes, std::int32_t userValue);
  // The slot's buffer of `length` frames of silence in the document's format.
  const std::uint8_t* silence(Frames length);
  void advanceSlot();
  void showSlot();
  void stopRun();
  void finishRun();
  void setPaused(bool paused);

  WaveOut& device_;
  Prompter& prompter_;
  SequencerContext context_;
  const int& runState_;
  RunListener report_;
  const PlayTimeControls& playTime_;
  PlaybackPeers& peers_;
  EvpCapture& capture_;
  OneShotTimer* timer_ = nullptr;
  int heldPlayTimeMs_ = -1;  // what was left of the play time when Pause held it

  std::array<WaveHeader, kPlaybackSlots> headers_{};
  std::array<std::pair<Frames, Frames>, kPlaybackSlots> sources_{};  // start, length
  std::array<std::int32_t, kPlaybackSlots> slotRecords_{};           // replay: the record, else -1
  std::array<std::vector<std::uint8_t>, kPlaybackSlots> silence_;    // muted picks
  std::int32_t soundingRecord_ = -1;
  bool open_ = false;
  bool isPaused_ = false;
  int bufferCount_ = 0;
  int slotIndex_ = 0;
  int outstanding_ = 0;
  // The sound-card and parallel-port sources keep the loop running inside a draw, so
  // the next block can come back while one is being refilled; it waits its turn.
  bool inBufferDone_ = false;
  int deferredDone_ = 0;
  void handleBufferDone();
  std::int32_t segmentSerial_ = 0;
  ReplayEntrySource replay_;
  PickStatus pickFailure_ = PickStatus::Ok;
};

// Slots Make EVP keeps queued: about 200 ms of the shortest segment, 2..20; 2 with the
// cue list.
int evpSlotCount(const SegmentOptions& options, Frames cueCount);

// Whether a pick can be made with the options as they are now, without drawing.
PickStatus checkPickPossible(const SegmentTable& table, const SegmentOptions& options,
                             const AudioDocument& doc);

}  // namespace voxloom
