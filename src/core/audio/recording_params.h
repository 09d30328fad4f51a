#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/audio/wave_format.h"

namespace voxloom {

// What TFormRecParam ("Recording parameters") shows: the window mirrors this state and
// writes the user's changes back. The same dialog sets up the live source in its other
// layout.
struct RecParamState {
  static constexpr std::array<const char*, 7> kSampleRateItems = {
      "8000", "11025", "16000", "22050", "32000", "44100", "48000"};
  static constexpr int kLiveSecondsMin = 1;
  static constexpr int kLiveSecondsMax = 10000;

  std::string sampleRateText = "22050";  // ComboBoxSampleRate, free text allowed
  int channelsItem = 0;                  // RadioGroupChannels: 0 mono, 1 stereo
  int resolutionItem = 1;                // RadioGroupResolution: 0 8 bit, 1 16 bit
  bool normalize = true;                 // CheckBoxNormalize
  int liveSeconds = 10;                  // CSpinEditLiveAudioSourceTimeSeconds
  bool liveLayout = false;               // shows "Live audio source" instead of "Amplitude"
};

// The settings dialog's "Recording buffer" (EditRecBufferTimeMilliseconds).
struct RecBufferTime {
  static constexpr int kMin = 100;
  static constexpr int kMax = 1000;
  static constexpr int kStep = 100;
  static constexpr int kDefault = 100;
};

inline constexpr const char* kInvalidSampleRateText = "Invalid sample rate.";

// The integer in the combo box text (blanks around it allowed). A rate that is not a
// positive whole number has no use, so it counts as invalid too.
std::optional<std::int32_t> parseSampleRate(const std::string& text);

// PCM with channels = item + 1 and bits = item x 8 + 8.
WaveFormat recordingFormat(std::int32_t rate, int channelsItem, int resolutionItem);

// (milliseconds x rate / 1000) x block align, the division first; nothing when the
// buffer would not fit a 32-bit size.
std::optional<std::int32_t> recordBufferBytes(int milliseconds, const WaveFormat& format);

}  // namespace voxloom
