#include "tests/platform/disk_audio.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>
#include <unistd.h>

namespace voxloom::test {

namespace fs = std::filesystem;

DiskAudio::DiskAudio() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test != nullptr ? test->name() : "x";
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  dir_ = (fs::temp_directory_path() / ("voxloom-disk-" + std::to_string(::getpid()) + "-" + name))
             .string();
  fs::create_directories(dir_);
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  setOutputPath(dir_ + "/out.raw");
  setInput({});
}

DiskAudio::~DiskAudio() {
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

void DiskAudio::setOutputPath(const std::string& path) {
  output_ = path;
  ::setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
}

void DiskAudio::setInput(const std::vector<std::uint8_t>& bytes) {
  const std::string path = dir_ + "/in.raw";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  ::setenv("SDL_DISKAUDIOFILEIN", path.c_str(), 1);
}

std::vector<std::uint8_t> DiskAudio::readOutput() const {
  std::ifstream in(output_, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

WaveFormat pcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  WaveFormat format;
  format.formatTag = WaveFormat::kPcm;
  format.channels = channels;
  format.samplesPerSec = rate;
  format.bitsPerSample = bits;
  format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  format.avgBytesPerSec = rate * format.blockAlign;
  return format;
}

std::vector<std::uint8_t> patternBytes(std::size_t count, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(count);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
    if (byte == 0 || byte == 0x80) byte = 0x41;
  }
  return bytes;
}

std::vector<std::uint8_t> withoutLeadingSilence(const std::vector<std::uint8_t>& bytes,
                                                std::uint8_t silence) {
  auto first = bytes.begin();
  while (first != bytes.end() && *first == silence) ++first;
  return {first, bytes.end()};
}

}  // namespace voxloom::test
