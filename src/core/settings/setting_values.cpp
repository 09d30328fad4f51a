#include "core/settings/setting_values.h"

#include <charconv>
#include <cmath>

namespace voxloom {

namespace {

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::int32_t> parseSettingInt(std::string_view text) {
  text = trimmed(text);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    const std::string_view digits = text.substr(2);
    if (digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    return static_cast<std::int32_t>(value);
  }
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<long double> parseSettingFloat(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  long double value = 0;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::string formatSettingFloat(long double value) {
  char buffer[64];
  // In the precision the fractal source computes with: rounding through a double would
  // change the fifteenth digit, and lose values beyond a double's range altogether.
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return ec == std::errc{} ? std::string(buffer, end) : std::string("0");
}

std::string capSettingText(std::string_view text) {
  std::size_t length = text.size();
  if (length > kSettingTextMax) {
    length = kSettingTextMax;
    // Step back over continuation bytes so no character is cut in half.
    std::size_t start = length;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    length = start;
  }
  std::string out(text.substr(0, length));
  for (char& c : out)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  // The reader drops blanks at either end of a value, so a value that has them (after a
  // cut, or where a line break was) would change on the next save.
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t first = 0;
  while (first < out.size() && blank(out[first])) ++first;
  std::size_t last = out.size();
  while (last > first && blank(out[last - 1])) --last;
  return out.substr(first, last - first);
}

std::string normaliseSetting(SettingType type, const std::optional<std::string>& read,
                             std::string_view defaultText) {
  switch (type) {
    case SettingType::Int:
      if (read)
        if (auto v = parseSettingInt(*read)) return std::to_string(*v);
      return std::string(defaultText);
    case SettingType::Bool:
      if (read)
        if (auto v = parseSettingInt(*read)) return *v != 0 ? "1" : "0";
      return std::string(defaultText);
    case SettingType::Float:
      if (read)
        if (auto v = parseSettingFloat(*read)) return formatSettingFloat(*v);
      return std::string(defaultText);
    case SettingType::Text:
      return capSettingText(read ? *read : defaultText);
  }
  return std::string(defaultText);
}

}  // namespace voxloom
