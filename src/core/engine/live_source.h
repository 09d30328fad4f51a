#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/audio/recording_params.h"
#include "core/engine/engine_peers.h"
#include "core/engine/run_state.h"
#include "core/ports/prompter.h"
#include "core/ports/recording_dialog.h"
#include "core/ports/wave_in.h"
#include "core/random/playback_control.h"

namespace voxloom {

inline constexpr const char* kLiveTitle = "Live Audio Source";
inline constexpr const char* kLiveInitCaption = "Initializing Live Audio Mode ...";

// What the live source tells its owner.
struct LiveCallouts {
  // The caption, title or status texts changed.
  std::function<void()> textsChanged;
  // The samples were replaced or freed, or a round of them is complete.
  std::function<void()> documentChanged;
  // The menu item's check mark changed.
  std::function<void()> menuChanged;
  // Around every write into the samples, and before they are replaced or freed: a
  // reader on another thread (the waveform summary) must keep away meanwhile.
  std::function<void()> samplesWriting;
  std::function<void(Frames first, Frames end)> samplesWritten;
  std::function<void()> samplesReleasing;
};

// The live audio source: the input device records round after round into the
// document's own sample buffer, so that Make EVP cuts its segments from what keeps
// coming in.
//
// The device never writes into that buffer: it fills a few short chunks, and each chunk
// that comes back is copied into the buffer at the write position on the event loop's
// thread, the one that also reads the buffer. A block may still hold audio from two
// rounds, and nothing ever waits, but no two threads touch the samples.
class LiveSource {
 public:
  static constexpr int kChunkCount = 4;  // chunks kept queued on the device
  static constexpr int kChunkMs = 50;    // length of one chunk

  // `gate` is asked before the buffer replaces the document; `playback` stops a running
  // Make EVP before the buffer it reads goes.
  LiveSource(AudioDocument& document, Prompter& prompter, RunListener report, bool& menuChecked,
             RecParamState& params, DocumentGate& gate, PlaybackControl& playback);
  LiveSource(const LiveSource&) = delete;
  LiveSource& operator=(const LiveSource&) = delete;
  ~LiveSource();

  void attachDevice(WaveIn& device) { device_ = &device; }
  WaveIn* device() { return device_; }

  RecParamDialog* dialog = nullptr;     // TFormRecParam, shared with recording
  int liveDevice = kWaveDefaultDevice;  // item of the settings' live-source list
  LiveCallouts callouts;

  // The menu command MenuExtrasLive: flips the check mark and switches accordingly.
  void toggleLiveMode();
  // False: the mode could not be switched on (after its message, if any).
  bool setLiveMode(bool on);
  // Queues the chunks on the device from the start of the buffer and starts capture.
  bool startLiveCapture();

  bool liveActive() const { return liveActive_; }
  bool liveBufferQueued() const { return liveBufferQueued_; }
  const WaveFormat& liveFormat() const { return liveFormat_; }
  Bytes writePosition() const { return writePos_; }
  std::int64_t roundsFilled() const { return rounds_; }
  // Chunks that came back while no other was queued: the device may have had nowhere to
  // put what it captured meanwhile.
  std::uint64_t starvedChunks() const { return starved_; }
  Bytes chunkBytes() const { return chunkBytes_; }

 private:
  struct Chunks {
    std::array<WaveHeader, kChunkCount> headers{};
    std::vector<std::uint8_t> bytes;
  };

  void onChunkDone(const Chunks& chunks, WaveHeader& header);
  void onDeviceLost(WaveResult code);
  void copyIntoBuffer(const std::uint8_t* data, std::uint32_t count);
  void bufferFull();
  bool queueChunk(WaveHeader& header);
  void reportWaveInError(WaveResult code);
  void setMenuChecked(bool on);
  void tellTexts() {
    if (callouts.textsChanged) callouts.textsChanged();
  }
  void releaseSamples() {
    if (callouts.samplesReleasing) callouts.samplesReleasing();
  }
  void tellDocument() {
    if (callouts.documentChanged) callouts.documentChanged();
  }

  AudioDocument& doc_;
  Prompter& prompter_;
  RunListener report_;
  bool& menuChecked_;
  RecParamState& params_;
  DocumentGate& gate_;
  PlaybackControl& playback_;
  WaveIn* device_ = nullptr;

  WaveFormat liveFormat_{};
  bool deviceOpen_ = false;
  bool liveActive_ = false;
  bool liveBufferQueued_ = false;
  int outstanding_ = 0;
  Bytes chunkBytes_ = 0;
  Bytes writePos_ = 0;
  std::int64_t rounds_ = 0;
  std::uint64_t starved_ = 0;
  // Shared with the notifications the device has posted: a chunk set lives until the
  // last of them has run, even after the mode was switched off and on again.
  std::shared_ptr<Chunks> chunks_;
};

// Bytes of a live buffer: seconds x rate x block align, in 64 bits.
std::int64_t liveBufferSize(int seconds, const WaveFormat& format);
// The message for a buffer that is too large.
std::string liveBufferTooLargeText(std::int64_t bytes);

}  // namespace voxloom
