#pragma once

#include <string>
#include <string_view>

namespace voxloom {

// `text` as a quoted JSON string. Bytes that are not UTF-8 become lone low surrogates
// \udcXX, as Python's surrogateescape reads them back.
std::string jsonQuote(std::string_view text);

}  // namespace voxloom
