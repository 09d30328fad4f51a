// libFuzzer target: any byte string through the WAV reader, from memory.
#include <cstddef>
#include <cstdint>

#include "core/audio/byte_stream.h"
#include "core/audio/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  voxloom::AudioDocument doc;
  voxloom::ByteStream stream = voxloom::ByteStream::fromMemory({data, size});
  voxloom::loadWav(stream, doc, "fuzz.wav");
  // Whatever was accepted must be self-consistent.
  if (doc.isLoaded && static_cast<std::int64_t>(doc.frameCount) * doc.frameBytes > doc.dataBytes)
    __builtin_trap();
  return 0;
}
