#pragma once

#include <charconv>
#include <concepts>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace voxloom {

// Numbers as the command lines take them: the whole text and nothing else, no sign '+',
// no spaces, decimals with '.' whatever the locale.

// A whole number of type T within [lo, hi]; nothing otherwise (out of T's range too).
template <std::integral T>
std::optional<T> parseWholeNumber(std::string_view text, T lo = std::numeric_limits<T>::min(),
                                  T hi = std::numeric_limits<T>::max()) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value < lo || value > hi)
    return std::nullopt;
  return value;
}

// A decimal number ("2.5", "1e3", "inf" and "nan" too); nothing otherwise.
template <std::floating_point T>
std::optional<T> parseDecimal(std::string_view text) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Appends `value` with `decimals` decimals and a '.' whatever the locale.
inline void appendFixed(std::string& out, double value, int decimals) {
  char buffer[64];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  out.append(buffer, ec == std::errc{} ? end : buffer);
}

}  // namespace voxloom
