#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace voxloom::test {

// Builds RIFF files byte by byte, so tests can write exactly the oddities they need.
class RiffBuilder {
 public:
  std::vector<std::uint8_t> bytes;

  RiffBuilder& code(const std::string& fourChars);
  RiffBuilder& u16(std::uint16_t v);
  RiffBuilder& u32(std::uint32_t v);
  RiffBuilder& raw(const std::string& text);
  RiffBuilder& zeros(std::size_t n);
  // A chunk: code, size (the body's length unless given), body, no pad byte.
  RiffBuilder& chunk(const std::string& fourChars, const std::vector<std::uint8_t>& body);
  RiffBuilder& chunkWithSize(const std::string& fourChars, std::uint32_t size,
                             const std::vector<std::uint8_t>& body);
  // Patches the RIFF size at offset 4 to the current length - 8.
  RiffBuilder& closeRiff();

  static std::vector<std::uint8_t> fmtBody(int channels, int bits, int rate, int formatTag = 1,
                                           int extraBytes = -1);
  static std::vector<std::uint8_t> cueBody(
      const std::vector<std::pair<std::uint32_t, std::uint32_t>>& idAndPosition);
  static std::vector<std::uint8_t> ltxtBody(std::uint32_t id, std::uint32_t length,
                                            const std::string& purpose);
  // Identifier + text + NUL (+ pad NUL when odd), as the program writes them.
  static std::vector<std::uint8_t> textBody(std::uint32_t id, const std::string& text);
};

// A complete file: RIFF WAVE, fmt, data of `dataBytes` counting bytes.
std::vector<std::uint8_t> simpleWav(int channels, int bits, int rate, std::uint32_t dataBytes);

// Writes bytes to a fresh file in the test's temporary folder and returns its path.
std::string writeTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readWholeFile(const std::string& path);
std::string tempDir();

}  // namespace voxloom::test
