#pragma once

#include <string>
#include <string_view>

namespace voxloom {

// Texts from files: valid UTF-8 is kept, anything else is taken as Windows-1252 (files
// written on Windows) and converted to UTF-8.
std::string fileTextToUtf8(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);
// Length of the valid UTF-8 sequence at byte `at` of `bytes`, or 0 when none starts there.
std::size_t utf8SequenceLength(std::string_view bytes, std::size_t at);
// `bytes` with every byte that starts no valid UTF-8 sequence shown as '?', as a
// terminal should get a text that came from a file.
std::string replaceInvalidUtf8(std::string_view bytes);
// Cuts a UTF-8 text to at most `maxBytes` bytes without splitting a character.
std::string cutUtf8(std::string_view text, std::size_t maxBytes);

}  // namespace voxloom
