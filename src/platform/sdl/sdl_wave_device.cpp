#include "platform/sdl/sdl_wave_device.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace voxloom {

WaveDeviceNames SdlWaveDevice::names() {
  return system_.ready() ? sdlDeviceNames(capture_) : WaveDeviceNames{};
}

WaveResult SdlWaveDevice::queryDevice(int device, const WaveFormat& format) {
  if (!system_.ready()) return errors_.remember(kWaveNoDriver, system_.failure());
  return errors_.remember(checkSdlDevice(device, format, capture_), "");
}

WaveResult SdlWaveDevice::checkOpen(int device, const WaveFormat& format) {
  if (device_ != 0) {
    return errors_.remember(kWaveError, capture_ ? "The recording device is already open."
                                                 : "The playback device is already open.");
  }
  if (!system_.ready()) return errors_.remember(kWaveNoDriver, system_.failure());
  if (const WaveResult check = checkSdlDevice(device, format, capture_); check != kWaveOk) {
    return errors_.remember(check, "");
  }
  return kWaveOk;
}

WaveResult SdlWaveDevice::openDevice(int device, const SDL_AudioSpec& wanted, WaveNotify notify,
                                     WaveFailure failed) {
  quit_ = lost_ = false;
  notify_ = std::move(notify);
  failed_ = std::move(failed);

  const int isCapture = capture_ ? 1 : 0;
  std::string name;
  if (device != kWaveDefaultDevice) {
    const char* found = SDL_GetAudioDeviceName(device, isCapture);
    name = found != nullptr ? found : "";
  }
  // No allowed changes: SDL converts to the hardware itself, the callback sees format.
  device_ = SDL_OpenAudioDevice(device == kWaveDefaultDevice ? nullptr : name.c_str(), isCapture,
                                &wanted, &spec_, 0);
  if (device_ == 0) {
    notify_ = nullptr;
    failed_ = nullptr;
    return errors_.remember(kWaveError,
                            sdlErrorText(capture_ ? "The recording device could not be opened."
                                                  : "The playback device could not be opened."));
  }
  worker_ = std::thread(&SdlWaveDevice::work, this);
  return kWaveOk;
}

WaveResult SdlWaveDevice::closeDevice() {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  {
    std::lock_guard queue(queueMutex_);
    if (hasBuffers()) return errors_.remember(kWaveStillPlaying, "");
  }
  {
    std::lock_guard queue(queueMutex_);
    quit_ = true;
  }
  wake_.notify_all();
  worker_.join();
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  notify_ = nullptr;
  failed_ = nullptr;
  return kWaveOk;
}

WaveResult SdlWaveDevice::prepareHeader(WaveHeader& header) {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  if (header.data == nullptr && header.bufferLength > 0) return errors_.remember(kWaveBadParam, "");
  header.prepared = true;
  return kWaveOk;
}

WaveResult SdlWaveDevice::unprepareHeader(WaveHeader& header) {
  if (header.inQueue) return errors_.remember(kWaveStillPlaying, "");
  header.prepared = false;
  return kWaveOk;
}

std::string SdlWaveDevice::textOf(WaveResult code) {
  if (code == kWaveDeviceLost) {
    std::lock_guard queue(queueMutex_);
    if (!lostText_.empty()) return limitWaveErrorText(lostText_);
  }
  return errors_.text(code);
}

void SdlWaveDevice::work() {
  const long callbackMs = 1000L * spec_.samples / std::max(spec_.freq, 1);
  const auto poll = std::chrono::milliseconds(std::clamp(callbackMs / 4, 1L, 5L));
  const SdlThreadCleanup cleanup;
  SDL_ClearError();  // per thread: what SDL says later on this thread is about the device
  std::unique_lock queue(queueMutex_);
  while (!quit_) {
    if (deviceGone()) {
      loseDevice();
      continue;
    }
    if (transfer()) continue;
    if (polling()) {
      wake_.wait_for(queue, poll);
    } else {
      wake_.wait(queue);
    }
  }
}

bool SdlWaveDevice::deviceGone() {
  return !lost_ && polling() && hasBuffers() && statusQuery_(device_) == SDL_AUDIO_STOPPED;
}

void SdlWaveDevice::loseDevice() {
  lost_ = true;
  const char* said = SDL_GetError();
  lostText_ = said != nullptr && *said != '\0' ? said : kDeviceRemovedText;
  returnAllOnLoss();
  // Posted after the returns, so the owner has all its buffers back when it hears of it.
  loop_.post([failed = failed_] {
    if (failed) failed(kWaveDeviceLost);
  });
}

}  // namespace voxloom
