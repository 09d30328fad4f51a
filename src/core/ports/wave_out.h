#pragma once

#include <cstdint>

#include "core/audio/wave_format.h"
#include "core/ports/wave_device_list.h"

namespace voxloom {

// The playback device. Every call comes from the event loop's thread; notifications
// arrive there too, one per returned buffer, in queue order, never inside a call of this
// interface (they are posted).
class WaveOut {
 public:
  virtual ~WaveOut() = default;

  // Output devices in device order.
  virtual WaveDeviceNames deviceNames() = 0;

  // Whether device (kWaveDefaultDevice for the default) accepts format; opens nothing.
  virtual WaveResult query(int device, const WaveFormat& format) = 0;
  // Opens the device, not paused. notify may be empty: the done flags still get set.
  // failed hears of a device that is lost while open; it may be empty.
  virtual WaveResult open(int device, const WaveFormat& format, WaveNotify notify,
                          WaveFailure failed = {}) = 0;
  // Closes the device; fails with kWaveStillPlaying while buffers are queued.
  // Notifications already posted still arrive after close.
  virtual WaveResult close() = 0;

  virtual WaveResult prepare(WaveHeader& header) = 0;
  // Fails with kWaveStillPlaying while the header is queued.
  virtual WaveResult unprepare(WaveHeader& header) = 0;
  // Queues a prepared header; buffers play in the order written. A zero-length buffer
  // returns as soon as everything before it has returned.
  virtual WaveResult write(WaveHeader& header) = 0;

  // Nothing sounds between pause and restart; queued buffers wait.
  virtual WaveResult pause() = 0;
  virtual WaveResult restart() = 0;
  // Stops output and returns every queued buffer at once: their done flags are set
  // before this returns, their notifications follow in queue order. The device stays
  // open and is no longer paused.
  virtual WaveResult reset() = 0;

  // Speed of the open device as a 16.16 fixed-point factor (0x10000 = unchanged).
  virtual WaveResult setPlaybackRate(std::uint32_t factor) = 0;

  // The text for a code returned by this device, at most kWaveErrorTextMax characters.
  virtual std::string errorText(WaveResult code) = 0;
};

}  // namespace voxloom
