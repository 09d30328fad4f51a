#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>

#include "core/ports/wave_in.h"
#include "platform/sdl/sdl_wave_device.h"

namespace voxloom {

// WaveIn on an SDL capture device.
//
// SDL's audio thread only copies the captured bytes into a small ring. A collector
// thread moves them into the queued buffers in order and posts one notification per
// full buffer; the loop thread calls the interface and runs the notifications.
//
// A device that goes away no longer calls back, so the buffers would never fill. While
// capturing into queued buffers the collector (the worker) therefore watches SDL's status
// of the device: once it reads stopped, every buffer is returned as by reset(), with what
// it holds, and the failure is posted after them.
class SdlWaveIn final : public WaveIn, public SdlWaveDevice {
 public:
  explicit SdlWaveIn(EventLoop& loop);
  ~SdlWaveIn() override;
  SdlWaveIn(const SdlWaveIn&) = delete;
  SdlWaveIn& operator=(const SdlWaveIn&) = delete;

  WaveDeviceNames deviceNames() override { return names(); }
  WaveResult query(int device, const WaveFormat& format) override {
    return queryDevice(device, format);
  }
  WaveResult open(int device, const WaveFormat& format, WaveNotify notify,
                  WaveFailure failed = {}) override;
  WaveResult close() override { return closeDevice(); }
  WaveResult prepare(WaveHeader& header) override { return prepareHeader(header); }
  WaveResult unprepare(WaveHeader& header) override { return unprepareHeader(header); }
  WaveResult addBuffer(WaveHeader& header) override;
  WaveResult start() override;
  WaveResult reset() override;
  std::string errorText(WaveResult code) override { return textOf(code); }

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

  // These run with queueMutex_ held.
  bool transfer() override { return collect(); }
  // Only a capture into queued buffers waits for the device; reset() pauses it in SDL,
  // which reads paused, never stopped.
  bool polling() const override { return running_; }
  bool hasBuffers() const override { return !blocks_.empty(); }
  void returnAllOnLoss() override;
  bool collect();
  void returnFullBlocks();
  void returnBlock(const Block& block);

  std::uint16_t callbackFrames_ = 0;

  // Shared with SDL's audio thread, under audioMutex_.
  bool capturing_ = false;
  std::atomic<std::uint64_t> overruns_{0};

  // Shared by the loop thread and the collector, under queueMutex_.
  std::deque<Block> blocks_;
  bool running_ = false;  // started and not reset
};

}  // namespace voxloom
