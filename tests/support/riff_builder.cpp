#include "tests/support/riff_builder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace voxloom::test {

RiffBuilder& RiffBuilder::code(const std::string& c) {
  for (int i = 0; i < 4; ++i)
    bytes.push_back(static_cast<std::uint8_t>(i < static_cast<int>(c.size()) ? c[i] : ' '));
  return *this;
}

RiffBuilder& RiffBuilder::u16(std::uint16_t v) {
  bytes.push_back(static_cast<std::uint8_t>(v));
  bytes.push_back(static_cast<std::uint8_t>(v >> 8));
  return *this;
}

RiffBuilder& RiffBuilder::u32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  return *this;
}

// resize + memcpy rather than insert: GCC 12 at -O3 warns falsely about vector::insert.
static void appendBytes(std::vector<std::uint8_t>& out, const void* data, std::size_t n) {
  const std::size_t at = out.size();
  out.resize(at + n);
  if (n > 0) std::memcpy(out.data() + at, data, n);
}

RiffBuilder& RiffBuilder::raw(const std::string& text) {
  appendBytes(bytes, text.data(), text.size());
  return *this;
}

RiffBuilder& RiffBuilder::zeros(std::size_t n) {
  bytes.resize(bytes.size() + n, 0);
  return *this;
}

RiffBuilder& RiffBuilder::chunk(const std::string& c, const std::vector<std::uint8_t>& body) {
  return chunkWithSize(c, static_cast<std::uint32_t>(body.size()), body);
}

RiffBuilder& RiffBuilder::chunkWithSize(const std::string& c, std::uint32_t size,
                                        const std::vector<std::uint8_t>& body) {
  code(c).u32(size);
  appendBytes(bytes, body.data(), body.size());
  return *this;
}

RiffBuilder& RiffBuilder::closeRiff() {
  const auto size = static_cast<std::uint32_t>(bytes.size() - 8);
  for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
  return *this;
}

std::vector<std::uint8_t> RiffBuilder::fmtBody(int channels, int bits, int rate, int formatTag,
                                               int extraBytes) {
  RiffBuilder b;
  const int align = channels * bits / 8;
  b.u16(static_cast<std::uint16_t>(formatTag)).u16(static_cast<std::uint16_t>(channels));
  // The byte rate wraps as its 32-bit field does for the absurd rates hostile files claim.
  b.u32(static_cast<std::uint32_t>(rate))
      .u32(static_cast<std::uint32_t>(rate) * static_cast<std::uint32_t>(align));
  b.u16(static_cast<std::uint16_t>(align)).u16(static_cast<std::uint16_t>(bits));
  if (extraBytes >= 0) b.u16(static_cast<std::uint16_t>(extraBytes)).zeros(extraBytes);
  return b.bytes;
}

std::vector<std::uint8_t> RiffBuilder::cueBody(
    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& cues) {
  RiffBuilder b;
  b.u32(static_cast<std::uint32_t>(cues.size()));
  for (const auto& [id, position] : cues) b.u32(id).u32(0).code("data").u32(0).u32(0).u32(position);
  return b.bytes;
}

std::vector<std::uint8_t> RiffBuilder::ltxtBody(std::uint32_t id, std::uint32_t length,
                                                const std::string& purpose) {
  RiffBuilder b;
  b.u32(id).u32(length);
  if (purpose.empty()) {
    b.u32(0);
  } else {
    b.code(purpose);
  }
  b.zeros(8);
  return b.bytes;
}

std::vector<std::uint8_t> RiffBuilder::textBody(std::uint32_t id, const std::string& text) {
  RiffBuilder b;
  b.u32(id).raw(text).zeros(1);
  if ((text.size() + 1) % 2 == 1) b.zeros(1);
  return b.bytes;
}

std::vector<std::uint8_t> simpleWav(int channels, int bits, int rate, std::uint32_t dataBytes) {
  RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(channels, bits, rate));
  std::vector<std::uint8_t> data(dataBytes);
  for (std::uint32_t i = 0; i < dataBytes; ++i) data[i] = static_cast<std::uint8_t>(i * 7);
  b.chunk("data", data);
  return b.closeRiff().bytes;
}

std::string tempDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name()
                                     : std::string("global");
  for (char& c : name)
    if (c == '/') c = '_';
  const auto dir =
      std::filesystem::temp_directory_path() / ("voxloom-tests-" + std::to_string(getpid())) / name;
  std::filesystem::create_directories(dir);
  return dir.string();
}

std::string writeTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const std::string path = tempDir() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace voxloom::test
