#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "core/engine/wave_in.h"
#include "core/ports/event_loop.h"
#include "platform/sdl/byte_ring.h"
#include "platform/sdl/sdl_audio_system.h"
#include "platform/sdl/wave_error_texts.h"

namespace voxloom {

// WaveIn on an SDL capture device.
//
// SDL's audio thread only copies the captured bytes into a small ring. A collector
// thread moves them into the queued buffers in order and posts one notification per
// full buffer; the loop thread calls the interface and runs the notifications.
class SdlWaveIn final : public WaveIn {
 public:
  explicit SdlWaveIn(EventLoop& loop);
  ~SdlWaveIn() override;
  SdlWaveIn(const SdlWaveIn&) = delete;
  SdlWaveIn& operator=(const SdlWaveIn&) = delete;

  WaveDeviceNames deviceNames() override;
  WaveResult query(int device, const WaveFormat& format) override;
  WaveResult open(int device, const WaveFormat& format, WaveNotify notify) override;
  WaveResult close() override;
  WaveResult prepare(WaveHeader& header) override;
  WaveResult unprepare(WaveHeader& header) override;
  WaveResult addBuffer(WaveHeader& header) override;
  WaveResult start() override;
  WaveResult reset() override;
  std::string errorText(WaveResult code) override;

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
  void stopCollector();

  EventLoop& loop_;
  SdlAudioSystem system_;
  WaveErrorTexts errors_;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec spec_{};
  WaveNotify notify_;

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
  std::thread collector_;
};

}  // namespace voxloom
