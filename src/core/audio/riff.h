#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/audio/byte_stream.h"

namespace voxloom {

// Four-character codes, first character in the lowest byte (file order).
std::uint32_t fourCC(std::string_view text);
// The code's four characters with trailing characters of code 32 or below removed.
std::string fourCCText(std::uint32_t code);

struct ChunkInfo {
  std::uint32_t id = 0;          // wanted code, set before the search
  std::uint32_t size = 0;        // the size field as read
  std::uint32_t listType = 0;    // RIFF and LIST only
  std::uint32_t dataOffset = 0;  // RIFF and LIST: points at the list type
};

// Searches forward from the current position for the next chunk with code `chunk.id`,
// within `parent` or, without one, up to the largest signed 32-bit offset. On success
// the stream stands at the chunk's data (after the list type for RIFF and LIST).
bool descendChunk(ByteStream& stream, ChunkInfo& chunk, const ChunkInfo* parent);
// Moves to the first byte after the chunk's data (no rounding to an even position).
// Returns true when that failed.
bool ascendChunk(ByteStream& stream, const ChunkInfo& chunk);

// "Cannot find 'fmt' chunk." with the name as the caller gives it.
std::string riffErrorText(std::string_view name);
inline constexpr const char* kRiffErrorTitle = "Error in RIFF file";

}  // namespace voxloom
