#pragma once

#include <SDL.h>

#include <optional>
#include <string>

#include "core/audio/wave_format.h"
#include "core/ports/wave_device_list.h"

namespace voxloom {

// Holds SDL's audio subsystem initialised for as long as it lives (SDL counts the users).
class SdlAudioSystem {
 public:
  SdlAudioSystem();
  ~SdlAudioSystem();
  SdlAudioSystem(const SdlAudioSystem&) = delete;
  SdlAudioSystem& operator=(const SdlAudioSystem&) = delete;

  bool ready() const { return ready_; }
  // SDL's explanation when initialisation failed.
  const std::string& failure() const { return failure_; }

 private:
  bool ready_ = false;
  std::string failure_;
};

// SDL's last error message, or fallback when it has none.
std::string sdlErrorText(const char* fallback);

// Frees what SDL keeps per thread (its error text) when a thread of ours that asked SDL
// something ends; SDL frees this itself only for threads it started.
struct SdlThreadCleanup {
  SdlThreadCleanup() = default;
  SdlThreadCleanup(const SdlThreadCleanup&) = delete;
  SdlThreadCleanup& operator=(const SdlThreadCleanup&) = delete;
  ~SdlThreadCleanup() { SDL_TLSCleanup(); }
};

// Device names as SDL enumerates them now; the position is the SDL device index.
WaveDeviceNames sdlDeviceNames(bool capture);

// The spec that opens a device for format exactly (no conversion visible to the
// callback), or nothing when format is not PCM with 1 or 2 channels of 8 or 16 bits.
std::optional<SDL_AudioSpec> sdlSpecFor(const WaveFormat& format);

// Checks device and format without opening anything: kWaveOk, kWaveBadDevice or
// kWaveBadFormat.
WaveResult checkSdlDevice(int device, const WaveFormat& format, bool capture);

}  // namespace voxloom
