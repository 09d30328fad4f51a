#include "core/session/scan_numbers.h"

#include <cstdint>

namespace voxloom {

namespace {

bool isScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::size_t scanNumbers(std::string_view text, std::int32_t* values, std::size_t count) {
  std::size_t read = 0;
  std::size_t pos = 0;
  for (; read < count; ++read) {
    while (pos < text.size() && isScanSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    const std::size_t first = pos;
    std::int64_t magnitude = 0;
    // Eleven digits already exceed the 32-bit range; stop counting there.
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      if (magnitude <= std::int64_t{1} << 33) magnitude = magnitude * 10 + (text[pos] - '0');
      ++pos;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (pos == first || value < INT32_MIN || value > INT32_MAX) break;
    values[read] = static_cast<std::int32_t>(value);
  }
  for (std::size_t i = read; i < count; ++i) values[i] = 0;
  return read;
}

}  // namespace voxloom
