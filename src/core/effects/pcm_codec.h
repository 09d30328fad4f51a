#pragma once

#include <algorithm>
#include <cstdint>

#include "core/audio/audio_document.h"
#include "core/util/little_endian.h"

// Sample access for the effects' inner loops. The conversions are the document's
// sampleAt/putSample (offset 8-bit, signed little-endian 16-bit, saturating writes),
// inlined and addressed by a flat sample index: channels are independent and
// interleaved, so one channel's sample a frame earlier is `channels` samples back.
namespace voxloom::pcm {

struct Pcm8 {
  static constexpr int kBytes = 1;
  static constexpr int kFullScale = 128;
  static constexpr int kRawValues = 256;
  static unsigned raw(const std::uint8_t* data, std::int64_t n) { return data[n]; }
  static int value(unsigned raw) { return static_cast<int>(raw) - 128; }
  static int read(const std::uint8_t* data, std::int64_t n) { return value(raw(data, n)); }
  static unsigned rawOf(int v) { return static_cast<unsigned>(std::clamp(v, -128, 127) + 128); }
  static void writeRaw(std::uint8_t* data, std::int64_t n, unsigned raw) {
    data[n] = static_cast<std::uint8_t>(raw);
  }
  static void write(std::uint8_t* data, std::int64_t n, int v) { writeRaw(data, n, rawOf(v)); }
};

struct Pcm16 {
  static constexpr int kBytes = 2;
  static constexpr int kFullScale = 32768;
  static constexpr int kRawValues = 65536;
  static unsigned raw(const std::uint8_t* data, std::int64_t n) { return getLe16(data + 2 * n); }
  static int value(unsigned raw) { return static_cast<std::int16_t>(raw); }
  static int read(const std::uint8_t* data, std::int64_t n) { return value(raw(data, n)); }
  static unsigned rawOf(int v) {
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(v, -32768, 32767)));
  }
  static void writeRaw(std::uint8_t* data, std::int64_t n, unsigned raw) {
    putLe16(data + 2 * n, static_cast<std::uint16_t>(raw));
  }
  static void write(std::uint8_t* data, std::int64_t n, int v) { writeRaw(data, n, rawOf(v)); }
};

// Samples per frame as the interleaved layout has them.
inline int channelsOf(const AudioDocument& doc) {
  return doc.frameBytes / (doc.format.bitsPerSample / 8);
}

// Whether the effects can work on the document: loaded, mono or stereo frames of 8- or
// 16-bit samples. Other widths read as silence and write nothing, so there is nothing
// an effect could change.
inline bool isEditable(const AudioDocument& doc) {
  const int bits = doc.format.bitsPerSample;
  if (!doc.isLoaded || !doc.samples || (bits != 8 && bits != 16)) return false;
  const int channels = doc.frameBytes / (bits / 8);
  return (channels == 1 || channels == 2) && doc.frameBytes == channels * (bits / 8) &&
         doc.frameCount >= 0 &&
         static_cast<std::int64_t>(doc.frameCount) * doc.frameBytes <= doc.dataBytes;
}

// Calls f(Pcm8{}) or f(Pcm16{}) for the document's width (isEditable() checked first).
template <class F>
decltype(auto) withCodec(const AudioDocument& doc, F&& f) {
  if (doc.format.bitsPerSample == 8) return f(Pcm8{});
  return f(Pcm16{});
}

}  // namespace voxloom::pcm
