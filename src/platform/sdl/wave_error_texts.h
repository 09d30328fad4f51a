#pragma once

#include <map>
#include <string>

#include "core/ports/wave_device_list.h"

namespace voxloom {

// The texts behind a device's error codes: a fixed text per code, replaced by the audio
// system's own explanation when it gave one for the last failure with that code.
class WaveErrorTexts {
 public:
  // Remembers text for code and returns code, so a failure reads `return remember(...)`.
  WaveResult remember(WaveResult code, const std::string& text);
  std::string text(WaveResult code) const;

 private:
  std::map<WaveResult, std::string> detailed_;
};

// What a device that went away says when the audio system gives no reason of its own.
inline constexpr const char* kDeviceRemovedText = "The audio device was removed.";

// Cuts text to at most kWaveErrorTextMax bytes without splitting a UTF-8 sequence.
std::string limitWaveErrorText(std::string text);

}  // namespace voxloom
