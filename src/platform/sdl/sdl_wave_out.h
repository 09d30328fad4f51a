#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/ports/event_loop.h"
#include "core/ports/wave_out.h"
#include "platform/sdl/byte_ring.h"
#include "platform/sdl/sdl_audio_system.h"
#include "platform/sdl/wave_error_texts.h"

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
// would ever return. While buffers are queued the feeder therefore watches SDL's status
// of the device: once it reads stopped, every queued buffer is returned as by reset()
// and the failure is posted after them.
class SdlWaveOut final : public WaveOut {
 public:
  using StatusQuery = std::function<SDL_AudioStatus(SDL_AudioDeviceID)>;

  explicit SdlWaveOut(EventLoop& loop);
  ~SdlWaveOut() override;
  SdlWaveOut(const SdlWaveOut&) = delete;
  SdlWaveOut& operator=(const SdlWaveOut&) = delete;

  WaveDeviceNames deviceNames() override;
  WaveResult query(int device, const WaveFormat& format) override;
  WaveResult open(int device, const WaveFormat& format, WaveNotify notify,
                  WaveFailure failed = {}) override;
  WaveResult close() override;
  WaveResult prepare(WaveHeader& header) override;
  WaveResult unprepare(WaveHeader& header) override;
  WaveResult write(WaveHeader& header) override;
  WaveResult pause() override;
  WaveResult restart() override;
  WaveResult reset() override;
  WaveResult setPlaybackRate(std::uint32_t factor) override;
  std::string errorText(WaveResult code) override;

  // Replaces SDL_GetAudioDeviceStatus, so that a test can take a device away. Only while
  // closed; the feeder calls it.
  void setStatusQuery(StatusQuery query) { statusQuery_ = std::move(query); }

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

  void feedLoop();
  // Both run with queueMutex_ held.
  bool feedRing();
  void returnPlayedBlocks();
  bool applyRate();
  void takeBackUnplayed();
  void returnBlock(Block& block);
  bool deviceGone();
  // Forgets every byte not yet played and the pause; queueMutex_ is held.
  void dropQueuedSound();
  void loseDevice();
  void stopFeeder();

  EventLoop& loop_;
  SdlAudioSystem system_;
  WaveErrorTexts errors_;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec spec_{};
  WaveNotify notify_;
  WaveFailure failed_;
  StatusQuery statusQuery_ = &SDL_GetAudioDeviceStatus;
  std::size_t frameBytes_ = 1;
  std::uint8_t silence_ = 0;

  // Shared with SDL's audio thread; held only to copy bytes.
  std::mutex audioMutex_;
  ByteRing ring_;
  bool paused_ = false;
  std::uint64_t consumed_ = 0;  // bytes the device has taken from the ring since open
  bool playedInRun_ = false;
  bool starved_ = false;
  std::atomic<std::uint64_t> underruns_{0};
  std::atomic<std::chrono::steady_clock::rep> firstSoundAt_{0};

  // Shared by the loop thread and the feeder.
  std::mutex queueMutex_;
  std::condition_variable wake_;
  std::deque<Block> blocks_;
  std::uint64_t produced_ = 0;      // bytes put into the ring since open
  std::size_t resampledLimit_ = 0;  // most resampled bytes held in the ring
  std::uint32_t rate_ = 0x10000;
  std::uint32_t streamRate_ = 0x10000;
  SDL_AudioStream* stream_ = nullptr;  // only while the rate is not 0x10000
  bool streamHoldsInput_ = false;      // put since the last flush
  std::vector<std::uint8_t> scratch_;
  bool quit_ = false;
  bool lost_ = false;     // the device went away since open
  std::string lostText_;  // why, for errorText(kWaveDeviceLost)
  std::thread feeder_;
};

}  // namespace voxloom
