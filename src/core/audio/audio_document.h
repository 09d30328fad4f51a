#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/audio/wave_format.h"
#include "core/util/units.h"

namespace voxloom {

struct CuePoint {
  Frames position = 0;   // first sample frame of the cue
  Frames length = 0;     // region length in frames; 0 when the file gave none
  std::uint32_t id = 0;  // 0: no identifier, never matches a text
  std::string label;     // UTF-8
  std::string note;      // UTF-8
  std::string purpose;   // up to four characters, trailing blanks removed ("rgn")
};

// The texts that describe the document in the main window.
struct DocumentTexts {
  std::string windowTitle;
  std::string applicationTitle;
  std::array<std::string, 3> status;
};

// The program's name texts; the defaults are what resetDocument() restores.
struct AppCaptions {
  std::string appTitle = "Voxloom";
  std::string appCaption = "Voxloom " VOXLOOM_VERSION;
  std::array<std::string, 3> defaultStatus = {"Sample:", "Cues:", "Time:"};
};

// Frees sample buffers made by AudioDocument::allocateSamples.
struct SampleBufferFree {
  void operator()(std::uint8_t* p) const noexcept;
};
using SampleBuffer = std::unique_ptr<std::uint8_t[], SampleBufferFree>;

// Durations as "%d:%02d:%06.3f" (hours, minutes, seconds), always with a "." separator.
std::string timeText(double seconds);

// The one signal the program works on: samples exactly as stored in the WAV file,
// their format and the cue points with their texts.
class AudioDocument {
 public:
  AudioDocument();
  AudioDocument(const AudioDocument&) = delete;
  AudioDocument& operator=(const AudioDocument&) = delete;

  std::string path;
  bool isLoaded = false;
  bool isModified = false;
  WaveFormat format;
  Rate nominalRate = 0;
  Bytes frameBytes = 0;
  Bytes dataBytes = 0;
  Frames frameCount = 0;
  SampleBuffer samples;
  std::vector<CuePoint> cues;

  AppCaptions captions;
  DocumentTexts texts;

  Frames cueCount() const { return static_cast<Frames>(cues.size()); }

  // Replaces the sample buffer by a new one of `bytes` bytes (contents undefined). The
  // old buffer is freed first, so two never exist at once.
  void allocateSamples(Bytes bytes);

  // First byte of a channel in frame 0: 0 is the left (or only) channel, 1 the right.
  std::uint8_t* channelBase(int channel);
  const std::uint8_t* channelBase(int channel) const;

  // Saturating sample access: 8-bit samples read as -128..127, 16-bit as signed values;
  // any other width reads 0 and writes nothing. Bounds are the caller's duty.
  int sampleAt(const std::uint8_t* channelBase, Frames frameIndex) const;
  void putSample(std::uint8_t* channelBase, Frames frameIndex, int value) const;

  // Called once format, dataBytes, samples and cues are filled.
  void setUpDocument(const std::string& newPath, bool takeRateFromFormat);
  void resetDocument();
  void clearCues();
  void markModified() { isModified = true; }

  // The title of a document saved or loaded under `shownPath`: "take1.wav - Voxloom 2.5".
  void setTitleFor(const std::string& shownPath);
};

// The file-name part of a path (after the last '/' or '\').
std::string fileNamePart(const std::string& path);
// The folder part of a path, without the trailing separator; empty when there is none.
std::string folderPart(const std::string& path);

}  // namespace voxloom
