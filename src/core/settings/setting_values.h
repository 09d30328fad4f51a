#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings/settings_table.h"

namespace voxloom {

// Longest text value kept; longer values are cut (at a character boundary).
inline constexpr std::size_t kSettingTextMax = 2047;

// Decimal with an optional sign, or hexadecimal after "0x"/"0X" (up to 8 digits, taken
// as a 32-bit pattern); blanks around the number are allowed. Nothing when the text is
// not such a number or does not fit 32 bits.
std::optional<std::int32_t> parseSettingInt(std::string_view text);
// A finite decimal number with a point, read the same whatever the locale.
std::optional<long double> parseSettingFloat(std::string_view text);

// General notation, up to 15 significant digits, always with a point: 3.8, 0.5, 1e-07.
std::string formatSettingFloat(long double value);
// At most kSettingTextMax bytes, never ending inside a UTF-8 sequence; line breaks
// (which the file cannot hold) become blanks.
std::string capSettingText(std::string_view text);

// The text a value of `type` is written as, from the text read (nothing: the key was
// missing) and the default text: numbers normalised, non-numbers replaced by the default.
std::string normaliseSetting(SettingType type, const std::optional<std::string>& read,
                             std::string_view defaultText);

}  // namespace voxloom
