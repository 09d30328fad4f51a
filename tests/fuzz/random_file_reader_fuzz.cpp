// libFuzzer target: any byte string as a random source file, read block by block from
// memory in both forms, with chunk sizes the input chooses.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/random/random_file_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t chunk = 1 + data[0] % 97;
  const char* file = reinterpret_cast<const char*>(data + 1);
  const std::size_t length = size - 1;
  std::vector<std::int16_t> out(1 + data[0] % 64);
  for (const bool text : {true, false}) {
    std::size_t offset = 0;
    std::int32_t line = 0;
    for (int blocks = 0; blocks < 1000 && offset < length; ++blocks) {
      std::size_t pos = offset;
      const voxloom::ChunkRead read = [&](char* buffer, std::size_t want) {
        const std::size_t n = std::min({want, chunk, length - pos});
        std::memcpy(buffer, file + pos, n);
        pos += n;
        return n;
      };
      const voxloom::FileBatch b =
          text ? voxloom::readTextBatch(read, out, line) : voxloom::readBinaryBatch(read, out);
      if (b.count > static_cast<int>(out.size()) || b.count < -1) __builtin_trap();
      if (b.consumed < 0 || offset + static_cast<std::size_t>(b.consumed) > length)
        __builtin_trap();
      if (b.count == -1) {
        if (b.reason.empty() || b.reason.size() > 200) __builtin_trap();
        break;
      }
      if (b.consumed == 0) break;  // nothing more in this file
      offset += static_cast<std::size_t>(b.consumed);
    }
  }
  return 0;
}
