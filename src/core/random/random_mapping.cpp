#include "core/random/random_mapping.h"

#include <charconv>
#include <cmath>

namespace voxloom {

std::int32_t scaleFrom31Bits(std::int32_t v, std::int32_t n) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(v) * n) >> 31);
}

std::int32_t scaleFromSample16(std::int16_t s, std::int32_t n) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(s) + 32768) * n / 65536);
}

std::int32_t scaleFromWord(std::uint32_t w, std::int32_t n) {
  return static_cast<std::int32_t>(
      (static_cast<std::uint64_t>(w) * static_cast<std::uint32_t>(n)) >> 32);
}

std::int32_t scaleFromService(std::int32_t v, std::int32_t n) {
  const std::int32_t r = v % n;
  return r < 0 ? r + n : r;
}

std::string fractalLogText(long double x) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, x, std::chars_format::general, 15);
  return std::string(text, result.ptr);
}

}  // namespace voxloom
