#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/random/random_batch.h"
#include "core/random/random_source.h"

namespace voxloom {

// Hands out the next chunk of a file: fills buffer with up to size bytes and returns how
// many, 0 at the end. Lets the reader run on a file or, for tests and fuzzing, on memory.
using ChunkRead = std::function<std::size_t(char* buffer, std::size_t size)>;

struct FileBatch {
  int count = 0;              // values stored, or -1 when a line was refused
  std::int64_t consumed = 0;  // bytes of the file this block took, from where it began
  std::string reason;         // why the line was refused
};

// One block of the text form: up to out.size() numbers, one a line, ended by an empty
// line or the end of the input; ";" lines are comments. `line` counts the lines read
// (comments too, not the empty line that ends the block). A line is never held whole:
// one far too long to be a number is refused after its first bytes.
FileBatch readTextBatch(const ChunkRead& read, std::span<std::int16_t> out, std::int32_t& line);
// One block of the raw form: little-endian 16-bit values; a trailing odd byte is unused.
FileBatch readBinaryBatch(const ChunkRead& read, std::span<std::int16_t> out);

// Whether the path names the text form: its extension is ".txt" exactly.
bool isTextRandomFile(const std::string& path);

// Refills the batch from the random source file `path` so that at least `need` values
// are there, from the start again at its end when `loop`; `line` counts the lines of the
// text form. False after the failure was reported (the stop request is set then).
bool refillFromFile(RandomBatch& batch, const std::string& path, bool loop, std::int32_t& line,
                    SourceHost& host, int need);

// The next value of the 16-bit batch (sound card, file) as a draw 0..n-1: one sample, or
// 32 folded into a word when the conversion is on. The batch holds enough.
// `previousTrend` carries the fold's state from one word to the next.
RawDraw takeSample16(RandomBatch& batch, bool convert, std::int32_t& previousTrend, std::int32_t n);

// The message texts of the file source.
std::string cannotOpenRandomFileText(const std::string& path);
std::string cannotReadRandomFileText(const std::string& path);
std::string randomFileLineErrorText(std::int32_t line, const std::string& reason);
inline constexpr const char* kEndOfRandomFileText =
    "End of random source file. Playback has been stopped.\n\nTip: To enable automatic "
    "restart, check 'Preferences > Random source > Loop file'.";

}  // namespace voxloom
