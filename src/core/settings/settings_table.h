#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace voxloom {

enum class SettingType { Int, Bool, Float, Text };

// One key of the settings file. Rows are kept in the order they are written and read.
struct SettingRow {
  const char* section;
  const char* key;
  SettingType type;
  // The value a missing key gives, as the file would hold it; nullptr when the default
  // is whatever state the owner has at start-up.
  const char* defaultText;
};

// Every key of voxloom.ini, in file order. The numbered URL list (RandomSourceHttp1 ...)
// is not a row: it follows RandomSourceHttp (see Settings).
inline constexpr std::array kSettingRows = {
    SettingRow{"SEGMENTS", "SegmentDuration", SettingType::Int, "80"},
    SettingRow{"SEGMENTS", "SegmentDuration2", SettingType::Int, "120"},
    SettingRow{"SEGMENTS", "SegmentTo", SettingType::Bool, "0"},
    SettingRow{"SEGMENTS", "UseCueList", SettingType::Bool, "0"},
    SettingRow{"SEGMENTS", "Overlap", SettingType::Bool, "0"},
    SettingRow{"SEGMENTS", "ZeroCrossAdjust", SettingType::Bool, "1"},
    SettingRow{"SEGMENTS", "CrossFade", SettingType::Bool, "0"},
    SettingRow{"SEGMENTS", "FadingMode", SettingType::Int, "0"},
    SettingRow{"PLAYEVP", "RandomPlayTime", SettingType::Int, "15"},
    SettingRow{"PLAYEVP", "RandomPlay", SettingType::Int, "0"},
    SettingRow{"EVPSESSION", "CueLabelFontName", SettingType::Text, "Courier New"},
    SettingRow{"EVPSESSION", "CueLabelFontStyleBold", SettingType::Bool, "0"},
    SettingRow{"EVPSESSION", "CueLabelFontStyleItalic", SettingType::Bool, "0"},
    SettingRow{"EVPSESSION", "CueLabelFontStyleUnderline", SettingType::Bool, "0"},
    SettingRow{"EVPSESSION", "CueLabelFontStyleStrikeOut", SettingType::Bool, "0"},
    SettingRow{"EVPSESSION", "CueLabelFontSize", SettingType::Int, "10"},
    SettingRow{"EVPSESSION", "CueLabelFontColor", SettingType::Int, "0"},
    SettingRow{"EVPSESSION", "CueLabelFontCharset", SettingType::Int, "1"},
    SettingRow{"EVPSESSION", "EditorPath", SettingType::Text, ""},
    SettingRow{"PROGRAM", "SaveOnExit", SettingType::Bool, "1"},
    SettingRow{"PROGRAM", "RestWinPos", SettingType::Bool, "1"},
    SettingRow{"PROGRAM", "WindowPosLeft", SettingType::Int, "200"},
    SettingRow{"PROGRAM", "WindowPosTop", SettingType::Int, "100"},
    SettingRow{"INITIALDIRS", "UseSeparateFolders", SettingType::Bool, "1"},
    SettingRow{"INITIALDIRS", "SourceWavFiles", SettingType::Text, ""},
    SettingRow{"INITIALDIRS", "OutputWavFiles", SettingType::Text, ""},
    SettingRow{"INITIALDIRS", "SessionFiles", SettingType::Text, ""},
    SettingRow{"INITIALDIRS", "RandomSourceFiles", SettingType::Text, ""},
    SettingRow{"INITIALDIRS", "OutputRandomNumberFiles", SettingType::Text, ""},
    SettingRow{"RANDOMSOURCE", "RandomSource", SettingType::Int, "0"},
    SettingRow{"RANDOMSOURCE", "RandomSourceFile", SettingType::Text, ""},
    SettingRow{"RANDOMSOURCE", "RandomSourceHttp", SettingType::Text, ""},
    SettingRow{"RANDOMSOURCE", "RandomSourceFileLoop", SettingType::Bool, "1"},
    SettingRow{"RANDOMSOURCE", "RandomSourceRecNew", SettingType::Bool, "1"},
    SettingRow{"RANDOMSOURCE", "RandomSourceConvert", SettingType::Bool, "0"},
    SettingRow{"RANDOMSOURCE", "RandomSourceRecBest", SettingType::Bool, "1"},
    SettingRow{"RANDOMSOURCE", "FractalGrowthConstant", SettingType::Float, "3.8"},
    SettingRow{"RANDOMSOURCE", "FractalInitPopulation", SettingType::Float, "0.5"},
    SettingRow{"RANDOMSOURCE", "ManualRandomWindowLeftPosition", SettingType::Int, "0"},
    SettingRow{"RANDOMSOURCE", "ManualRandomWindowTopPosition", SettingType::Int, "0"},
    SettingRow{"RANDOMSOURCE", "ManualRandomWindowWidth", SettingType::Int, "800"},
    SettingRow{"RANDOMSOURCE", "ManualRandomWindowHeight", SettingType::Int, "70"},
    SettingRow{"RANDOMSOURCE", "ManualRandomMute", SettingType::Bool, "1"},
    SettingRow{"RANDOMSOURCE", "RandomSourceParallelPortAddress", SettingType::Text, ""},
    SettingRow{"RANDOMSOURCE", "RandomSourceParallelInputLine", SettingType::Int, "3"},
    SettingRow{"RANDOMSOURCE", "RandomSourceParallelSampleRate", SettingType::Text, "100000"},
    SettingRow{"RANDOMSOURCE", "RandomSourceParallelUnbiasMethod", SettingType::Int, "0"},
    SettingRow{"RANDOMSOURCE", "RandomDevice", SettingType::Text, ""},
    SettingRow{"EFFECTS", "EchoDelay", SettingType::Int, "100"},
    SettingRow{"EFFECTS", "EchoDecay", SettingType::Int, "50"},
    SettingRow{"AUTOCUT", "ThresholdPercent", SettingType::Int, "30"},
    SettingRow{"AUTOCUT", "ThresholdAutomatically", SettingType::Int, "1"},
    SettingRow{"AUTOCUT", "EnvelopeFrameSize", SettingType::Int, "15"},
    SettingRow{"LISTENER", "ListenWordList", SettingType::Text, ""},
    SettingRow{"LISTENER", "ListenMinConfidence", SettingType::Int, "0"},
    SettingRow{"LISTENER", "ListenOnRecord", SettingType::Bool, "0"},
    SettingRow{"SPEEDCONTROLWINDOW", "SpeedControlWindowVisible", SettingType::Bool, "0"},
    SettingRow{"SPEEDCONTROLWINDOW", "SpeedControlWindowLeftPosition", SettingType::Int, "0"},
    SettingRow{"SPEEDCONTROLWINDOW", "SpeedControlWindowTopPosition", SettingType::Int, "0"},
    SettingRow{"SPEEDCONTROLWINDOW", "SpeedControlWindowSliderPosition", SettingType::Int, "50"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowVisible", SettingType::Bool, "0"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowLeftPosition", SettingType::Int, "0"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowTopPosition", SettingType::Int, "0"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowWidth", SettingType::Int, "550"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowHeight", SettingType::Int, "500"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowFontName", SettingType::Text,
               "Wingdings"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowFontStyleBold", SettingType::Bool, "0"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowFontStyleItalic", SettingType::Bool,
               "0"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowFontStyleUnderline", SettingType::Bool,
               "0"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowFontStyleStrikeOut", SettingType::Bool,
               "0"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowFontSize", SettingType::Int, "300"},
    SettingRow{"VISUALFEEDBACKWINDOW", "VisualFeedbackWindowFontCharset", SettingType::Int, "1"},
    SettingRow{"RECORDING", "RecSampleRate", SettingType::Text, nullptr},
    SettingRow{"RECORDING", "RecChannels", SettingType::Int, nullptr},
    SettingRow{"RECORDING", "RecResolution", SettingType::Int, nullptr},
    SettingRow{"RECORDING", "RecBufferTimeMilliseconds", SettingType::Int, nullptr},
    SettingRow{"RECORDING", "RecNormalize", SettingType::Int, nullptr},
    SettingRow{"RECORDING", "LevelWindowLeftPosition", SettingType::Int, nullptr},
    SettingRow{"RECORDING", "LevelWindowTopPosition", SettingType::Int, nullptr},
    SettingRow{"RECORDING", "BoostInput", SettingType::Bool, "0"},
    SettingRow{"RECORDING", "BoostSliderPos", SettingType::Int, "70"},
    // Each device's name follows its index, so a device is found again when the
    // system lists its devices in another order.
    SettingRow{"DEVICES", "DevicePlayback", SettingType::Int, "0"},
    SettingRow{"DEVICES", "DevicePlaybackName", SettingType::Text, ""},
    SettingRow{"DEVICES", "DeviceRecord", SettingType::Int, "0"},
    SettingRow{"DEVICES", "DeviceRecordName", SettingType::Text, ""},
    SettingRow{"DEVICES", "DeviceRandomSource", SettingType::Int, "0"},
    SettingRow{"DEVICES", "DeviceRandomSourceName", SettingType::Text, ""},
    SettingRow{"DEVICES", "DeviceLiveAudioSource", SettingType::Int, "0"},
    SettingRow{"DEVICES", "DeviceLiveAudioSourceName", SettingType::Text, ""},
    SettingRow{"INPUTSOURCE", "LiveAudioSourceTimeSeconds", SettingType::Int, nullptr},
    SettingRow{"INPUTSOURCE", "AutoOpenLastWavFile", SettingType::Bool, "1"},
    SettingRow{"INPUTSOURCE", "LastWavFilePath", SettingType::Text, ""},
};

inline constexpr std::size_t kSettingCount = kSettingRows.size();

// The row's position, found without regard to case; nothing for an unknown key.
std::optional<std::size_t> findSettingRow(std::string_view section, std::string_view key);

// The row index of a key known to be in the table (checked at compile time where used
// in constant expressions).
constexpr std::size_t settingIndex(std::string_view key) {
  for (std::size_t i = 0; i < kSettingRows.size(); ++i)
    if (key == kSettingRows[i].key) return i;
  return kSettingRows.size();
}

}  // namespace voxloom
