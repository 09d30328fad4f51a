#include "core/random/fractal_source.h"

#include <array>
#include <charconv>
#include <cmath>

#include "core/random/bitwise_convert.h"
#include "core/random/random_mapping.h"

namespace voxloom {

RawDraw drawFractalWord(FractalState state, std::int32_t n) {
  RawDraw d;
  d.bits = 32;
  std::array<long double, 32> values;
  for (long double& v : values) v = logisticStep(state.r, state.x);
  const std::uint32_t w =
      bitwiseConvert(std::span<const long double, 32>(values), state.previousTrendValue);
  d.mapped = scaleFromWord(w, n);
  d.value = w;
  d.form = RawForm::Signed32;
  return d;
}

std::optional<long double> parseDecimal(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars takes "inf", "nan" and hex forms nobody types into these edits.
  if (text.empty() ||
      !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.'))
    return std::nullopt;
  long double value = 0;
  const auto result =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

std::string formatDecimal(long double value) {
  return fractalLogText(value);
}

std::string notFloatText(const std::string& text) {
  return "'" + text + "' is not a valid floating point value";
}

}  // namespace voxloom
