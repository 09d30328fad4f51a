#include "core/engine/cross_fade_renderer.h"

#include <algorithm>
#include <cstring>

#include "core/engine/cross_fade.h"
#include "core/util/little_endian.h"

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VOXLOOM_RENDER_SSE2 1
#if defined(__GNUC__) || defined(__clang__)
// AVX2 is not in the x86-64 baseline: its functions are compiled for it one by one and
// only called when the CPU reports it.
#define VOXLOOM_RENDER_AVX2 1
#define VOXLOOM_TARGET_AVX2 __attribute__((target("avx2")))
#endif
#endif

namespace voxloom {
namespace {

// Longer blocks compute their gains chunk by chunk instead of caching a table.
constexpr Frames kCachedLengthLimit = 1 << 16;
constexpr Frames kChunk = 4096;

// Positions inside a block and in the signal are reckoned in 64 bits: a block can be as
// long as the signal and start anywhere a damaged session says, and their sum must not
// wrap.
using Position = std::int64_t;

// Frames i of a block whose signal frame base + i lies inside the signal.
struct ValidRange {
  Position first = 0;
  Position end = 0;
  bool covers(Position from, Position to) const { return first <= from && to <= end; }
};

ValidRange validRange(Position base, Position length, Position frameCount) {
  const Position first = std::max<Position>(0, -base);
  const Position end = std::min<Position>(length, frameCount - base);
  if (end <= first) return {};
  return {first, end};
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
inline double positionOf(Position i, Position length) {
  return length > 1 ? static_cast<double>(i) / static_cast<double>(length - 1) : 1.0;
}

// One gain per sample, repeated for each channel of a frame, so the vector paths load
// them as they are.
void fillGains(int mode, Position length, Position first, Frames count, int channels, double* in,
               double* out) {
  for (Frames k = 0; k < count; ++k) {
    const FadeGains g = fadeGains(mode, positionOf(first + k, length));
    for (int c = 0; c < channels; ++c) {
      in[k * channels + c] = g.gainIn;
      out[k * channels + c] = g.gainOut;
    }
  }
}

// One run of frames whose reads all lie inside the signal (or are all skipped).
// Channel c of frame k is at byte k * frameBytes + c * channelOffset of each pointer.
struct Span {
  const std::uint8_t* in;   // null: the new segment is outside the signal here
  const std::uint8_t* out;  // null: no outgoing part here
  std::uint8_t* dst;
  const double* gIn;  // gains of the span's first sample on
  const double* gOut;
  Frames count;
  std::ptrdiff_t frameBytes;
  std::ptrdiff_t channelOffset;
};

// The reference arithmetic: each product truncated toward zero on its own, the sum
// saturated. The vector paths below must give exactly these bytes.
template <int Bits, int Channels, bool HasIn, bool HasOut>
void mixScalar(const Span& s, Frames from) {
  for (Frames k = from; k < s.count; ++k) {
    const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(k) * s.frameBytes;
    for (int c = 0; c < Channels; ++c) {
      const std::ptrdiff_t at = offset + c * s.channelOffset;
      int value = 0;
      const Frames g = k * Channels + c;
      if constexpr (HasIn) value = static_cast<int>(readSample<Bits>(s.in + at) * s.gIn[g]);
      if constexpr (HasOut) value += static_cast<int>(readSample<Bits>(s.out + at) * s.gOut[g]);
      writeSample<Bits>(s.dst + at, value);
    }
  }
}

#if VOXLOOM_RENDER_SSE2

// The vector paths take packed frames (channels interleaved, no padding) eight samples
// at a time: int -> double, multiply by the frame's gain, truncate (cvttpd), add the two
// parts as ints and saturate with the signed packs. Products stay within +-32768 since
// every gain is within [-1e-5, 1], so cvttpd never sees its out-of-range case.
//
// The SSE2 and AVX2 paths differ only in how they widen four samples and scale them.

struct Sse2 {
  template <int Bits>
  static __m128i load(const std::uint8_t* p) {
    if constexpr (Bits == 16) {
      const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
      return _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
    } else {
      int word;
      std::memcpy(&word, p, sizeof word);
      const __m128i zero = _mm_setzero_si128();
      const __m128i v = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
      return _mm_sub_epi32(v, _mm_set1_epi32(128));
    }
  }

  // Four samples with their gains.
  static __m128i scale(__m128i v, const double* g) {
    const __m128d a = _mm_loadu_pd(g);
    const __m128d b = _mm_loadu_pd(g + 2);
    const __m128i lo = _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtepi32_pd(v), a));
    const __m128i hi = _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(v, 0xEE)), b));
    return _mm_unpacklo_epi64(lo, hi);
  }
};

template <int Bits>
void storeSse2(std::uint8_t* p, __m128i first, __m128i second) {
  const __m128i words = _mm_packs_epi32(first, second);
  if constexpr (Bits == 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), words);
  } else {
    const __m128i bytes = _mm_packs_epi16(words, words);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_xor_si128(bytes, _mm_set1_epi8(-128)));
  }
}

// Returns the frames done; the caller finishes the rest with mixScalar. Always inlined:
// the caller's target (AVX2 for that path) is what the loop is compiled for.
template <class Isa, int Bits, int Channels, bool HasIn, bool HasOut>
[[gnu::always_inline]] inline Frames mixPacked(const Span& s) {
  constexpr int kSampleBytes = Bits / 8;
  constexpr Frames kGroupFrames = 8 / Channels;
  const Frames groups = s.count / kGroupFrames;
  // Locals: the stores could alias the span's fields otherwise.
  const std::uint8_t* in = s.in;
  const std::uint8_t* out = s.out;
  std::uint8_t* dst = s.dst;
  const double* gIn = s.gIn;
  const double* gOut = s.gOut;
  for (Frames n = 0; n < groups; ++n) {
    __m128i first = _mm_setzero_si128();
    __m128i second = _mm_setzero_si128();
    if constexpr (HasIn) {
      first = Isa::scale(Isa::template load<Bits>(in), gIn);
      second = Isa::scale(Isa::template load<Bits>(in + 4 * kSampleBytes), gIn + 4);
      in += 8 * kSampleBytes;
    }
    if constexpr (HasOut) {
      first = _mm_add_epi32(first, Isa::scale(Isa::template load<Bits>(out), gOut));
      second = _mm_add_epi32(
          second, Isa::scale(Isa::template load<Bits>(out + 4 * kSampleBytes), gOut + 4));
      out += 8 * kSampleBytes;
    }
    storeSse2<Bits>(dst, first, second);  // packing needs nothing wider
    dst += 8 * kSampleBytes;
    gIn += 8;
    gOut += 8;
  }
  return groups * kGroupFrames;
}

template <int Bits, int Channels, bool HasIn, bool HasOut>
Frames mixSse2(const Span& s) {
  return mixPacked<Sse2, Bits, Channels, HasIn, HasOut>(s);
}

#endif

#if VOXLOOM_RENDER_AVX2

struct Avx2 {
  template <int Bits>
  VOXLOOM_TARGET_AVX2 static __m128i load(const std::uint8_t* p) {
    if constexpr (Bits == 16) {
      return _mm_cvtepi16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    } else {
      int word;
      std::memcpy(&word, p, sizeof word);
      return _mm_sub_epi32(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(word)), _mm_set1_epi32(128));
    }
  }

  VOXLOOM_TARGET_AVX2 static __m128i scale(__m128i v, const double* g) {
    return _mm256_cvttpd_epi32(_mm256_mul_pd(_mm256_cvtepi32_pd(v), _mm256_loadu_pd(g)));
  }
};

template <int Bits, int Channels, bool HasIn, bool HasOut>
VOXLOOM_TARGET_AVX2 Frames mixAvx2(const Span& s) {
  return mixPacked<Avx2, Bits, Channels, HasIn, HasOut>(s);
}

#endif

#if VOXLOOM_RENDER_AVX2
#define VOXLOOM_TARGET_AVX512 __attribute__((target("avx2,avx512f")))

// Eight samples as int32.
template <int Bits>
VOXLOOM_TARGET_AVX512 __m256i load8Avx512(const std::uint8_t* p) {
  if constexpr (Bits == 16) {
    return _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  } else {
    return _mm256_sub_epi32(
        _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))),
        _mm256_set1_epi32(128));
  }
}

VOXLOOM_TARGET_AVX512 inline __m256i scaleAvx512(__m256i v, const double* g) {
  return _mm512_maskz_cvttpd_epi32(
      0xFF, _mm512_mul_pd(_mm512_maskz_cvtepi32_pd(0xFF, v), _mm512_loadu_pd(g)));
}

template <int Bits, bool HasIn, bool HasOut>
VOXLOOM_TARGET_AVX512 Frames mixAvx512(const Span& s, int channels) {
  constexpr int kSampleBytes = Bits / 8;
  const Frames groupFrames = 16 / channels;
  const Frames groups = s.count / groupFrames;
  const std::uint8_t* in = s.in;
  const std::uint8_t* out = s.out;
  std::uint8_t* dst = s.dst;
  const double* gIn = s.gIn;
  const double* gOut = s.gOut;
  for (Frames n = 0; n < groups; ++n) {
    __m256i first = _mm256_setzero_si256();
    __m256i second = _mm256_setzero_si256();
    if constexpr (HasIn) {
      first = scaleAvx512(load8Avx512<Bits>(in), gIn);
      second = scaleAvx512(load8Avx512<Bits>(in + 8 * kSampleBytes), gIn + 8);
      in += 16 * kSampleBytes;
    }
    if constexpr (HasOut) {
      first = _mm256_add_epi32(first, scaleAvx512(load8Avx512<Bits>(out), gOut));
      second = _mm256_add_epi32(second,
                                scaleAvx512(load8Avx512<Bits>(out + 8 * kSampleBytes), gOut + 8));
      out += 16 * kSampleBytes;
    }
    // packs works within 128-bit lanes; the permute puts the eight pairs back in order.
    const __m256i words = _mm256_permute4x64_epi64(_mm256_packs_epi32(first, second), 0xD8);
    if constexpr (Bits == 16) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), words);
    } else {
      const __m128i bytes =
          _mm_packs_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_xor_si128(bytes, _mm_set1_epi8(-128)));
    }
    dst += 16 * kSampleBytes;
    gIn += 16;
    gOut += 16;
  }
  return groups * groupFrames;
}
#endif

template <int Bits, int Channels, bool HasIn, bool HasOut>
void mixSpan(const Span& s, RenderPath path, bool packed) {
  static_cast<void>(path);  // unused where only the scalar path is built
  Frames done = 0;
  if (packed) {
#if VOXLOOM_RENDER_AVX2
    if (path == RenderPath::Avx2) done = mixAvx2<Bits, Channels, HasIn, HasOut>(s);
    if (path == RenderPath::Avx512) done = mixAvx512<Bits, HasIn, HasOut>(s, Channels);
#endif
#if VOXLOOM_RENDER_SSE2
    if (path == RenderPath::Sse2) done = mixSse2<Bits, Channels, HasIn, HasOut>(s);
#endif
  }
  mixScalar<Bits, Channels, HasIn, HasOut>(s, done);
}

template <int Bits, int Channels>
void mixSpan(const Span& s, RenderPath path, bool packed) {
  if (s.in != nullptr && s.out != nullptr) {
    mixSpan<Bits, Channels, true, true>(s, path, packed);
  } else if (s.in != nullptr) {
    mixSpan<Bits, Channels, true, false>(s, path, packed);
  } else if (s.out != nullptr) {
    mixSpan<Bits, Channels, false, true>(s, path, packed);
  } else {
    mixSpan<Bits, Channels, false, false>(s, path, packed);
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
  bool hasOut;
  int bits;
  int channels;
  bool packed;  // frames hold nothing but their samples
  RenderPath path;
};

// Frames [first, first + count) with their gains, cut where a read enters or leaves the
// signal so that each piece runs without checks.
void renderChunk(const Job& job, Position first, Frames count, const double* gIn,
                 const double* gOut) {
  const Position end = first + count;
  std::array<Position, 6> cuts{first, end, job.in.first, job.in.end, job.fade.first, job.fade.end};
  for (Position& cut : cuts) cut = std::clamp(cut, first, end);
  std::sort(cuts.begin(), cuts.end());
  for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
    const Position from = cuts[c];
    const Position to = cuts[c + 1];
    if (from == to) continue;
    const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(from) * job.frameBytes;
    const Span span{
        job.in.covers(from, to) ? job.signal + job.inBase + at : nullptr,
        job.hasOut && job.fade.covers(from, to) ? job.signal + job.outBase + at : nullptr,
        job.out + at,
        gIn + (from - first) * job.channels,
        gOut + (from - first) * job.channels,
        static_cast<Frames>(to - from),  // at most one chunk or cached block
        job.frameBytes,
        job.channelOffset};
    if (job.bits == 16) {
      job.channels == 2 ? mixSpan<16, 2>(span, job.path, job.packed)
                        : mixSpan<16, 1>(span, job.path, job.packed);
    } else {
      job.channels == 2 ? mixSpan<8, 2>(span, job.path, job.packed)
                        : mixSpan<8, 1>(span, job.path, job.packed);
    }
  }
}

void renderFrames(const Job& job, Position length, int mode, GainTable& cache) {
  const int channels = job.channels;
  if (length <= kCachedLengthLimit) {
    if (cache.mode != mode || cache.length != length || cache.channels != channels) {
      const auto samples = static_cast<std::size_t>(length) * static_cast<std::size_t>(channels);
      cache.gainIn.resize(samples);
      cache.gainOut.resize(samples);
      fillGains(mode, length, 0, length, channels, cache.gainIn.data(), cache.gainOut.data());
      cache.mode = mode;
      cache.length = length;
      cache.channels = channels;
    }
    renderChunk(job, 0, static_cast<Frames>(length), cache.gainIn.data(), cache.gainOut.data());
    return;
  }
  std::vector<double> gIn(static_cast<std::size_t>(kChunk * channels));
  std::vector<double> gOut(static_cast<std::size_t>(kChunk * channels));
  for (Position first = 0; first < length; first += kChunk) {
    const auto count = static_cast<Frames>(std::min<Position>(kChunk, length - first));
    fillGains(mode, length, first, count, channels, gIn.data(), gOut.data());
    renderChunk(job, first, count, gIn.data(), gOut.data());
  }
}

}  // namespace

RenderPath fastestRenderPath() {
#if VOXLOOM_RENDER_AVX2
  static const bool avx512 = __builtin_cpu_supports("avx512f");
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx512 && avx2) return RenderPath::Avx512;
  if (avx2) return RenderPath::Avx2;
#endif
#if VOXLOOM_RENDER_SSE2
  return RenderPath::Sse2;
#else
  return RenderPath::Scalar;
#endif
}

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
  const bool packed = frameBytes == channels * bits / 8;
  if (!readable || !packed) {
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
                  hasOut ? validRange(state.prevEnd, length, doc.frameCount) : ValidRange{},
                  hasOut,
                  bits,
                  channels,
                  packed,
                  std::min(state.path, fastestRenderPath())};
    renderFrames(job, length, state.fadeMode, state.gainCache);
  }
  state.prevEnd = Position{start} + length;
  start = 0;
  return buffer.get();
}

}  // namespace voxloom
