#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/audio/wave_format.h"
#include "core/ports/queued_event_loop.h"

namespace voxloom::test {

// Routes SDL audio to files: construct before any SDL device object so that SDL starts
// with the disk driver.
class DiskAudio {
 public:
  DiskAudio();
  ~DiskAudio();
  // The file the next opened playback device writes to.
  const std::string& outputPath() const { return output_; }
  // Makes the next opened capture device read bytes.
  void setInput(const std::vector<std::uint8_t>& bytes);
  void setOutputPath(const std::string& path);
  std::vector<std::uint8_t> readOutput() const;

 private:
  std::string dir_;
  std::string output_;
};

WaveFormat pcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits);
// count bytes of a pattern that never contains silence (0 or 0x80), starting at seed.
std::vector<std::uint8_t> patternBytes(std::size_t count, std::uint8_t seed);
// bytes without the silence the device played before them.
std::vector<std::uint8_t> withoutLeadingSilence(const std::vector<std::uint8_t>& bytes,
                                                std::uint8_t silence);

}  // namespace voxloom::test
