#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace voxloom {

// Reads up to `count` whitespace-separated decimal integers from the start of `text`,
// as "%d %d ..." does. Reading stops at the first number that is missing, malformed or
// outside the 32-bit range; it and all later values are set to 0. Returns how many
// numbers were read.
std::size_t scanNumbers(std::string_view text, std::int32_t* values, std::size_t count);

}  // namespace voxloom
