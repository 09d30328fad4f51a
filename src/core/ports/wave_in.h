#pragma once

#include "core/audio/wave_format.h"
#include "core/ports/wave_device_list.h"

namespace voxloom {

// The title of the box that shows a wave-in device's error text.
inline constexpr const char* kRecordInErrorTitle = "Record In Error";

// The recording device. Every call comes from the event loop's thread; notifications
// arrive there too, one per returned buffer, in queue order, never inside a call of this
// interface (they are posted).
class WaveIn {
 public:
  virtual ~WaveIn() = default;

  // Input devices in device order.
  virtual WaveDeviceNames deviceNames() = 0;

  // Whether device (kWaveDefaultDevice for the default) accepts format; opens nothing.
  virtual WaveResult query(int device, const WaveFormat& format) = 0;
  // Opens the device, not yet capturing. notify may be empty: a caller that polls the
  // done flag must keep the event loop running, because that is where it gets set.
  // failed hears of a device that is lost while open; it may be empty. The buffers it
  // returns carry the bytes recorded into them before the loss.
  virtual WaveResult open(int device, const WaveFormat& format, WaveNotify notify,
                          WaveFailure failed = {}) = 0;
  // Closes the device; fails with kWaveStillPlaying while buffers are queued.
  // Notifications already posted still arrive after close.
  virtual WaveResult close() = 0;

  virtual WaveResult prepare(WaveHeader& header) = 0;
  virtual WaveResult unprepare(WaveHeader& header) = 0;
  // Queues a prepared header; buffers fill in the order added. A buffer returns when
  // full, with bytesRecorded = bufferLength.
  virtual WaveResult addBuffer(WaveHeader& header) = 0;

  // Capture begins into the queued buffers; audio arriving with none queued is lost.
  virtual WaveResult start() = 0;
  // Stops capture and returns every queued buffer at once, with the bytes recorded into
  // it so far: done flags and byte counts are set before this returns, notifications
  // follow in queue order. start() begins capture again.
  virtual WaveResult reset() = 0;

  // The text for a code returned by this device, at most kWaveErrorTextMax characters.
  virtual std::string errorText(WaveResult code) = 0;
};

}  // namespace voxloom
