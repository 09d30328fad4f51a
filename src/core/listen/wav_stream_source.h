#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/audio/byte_stream.h"
#include "core/audio/wave_format.h"
#include "core/ports/speech_listener.h"

namespace voxloom {

// A WAV file read a block at a time: only the header is parsed up front, so a file of
// hours costs no more memory than one of seconds. 8-bit samples come out as 16-bit.
class WavStreamSource final : public PcmSource {
 public:
  // Null with `error` set when `path` is no readable standard PCM WAV file.
  static std::unique_ptr<WavStreamSource> open(const std::string& path, std::string& error);
  // The same over any byte stream; `name` only appears in messages.
  static std::unique_ptr<WavStreamSource> fromStream(ByteStream stream, const std::string& name,
                                                     std::string& error);

  std::uint32_t rate() const override { return format_.samplesPerSec; }
  int channels() const override { return format_.channels; }
  std::int64_t totalFrames() const override { return frames_; }
  std::size_t read(std::int16_t* out, std::size_t frames) override;

 private:
  explicit WavStreamSource(ByteStream stream) : stream_(std::move(stream)) {}

  ByteStream stream_;
  WaveFormat format_;
  std::int64_t frames_ = 0;
  std::int64_t framesLeft_ = 0;
  std::vector<std::uint8_t> bytes_;  // one block of file bytes, reused
};

}  // namespace voxloom
