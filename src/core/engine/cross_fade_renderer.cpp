#include "core/engine/cross_fade_renderer.h"

#include <algorithm>
#include <cstring>

#include "core/engine/cross_fade.h"
#include "core/util/little_endian.h"

namespace voxloom {
namespace {

// Longer blocks compute their gains chunk by chunk instead of caching a table.
constexpr Frames kCachedLengthLimit = 1 << 16;
constexpr Frames kChunk = 4096;

// Frames i of a block whose signal frame base + i lies inside the signal.
struct ValidRange {
  Frames first = 0;
  Frames end = 0;
  bool contains(Frames i) const { return i >= first && i < end; }
  bool covers(Frames from, Frames to) const { return first <= from && to <= end; }
};

ValidRange validRange(Frames base, Frames length, Frames frameCount) {
  const std::int64_t first = std::max<std::int64_t>(0, -static_cast<std::int64_t>(base));
  const std::int64_t end =
      std::min<std::int64_t>(length, static_cast<std::int64_t>(frameCount) - base);
  if (end <= first) return {};
  return {static_cast<Frames>(first), static_cast<Frames>(end)};
}

template <int Bits>
int readSample(const std::uint8_t* p) {
  if constexpr (Bits == 16) {
    return static_cast<std::int16_t>(getLe16(p));
  } else {
    return static_cast<int>(*p) - 128;
  }
}

template <int Bits>
void writeSample(std::uint8_t* p, int value) {
  if constexpr (Bits == 16) {
    putLe16(p, static_cast<std::uint16_t>(std::clamp(value, -32768, 32767)));
  } else {
    *p = static_cast<std::uint8_t>(std::clamp(value, -128, 127) + 128);
  }
}

// Position of frame i in the block; a one-frame block is its own end, so it plays the
// new segment at full level.
inline double positionOf(Frames i, Frames length) {
  return length > 1 ? static_cast<double>(i) / static_cast<double>(length - 1) : 1.0;
}

void fillGains(int mode, Frames length, Frames first, Frames count, double* in, double* out) {
  for (Frames k = 0; k < count; ++k) {
    const FadeGains g = fadeGains(mode, positionOf(first + k, length));
    in[k] = g.gainIn;
    out[k] = g.gainOut;
  }
}

struct Job {
  const std::uint8_t* signal;
  std::uint8_t* out;
  std::ptrdiff_t inBase;   // byte offsets, not pointers: a start outside the signal
  std::ptrdiff_t outBase;  // must not form a pointer
  std::ptrdiff_t channelOffset;
  Bytes frameBytes;
  ValidRange in;
  ValidRange fade;  // empty without an outgoing part
};

// Frames [first, first + count) with their gains. Each product is truncated on its own
// before the sum saturates.
template <int Bits, int Channels, bool Checked, bool HasOut>
void renderSpan(const Job& job, Frames first, Frames count, const double* gIn, const double* gOut) {
  for (Frames k = 0; k < count; ++k) {
    const Frames i = first + k;
    const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(i) * job.frameBytes;
    for (int c = 0; c < Channels; ++c) {
      const std::ptrdiff_t channel = offset + c * job.channelOffset;
      int value = 0;
      if (!Checked || job.in.contains(i)) {
        value = static_cast<int>(readSample<Bits>(job.signal + job.inBase + channel) * gIn[k]);
      }
      if (HasOut && (!Checked || job.fade.contains(i))) {
        value += static_cast<int>(readSample<Bits>(job.signal + job.outBase + channel) * gOut[k]);
      }
      writeSample<Bits>(job.out + channel, value);
    }
  }
}

template <int Bits, int Channels>
void renderChunk(const Job& job, bool hasOut, Frames first, Frames count, const double* gIn,
                 const double* gOut) {
  const Frames end = first + count;
  if (job.in.covers(first, end) && !hasOut) {
    renderSpan<Bits, Channels, false, false>(job, first, count, gIn, gOut);
  } else if (job.in.covers(first, end) && job.fade.covers(first, end)) {
    renderSpan<Bits, Channels, false, true>(job, first, count, gIn, gOut);
  } else {
    renderSpan<Bits, Channels, true, true>(job, first, count, gIn, gOut);
  }
}

template <int Bits, int Channels>
void renderFrames(const Job& job, bool hasOut, Frames length, int mode, GainTable& cache) {
  if (length <= kCachedLengthLimit) {
    if (cache.mode != mode || cache.length != length) {
      cache.gainIn.resize(static_cast<std::size_t>(length));
      cache.gainOut.resize(static_cast<std::size_t>(length));
      fillGains(mode, length, 0, length, cache.gainIn.data(), cache.gainOut.data());
      cache.mode = mode;
      cache.length = length;
    }
    renderChunk<Bits, Channels>(job, hasOut, 0, length, cache.gainIn.data(), cache.gainOut.data());
    return;
  }
  std::vector<double> gIn(kChunk);
  std::vector<double> gOut(kChunk);
  for (Frames first = 0; first < length; first += kChunk) {
    const Frames count = std::min(kChunk, length - first);
    fillGains(mode, length, first, count, gIn.data(), gOut.data());
    renderChunk<Bits, Channels>(job, hasOut, first, count, gIn.data(), gOut.data());
  }
}

}  // namespace

const std::uint8_t* renderCrossFade(RendererState& state, const AudioDocument& doc, int slot,
                                    Frames& start, Frames length) {
  if (slot < 0 || slot >= kRenderSlots) return nullptr;
  length = std::max(length, 0);
  const Bytes frameBytes = doc.frameBytes;
  const std::size_t bytes = static_cast<std::size_t>(length) * static_cast<std::size_t>(frameBytes);
  auto& buffer = state.renderBuffers[static_cast<std::size_t>(slot)];
  buffer.reset();
  buffer = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);

  const int channels = doc.format.channels >= 2 ? 2 : 1;
  const int bits = doc.format.bitsPerSample;
  const bool readable =
      doc.samples && (bits == 8 || bits == 16) && frameBytes >= channels * bits / 8;
  if (!readable || frameBytes != channels * bits / 8) {
    // Widths the document cannot read, or padded frames: silence where nothing is written.
    std::memset(buffer.get(), 0, bytes);
  }
  if (readable && length > 0) {
    const bool hasOut = state.prevEnd != -1;
    const Job job{doc.samples.get(),
                  buffer.get(),
                  static_cast<std::ptrdiff_t>(start) * frameBytes,
                  static_cast<std::ptrdiff_t>(state.prevEnd) * frameBytes,
                  frameBytes / 2,
                  frameBytes,
                  validRange(start, length, doc.frameCount),
                  hasOut ? validRange(state.prevEnd, length, doc.frameCount) : ValidRange{}};
    const int mode = state.fadeMode;
    if (bits == 16) {
      channels == 2 ? renderFrames<16, 2>(job, hasOut, length, mode, state.gainCache)
                    : renderFrames<16, 1>(job, hasOut, length, mode, state.gainCache);
    } else {
      channels == 2 ? renderFrames<8, 2>(job, hasOut, length, mode, state.gainCache)
                    : renderFrames<8, 1>(job, hasOut, length, mode, state.gainCache);
    }
  }
  state.prevEnd = start + length;
  start = 0;
  return buffer.get();
}

}  // namespace voxloom
