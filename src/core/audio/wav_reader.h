#pragma once

#include <cstdint>
#include <string>

#include "core/audio/audio_document.h"
#include "core/audio/byte_stream.h"

namespace voxloom {

enum class WavLoadStatus {
  Loaded,
  MissingChunk,    // RIFF, fmt or data not found (name in `chunk`)
  NotStandardPcm,  // read completely, then refused by the format check
  DataTooLarge,    // more sample bytes than a 32-bit count can hold
  NoMemory,        // the sample buffer could not be had
  RateTooHigh,     // a rate of 2^31 or more; nothing else was read
};

struct WavLoadOutcome {
  WavLoadStatus status = WavLoadStatus::Loaded;
  std::string chunk;              // "RIFF", "fmt" or "data" with MissingChunk
  bool cueCountMismatch = false;  // loading went on without cues
  std::int64_t dataBytesFound = 0;
  std::int64_t dataBytesClaimed = 0;  // the data chunk's size field
  std::uint32_t rateFound = 0;        // with RateTooHigh
};

// Reads a RIFF/WAVE stream into `doc` (which the caller has emptied). On success the
// document is set up under `path`; on a missing chunk or too much data it stays empty;
// a format that is not 8/16-bit PCM mono/stereo is read completely and then reset.
WavLoadOutcome loadWav(ByteStream& stream, AudioDocument& doc, const std::string& path);

inline constexpr const char* kNotStandardPcmText =
    "This WAV file is not a standard PCM file. Voxloom can only process mono or stereo "
    "Windows PCM files with 8 or 16 bits per sample. Please choose another WAV file, or try to "
    "open this file in a sound editor and then save it as a Windows PCM file.";
inline constexpr const char* kCueCountMismatchText =
    "Number of found Cue points doesn't match size of cue chunk.";
std::string dataTooLargeText(std::int64_t bytes);
// Shown (title "Warning") when a data chunk claims more bytes than the file holds.
std::string shortDataText(std::int64_t loaded, std::int64_t claimed);
std::string noMemoryText(std::int64_t bytes);
std::string rateTooHighText(std::uint32_t rate);

}  // namespace voxloom
