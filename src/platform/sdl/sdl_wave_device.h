#pragma once

#include <SDL.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/ports/event_loop.h"
#include "platform/sdl/byte_ring.h"
#include "platform/sdl/sdl_audio_system.h"
#include "platform/sdl/wave_error_texts.h"

namespace voxloom {

// What the SDL recording and playback adapters share: SDL's audio subsystem, the device
// they open and close, the checks of a buffer's header, and a worker thread that moves
// bytes between SDL's ring and the queued buffers and watches SDL's status of the device.
//
// A device that goes away no longer calls back, so the buffers would never return. While
// the adapter has buffers waiting on the device, the worker reads the device's status:
// once it reads stopped, the adapter returns every buffer and the failure is posted
// after them.
class SdlWaveDevice {
 public:
  using StatusQuery = std::function<SDL_AudioStatus(SDL_AudioDeviceID)>;

  // Replaces SDL_GetAudioDeviceStatus, so that a test can take a device away. Only while
  // closed; the worker calls it.
  void setStatusQuery(StatusQuery query) { statusQuery_ = std::move(query); }

 protected:
  SdlWaveDevice(EventLoop& loop, bool capture) : loop_(loop), capture_(capture) {}
  ~SdlWaveDevice() = default;
  SdlWaveDevice(const SdlWaveDevice&) = delete;
  SdlWaveDevice& operator=(const SdlWaveDevice&) = delete;

  WaveDeviceNames names();
  WaveResult queryDevice(int device, const WaveFormat& format);
  // kWaveOk when the device may be opened for format, otherwise the remembered failure.
  WaveResult checkOpen(int device, const WaveFormat& format);
  // Opens the device paused with wanted (its callback and everything the callback reads
  // already set up) and starts the worker.
  WaveResult openDevice(int device, const SDL_AudioSpec& wanted, WaveNotify notify,
                        WaveFailure failed);
  // Stops the worker and closes the device; refused while buffers are queued.
  WaveResult closeDevice();
  WaveResult prepareHeader(WaveHeader& header);
  WaveResult unprepareHeader(WaveHeader& header);
  std::string textOf(WaveResult code);

  // Whether the device went away since open; queueMutex_ is held.
  bool lost() const { return lost_; }

  // The adapter's part, each called with queueMutex_ held.
  // Moves what it can between the ring and the buffers (on the worker); whether anything
  // moved.
  virtual bool transfer() = 0;
  // Whether the worker polls instead of sleeping until it is woken.
  virtual bool polling() const = 0;
  // Whether buffers are queued.
  virtual bool hasBuffers() const = 0;
  // The device went away: returns every buffer, with what it holds (on the worker).
  virtual void returnAllOnLoss() = 0;

  EventLoop& loop_;
  SdlAudioSystem system_;
  WaveErrorTexts errors_;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec spec_{};
  WaveNotify notify_;
  WaveFailure failed_;

  // Shared with SDL's audio thread; held only to copy bytes.
  std::mutex audioMutex_;
  ByteRing ring_;

  // Shared by the loop thread and the worker.
  std::mutex queueMutex_;
  std::condition_variable wake_;
  std::vector<std::uint8_t> scratch_;  // room for one copy out of the ring

 private:
  void work();
  bool deviceGone();
  void loseDevice();

  const bool capture_;
  StatusQuery statusQuery_ = &SDL_GetAudioDeviceStatus;
  bool quit_ = false;
  bool lost_ = false;     // the device went away since open
  std::string lostText_;  // why, for errorText(kWaveDeviceLost)
  std::thread worker_;
};

}  // namespace voxloom
