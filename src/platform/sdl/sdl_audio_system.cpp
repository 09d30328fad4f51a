#include "platform/sdl/sdl_audio_system.h"

namespace voxloom {

namespace {

// Highest rate accepted; SDL resamples anything in between to what the hardware takes.
constexpr std::uint32_t kMaxRate = 768000;

// Callback size of about 10 ms, a power of two as some backends prefer.
Uint16 callbackFrames(std::uint32_t rate) {
  Uint16 frames = 64;
  while (frames < 4096 && frames * 100u < rate) frames = static_cast<Uint16>(frames * 2);
  return frames;
}

}  // namespace

SdlAudioSystem::SdlAudioSystem() {
  // SDL would catch SIGINT and SIGTERM into an event queue nobody reads here; the
  // programs handle those signals themselves.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  ready_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!ready_) failure_ = sdlErrorText("The audio system could not be started.");
}

SdlAudioSystem::~SdlAudioSystem() {
  if (ready_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::string sdlErrorText(const char* fallback) {
  const char* text = SDL_GetError();
  return text != nullptr && text[0] != '\0' ? std::string(text) : std::string(fallback);
}

WaveDeviceNames sdlDeviceNames(bool capture) {
  WaveDeviceNames names;
  const int count = SDL_GetNumAudioDevices(capture ? 1 : 0);
  for (int i = 0; i < count; ++i) {
    // Keep the position equal to SDL's index even when a name is missing.
    const char* name = SDL_GetAudioDeviceName(i, capture ? 1 : 0);
    names.emplace_back(name != nullptr ? name : "");
  }
  return names;
}

std::optional<SDL_AudioSpec> sdlSpecFor(const WaveFormat& format) {
  if (!format.isStandardPcm() || format.samplesPerSec == 0 || format.samplesPerSec > kMaxRate ||
      format.blockAlign != format.channels * format.bitsPerSample / 8) {
    return std::nullopt;
  }
  SDL_AudioSpec spec{};
  spec.freq = static_cast<int>(format.samplesPerSec);
  spec.format = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  spec.channels = static_cast<Uint8>(format.channels);
  spec.samples = callbackFrames(format.samplesPerSec);
  return spec;
}

WaveResult checkSdlDevice(int device, const WaveFormat& format, bool capture) {
  if (device != kWaveDefaultDevice &&
      (device < 0 || device >= SDL_GetNumAudioDevices(capture ? 1 : 0))) {
    return kWaveBadDevice;
  }
  return sdlSpecFor(format) ? kWaveOk : kWaveBadFormat;
}

}  // namespace voxloom
