#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/ports/event_loop.h"
#include "core/ports/wave_in.h"
#include "platform/sdl/byte_ring.h"
#include "platform/sdl/sdl_audio_system.h"
#include "platform/sdl/wave_error_texts.h"

namespace voxloom {

// WaveIn on an SDL capture device.
//
// SDL's audio thread only copies the captured bytes into a small ring. A collector
// thread moves them into the queued buffers in order and posts one notification per
// full buffer; the loop thread calls the interface and runs the notifications.
//
// A device that goes away no longer calls back, so the buffers would never fill. While
// capturing into queued buffers the collector therefore watches SDL's status of the
// device: once it reads stopped, every buffer is returned as by reset(), with what it
// holds, and the failure is posted after them.
class SdlWaveIn final : public WaveIn {
 public:
  using StatusQuery = std::function<SDL_AudioStatus(SDL_AudioDeviceID)>;

  explicit SdlWaveIn(EventLoop& loop);
  ~SdlWaveIn() override;
  SdlWaveIn(const SdlWaveIn&) = delete;
  SdlWaveIn& operator=(const SdlWaveIn&) = delete;

  WaveDeviceNames deviceNames() override;
  WaveResult query(int device, const WaveFormat& format) override;
  WaveResult open(int device, const WaveFormat& format, WaveNotify notify,
                  WaveFailure failed = {}) override;
  WaveResult close() override;
  WaveResult prepare(WaveHeader& header) override;
  WaveResult unprepare(WaveHeader& header) override;
  WaveResult addBuffer(WaveHeader& header) override;
  WaveResult start() override;
  WaveResult reset() override;
  std::string errorText(WaveResult code) override;

  // Replaces SDL_GetAudioDeviceStatus, so that a test can take a device away. Only while
  // closed; the collector calls it.
  void setStatusQuery(StatusQuery query) { statusQuery_ = std::move(query); }

  // Frames per SDL callback from the next open on; 0 keeps about 10 ms. The sound-card
  // random source wants 32 samples at a time, so a short callback shortens its wait.
  void setCallbackFrames(std::uint16_t frames) { callbackFrames_ = frames; }

  // Times captured audio was lost because the collector fell behind since open.
  std::uint64_t overrunCount() const { return overruns_.load(); }

 private:
  struct Block {
    WaveHeader* header = nullptr;
    std::uint8_t* data = nullptr;
    std::uint32_t length = 0;
    std::uint32_t filled = 0;
  };

  static void SDLCALL audioCallback(void* self, Uint8* stream, int len);
  void takeCaptured(const Uint8* stream, int len);

  void collectLoop();
  // Both run with queueMutex_ held.
  bool collect();
  void returnFullBlocks();
  void returnBlock(const Block& block);
  bool deviceGone();
  void loseDevice();
  void stopCollector();

  EventLoop& loop_;
  SdlAudioSystem system_;
  WaveErrorTexts errors_;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec spec_{};
  WaveNotify notify_;
  WaveFailure failed_;
  StatusQuery statusQuery_ = &SDL_GetAudioDeviceStatus;
  std::uint16_t callbackFrames_ = 0;

  // Shared with SDL's audio thread; held only to copy bytes.
  std::mutex audioMutex_;
  ByteRing ring_;
  bool capturing_ = false;
  std::atomic<std::uint64_t> overruns_{0};

  // Shared by the loop thread and the collector.
  std::mutex queueMutex_;
  std::condition_variable wake_;
  std::deque<Block> blocks_;
  bool running_ = false;  // started and not reset
  std::vector<std::uint8_t> scratch_;
  bool quit_ = false;
  bool lost_ = false;     // the device went away since open
  std::string lostText_;  // why, for errorText(kWaveDeviceLost)
  std::thread collector_;
};

}  // namespace voxloom
