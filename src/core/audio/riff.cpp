#include "core/audio/riff.h"

#include <cstdint>
#include <limits>

#include "core/util/little_endian.h"

namespace voxloom {

std::uint32_t fourCC(std::string_view text) {
  std::uint32_t code = 0;
  for (int i = 0; i < 4; ++i) {
    const auto c = i < static_cast<int>(text.size()) ? static_cast<std::uint8_t>(text[i])
                                                     : static_cast<std::uint8_t>(' ');
    code |= static_cast<std::uint32_t>(c) << (8 * i);
  }
  return code;
}

std::string fourCCText(std::uint32_t code) {
  std::string text;
  for (int i = 0; i < 4; ++i) text.push_back(static_cast<char>((code >> (8 * i)) & 0xFF));
  while (!text.empty() && static_cast<std::uint8_t>(text.back()) <= 32) text.pop_back();
  return text;
}

std::string riffErrorText(std::string_view name) {
  return "Cannot find '" + std::string(name) + "' chunk.";
}

namespace {

struct Header {
  std::uint32_t code = 0;
  std::uint32_t size = 0;
  std::uint32_t listType = 0;
  bool complete = false;
};

Header readHeader(ByteStream& stream, int length) {
  std::uint8_t b[12] = {};
  Header h;
  h.complete = stream.read(b, static_cast<std::size_t>(length)) == static_cast<std::size_t>(length);
  h.code = getLe32(b);
  h.size = getLe32(b + 4);
  h.listType = getLe32(b + 8);
  return h;
}

}  // namespace

bool descendChunk(ByteStream& stream, ChunkInfo& chunk, const ChunkInfo* parent) {
  const std::uint32_t riff = fourCC("RIFF");
  const std::uint32_t list = fourCC("LIST");
  const std::int64_t headerLength = (chunk.id == riff || chunk.id == list) ? 12 : 8;
  const std::int64_t limit = parent != nullptr ? static_cast<std::int64_t>(parent->dataOffset) +
                                                     parent->size - stream.tell()
                                               : std::numeric_limits<std::int32_t>::max();
  std::int64_t consumed = 0;

  while (headerLength + consumed <= limit) {
    const std::int64_t headerStart = stream.tell();
    Header h = readHeader(stream, static_cast<int>(headerLength));
    if (!h.complete) return false;
    if ((h.code & 0xFF) == 0) {
      // A pad byte after an odd-sized chunk: the header really starts one byte later.
      if (headerLength + consumed + 1 > limit) return false;
      if (!stream.seek(headerStart + 1)) return false;
      h = readHeader(stream, static_cast<int>(headerLength));
      if (!h.complete) return false;
      ++consumed;
    }
    if (h.code == chunk.id) {
      chunk.size = h.size;
      chunk.listType = headerLength == 12 ? h.listType : 0;
      chunk.dataOffset = static_cast<std::uint32_t>(stream.tell() - (headerLength == 12 ? 4 : 0));
      return true;
    }
    if (h.size == 0) return false;
    const std::int64_t skip = static_cast<std::int64_t>(h.size) - (headerLength == 12 ? 4 : 0);
    if (headerLength + consumed + skip > limit || !stream.skip(skip)) return false;
    consumed += headerLength + skip;
  }
  return false;
}

bool ascendChunk(ByteStream& stream, const ChunkInfo& chunk) {
  return !stream.seek(static_cast<std::int64_t>(chunk.dataOffset) + chunk.size);
}

}  // namespace voxloom
