#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/util/replace_file.h"

namespace voxloom {

// One cue of a written file with its ltxt, labl and note entries.
struct WavCue {
  std::uint32_t id = 0;
  std::uint32_t position = 0;
  std::uint32_t sampleLength = 0;
  std::uint32_t purpose = 0;  // four-character code
  std::string label;
  std::string note;
};

enum class WavWriteStatus {
  Written,
  CannotOpen,
  WriteFailed,
  TooLarge,  // the RIFF size would pass 2^32 - 1; nothing is left behind
};

// Writes a RIFF/WAVE file in the program's one layout: fmt (16 bytes), data (no pad
// byte), cue, and a LIST of type adtl with ltxt, labl and note for every cue. The file
// is written as replace_file.h says: beside the target under a temporary name and
// renamed over it only when complete, so a failed save never destroys the previous file.
class WavWriter {
 public:
  WavWriter() = default;
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;
  ~WavWriter();

  // Opens the file and writes everything up to the data chunk's header. The format's
  // samples-per-second field must already hold the rate to write.
  WavWriteStatus begin(const std::string& path, const WaveFormat& format);
  bool writeSamples(std::span<const std::uint8_t> bytes);
  // Writes cue and LIST chunks, patches the sizes and puts the file in place.
  WavWriteStatus finish(std::span<const WavCue> cues);

 private:
  void discard();

  std::string path_;
  SaveTarget save_;
  std::FILE* file_ = nullptr;
  std::uint64_t dataBytes_ = 0;
  bool failed_ = false;
};

// Whether `dataBytes` of samples with these cues fit a WAV file: its RIFF and data sizes
// are 32-bit fields, and a larger file would read back as a short one.
bool wavFileFits(std::uint64_t dataBytes, std::span<const WavCue> cues);

// Label and note texts are cut to this many bytes.
inline constexpr std::size_t kMaxCueTextBytes = 255;

// Writes the whole document with its own cue points; sets the format's rate field to
// `nominalRate` first, as every write does.
WavWriteStatus writeDocumentWav(const std::string& path, AudioDocument& doc);

std::string cannotOpenForWritingText(const std::string& path);
std::string cannotWriteText(const std::string& path);
// The message of a failed write; empty for Written.
std::string wavWriteFailureText(WavWriteStatus status, const std::string& path);

}  // namespace voxloom
