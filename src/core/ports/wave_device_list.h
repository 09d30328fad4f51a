#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the playback and recording device ports share: result codes, the buffer header
// and the device list.
namespace voxloom {

// Result of a device operation: 0 success, otherwise an error code whose text the
// device's errorText() gives. The numbers follow the classic multimedia codes so that
// logs and tests read the same on every platform.
using WaveResult = int;
inline constexpr WaveResult kWaveOk = 0;
inline constexpr WaveResult kWaveError = 1;          // unspecified; see errorText()
inline constexpr WaveResult kWaveBadDevice = 2;      // no such device
inline constexpr WaveResult kWaveDeviceLost = 3;     // stopped working after open (unplugged)
inline constexpr WaveResult kWaveNotOpen = 5;        // operation on a closed device
inline constexpr WaveResult kWaveNoDriver = 6;       // the audio system is not available
inline constexpr WaveResult kWaveNoMemory = 7;       // buffer could not be taken over
inline constexpr WaveResult kWaveBadParam = 11;      // null or unsuitable argument
inline constexpr WaveResult kWaveBadFormat = 32;     // format not supported
inline constexpr WaveResult kWaveStillPlaying = 33;  // buffers still queued
inline constexpr WaveResult kWaveUnprepared = 34;    // header not prepared

// Longest text errorText() returns.
inline constexpr std::size_t kWaveErrorTextMax = 256;

// One buffer handed to a device. The caller owns the header and its memory and must not
// touch either from write/addBuffer until the device returns the header (done set).
// The device changes the header only on the thread that runs the event loop, so the
// caller can read the flags there without locks.
struct WaveHeader {
  std::uint8_t* data = nullptr;
  std::uint32_t bufferLength = 0;   // bytes at data
  std::uint32_t bytesRecorded = 0;  // input: bytes captured into data
  std::uintptr_t user = 0;          // the caller's value, untouched by the device
  bool prepared = false;
  bool inQueue = false;
  bool done = false;  // set when the device returns the buffer
};

// Called on the event loop's thread once per returned buffer, in the order queued.
using WaveNotify = std::function<void(WaveHeader&)>;

// Called on the event loop's thread when an open device stops working by itself (a USB
// headset unplugged, a sound server's sink removed). By then the device has returned
// every queued buffer as reset() does, and their notifications have run: this call is
// posted after them. The device stays open until closed but takes no buffers any more
// (they fail with the same code); errorText(code) says what happened. At most one call
// per open; one already posted still arrives after close(), like the notifications.
using WaveFailure = std::function<void(WaveResult)>;

// Product names in device order; the position is the device number to open.
using WaveDeviceNames = std::vector<std::string>;

// Device number that opens the system's default device.
inline constexpr int kWaveDefaultDevice = -1;

}  // namespace voxloom
