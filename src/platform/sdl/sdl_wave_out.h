#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/ports/wave_out.h"
#include "platform/sdl/sdl_wave_device.h"

namespace voxloom {

// WaveOut on an SDL playback device.
//
// Three threads meet here. The loop thread calls the interface and runs notifications.
// A feeder thread takes the written buffers (copied at write, so the caller's memory is
// never read later), resamples them for the playback rate and keeps a small ring of
// device-format bytes filled; it also posts one notification per buffer whose last byte
// the device has taken. SDL's audio thread only copies from that ring, or silence.
//
// At the unchanged rate the ring holds all that is queued (up to half a second), filled
// by write() itself, so the sound never waits for the feeder: a late feeder only delays
// notifications. Only resampled sound is kept to a few callbacks, and a rate change takes
// back the unplayed bytes beyond those, so the new rate is heard at once either way.
//
// A device that goes away (unplugged, sink removed) no longer calls back, so nothing
// would ever return. While buffers are queued the feeder (the worker) therefore watches
// SDL's status of the device: once it reads stopped, every queued buffer is returned as
// by reset() and the failure is posted after them.
class SdlWaveOut final : public WaveOut, public SdlWaveDevice {
 public:
  explicit SdlWaveOut(EventLoop& loop);
  ~SdlWaveOut() override;
  SdlWaveOut(const SdlWaveOut&) = delete;
  SdlWaveOut& operator=(const SdlWaveOut&) = delete;

  WaveDeviceNames deviceNames() override { return names(); }
  WaveResult query(int device, const WaveFormat& format) override {
    return queryDevice(device, format);
  }
  WaveResult open(int device, const WaveFormat& format, WaveNotify notify,
                  WaveFailure failed = {}) override;
  WaveResult close() override;
  WaveResult prepare(WaveHeader& header) override { return prepareHeader(header); }
  WaveResult unprepare(WaveHeader& header) override { return unprepareHeader(header); }
  WaveResult write(WaveHeader& header) override;
  WaveResult pause() override;
  WaveResult restart() override;
  WaveResult reset() override;
  WaveResult setPlaybackRate(std::uint32_t factor) override;
  std::string errorText(WaveResult code) override { return textOf(code); }

  // Gaps in the sound: times the device ran out of data after playing some and more
  // followed, not counting pauses or the silence after the last buffer.
  std::uint64_t underrunCount() const { return underruns_.load(); }

  // When the device first took queued bytes (not silence) since open, on the steady
  // clock: the moment the first sound was handed to SDL. Zero (the epoch) until then.
  std::chrono::steady_clock::time_point firstSoundAt() const {
    return std::chrono::steady_clock::time_point(
        std::chrono::steady_clock::duration(firstSoundAt_.load()));
  }

 private:
  struct Block {
    WaveHeader* header = nullptr;
    std::vector<std::uint8_t> bytes;
    std::size_t taken = 0;    // bytes handed to the converter or the ring
    bool converted = false;   // every byte has been taken
    std::uint64_t endAt = 0;  // ring position after its last byte
  };

  static void SDLCALL audioCallback(void* self, Uint8* stream, int len);
  void fillDevice(Uint8* stream, int len);

  // These run with queueMutex_ held.
  bool transfer() override;
  // Only a run in progress waits for the device; an idle one is found out by its next
  // run. Our pause keeps SDL playing, so stopped can only mean the device is gone.
  bool polling() const override { return !blocks_.empty(); }
  bool hasBuffers() const override { return !blocks_.empty(); }
  void returnAllOnLoss() override;
  bool feedRing();
  void returnPlayedBlocks();
  bool applyRate();
  void takeBackUnplayed();
  void returnBlock(Block& block);
  // Forgets every byte not yet played and the pause; queueMutex_ is held.
  void dropQueuedSound();

  std::size_t frameBytes_ = 1;
  std::uint8_t silence_ = 0;

  // Shared with SDL's audio thread, under audioMutex_.
  bool paused_ = false;
  std::uint64_t consumed_ = 0;  // bytes the device has taken from the ring since open
  bool playedInRun_ = false;
  bool starved_ = false;
  std::atomic<std::uint64_t> underruns_{0};
  std::atomic<std::chrono::steady_clock::rep> firstSoundAt_{0};

  // Shared by the loop thread and the feeder, under queueMutex_.
  std::deque<Block> blocks_;
  std::uint64_t produced_ = 0;      // bytes put into the ring since open
  std::size_t resampledLimit_ = 0;  // most resampled bytes held in the ring
  std::uint32_t rate_ = 0x10000;
  std::uint32_t streamRate_ = 0x10000;
  SDL_AudioStream* stream_ = nullptr;  // only while the rate is not 0x10000
  bool streamHoldsInput_ = false;      // put since the last flush
};

}  // namespace voxloom
