#pragma once

#include <cstdint>
#include <string>

namespace voxloom {

// How each source's raw value becomes an integer 0..n-1 (n >= 1). Products are exact
// (64-bit) and truncate toward zero.

// Pseudo generator and manual slider: v in 0..2^31-1 gives v * n / 2^31.
std::int32_t scaleFrom31Bits(std::int32_t v, std::int32_t n);
// Sound card and file samples, convert off: (s + 32768) * n / 65536.
std::int32_t scaleFromSample16(std::int16_t s, std::int32_t n);
// A 32-bit word read unsigned (converted blocks, parallel port): w * n / 2^32.
std::int32_t scaleFromWord(std::uint32_t w, std::int32_t n);
// Fractal value: x * n truncated. Values outside 0 <= x < 1 (bad parameters, or x
// reaching 1.0) are clamped into 0..n-1 so the segment model never sees them. Inline:
// it is most of a fractal draw's cost besides the step.
inline std::int32_t scaleFromFractal(long double x, std::int32_t n) {
  // The comparisons come first, so the conversion (which truncates toward zero) only
  // ever sees a value that fits; this avoids a call to truncl.
  const long double scaled = x * n;
  if (!(scaled >= 0)) return 0;  // also NaN
  if (scaled >= n) return n - 1;
  return static_cast<std::int32_t>(scaled);
}
// Internet value: v mod n. A negative v is brought into 0..n-1 (-1 gives n-1).
std::int32_t scaleFromService(std::int32_t v, std::int32_t n);

// Log text of a fractal value: general format, 15 significant digits, "." separator.
std::string fractalLogText(long double x);

}  // namespace voxloom
