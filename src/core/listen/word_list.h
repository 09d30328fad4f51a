#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace voxloom {

// A word list is a few lines a person typed; a megabyte is far beyond any.
inline constexpr std::size_t kMaxWordListBytes = std::size_t{1} << 20;

// A list of words to listen for: one word or phrase a line. A byte order mark, CR-LF
// line ends, blank lines, lines starting with '#' (comments) and blanks around or
// between words are allowed; phrases come back in lower case with single spaces, each
// once, in the order first seen.
std::vector<std::string> parseWordList(std::string_view text);

// The word a recogniser's token stands for: fillers and silences ("<s>", "<sil>",
// "[NOISE]", "++BREATH++") give an empty string, and an alternate pronunciation's
// marker ("read(2)") is dropped.
std::string spokenWord(std::string_view token);

}  // namespace voxloom
