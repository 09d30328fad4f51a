#include "platform/sdl/wave_error_texts.h"

namespace voxloom {

namespace {

std::string fixedText(WaveResult code) {
  switch (code) {
    case kWaveOk:
      return "The command completed successfully.";
    case kWaveBadDevice:
      return "The device number is out of range.";
    case kWaveDeviceLost:
      return kDeviceRemovedText;
    case kWaveNotOpen:
      return "The device is not open.";
    case kWaveNoDriver:
      return "No audio driver is available.";
    case kWaveNoMemory:
      return "Not enough memory for the buffer.";
    case kWaveBadParam:
      return "An invalid parameter was passed to the device.";
    case kWaveBadFormat:
      return "The device does not support this audio format.";
    case kWaveStillPlaying:
      return "Buffers are still queued on the device.";
    case kWaveUnprepared:
      return "The buffer has not been prepared.";
    default:
      return "Unknown audio device error " + std::to_string(code) + ".";
  }
}

}  // namespace

WaveResult WaveErrorTexts::remember(WaveResult code, const std::string& text) {
  if (text.empty()) {
    detailed_.erase(code);
  } else {
    detailed_[code] = limitWaveErrorText(text);
  }
  return code;
}

std::string WaveErrorTexts::text(WaveResult code) const {
  const auto found = detailed_.find(code);
  return limitWaveErrorText(found != detailed_.end() ? found->second : fixedText(code));
}

std::string limitWaveErrorText(std::string text) {
  if (text.size() <= kWaveErrorTextMax) return text;
  std::size_t cut = kWaveErrorTextMax;
  // Step back over continuation bytes so a character is never split.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
  return text;
}

}  // namespace voxloom
