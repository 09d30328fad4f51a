#include "core/effects/normalize.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/effects/pcm_codec.h"

namespace voxloom {
namespace {

std::int64_t sampleCount(const AudioDocument& doc) {
  return static_cast<std::int64_t>(doc.frameCount) * pcm::channelsOf(doc);
}

struct Range {
  int lo;
  int hi;
  std::int64_t done;  // samples examined
};

#if defined(__SSE2__)
Range rangeSse2(const std::uint8_t* data, std::int64_t samples) {
  const auto* at = reinterpret_cast<const __m128i*>(data);
  __m128i lo = _mm_set1_epi16(32767);
  __m128i hi = _mm_set1_epi16(-32768);
  std::int64_t n = 0;
  for (; n + 8 <= samples; n += 8, ++at) {
    const __m128i v = _mm_loadu_si128(at);
    lo = _mm_min_epi16(lo, v);
    hi = _mm_max_epi16(hi, v);
  }
  alignas(16) std::int16_t los[8];
  alignas(16) std::int16_t his[8];
  _mm_store_si128(reinterpret_cast<__m128i*>(los), lo);
  _mm_store_si128(reinterpret_cast<__m128i*>(his), hi);
  return {*std::min_element(los, los + 8), *std::max_element(his, his + 8), n};
}

// sample x 32767 / peak, eight at a time, exact: with k = 32767 / peak and rem the
// remainder, the quotient of |sample| is |sample| x k plus |sample| x rem / peak; that
// second part is estimated by a 16-bit fixed-point product, one step short at most,
// and the remainder corrects it. |sample| <= peak keeps every value within 16 bits.
std::int64_t scaleSse2(std::uint8_t* data, std::int64_t samples, int peak) {
  constexpr int target = 32767;
  const int k = target / peak;
  const int rem = target - k * peak;
  const int scale = static_cast<int>(static_cast<std::int64_t>(rem) * 65536 / peak);
  const __m128i kv = _mm_set1_epi16(static_cast<short>(k));
  const __m128i remv = _mm_set1_epi16(static_cast<short>(rem));
  const __m128i m = _mm_set1_epi16(static_cast<short>(scale));
  const __m128i peakv = _mm_set1_epi16(static_cast<short>(peak));
  const __m128i peakLess1 = _mm_set1_epi16(static_cast<short>(peak - 1));
  const __m128i one = _mm_set1_epi16(1);
  std::int64_t n = 0;
  for (; n + 8 <= samples; n += 8) {
    auto* at = reinterpret_cast<__m128i*>(data + 2 * n);
    const __m128i v = _mm_loadu_si128(at);
    const __m128i sign = _mm_srai_epi16(v, 15);
    const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(v, sign), sign);  // -32768 -> 0x8000
    __m128i part = _mm_mulhi_epu16(magnitude, m);
    const __m128i r = _mm_sub_epi16(_mm_mullo_epi16(magnitude, remv), _mm_mullo_epi16(part, peakv));
    const __m128i below = _mm_cmpeq_epi16(_mm_subs_epu16(r, peakLess1), _mm_setzero_si128());
    part = _mm_add_epi16(part, _mm_andnot_si128(below, one));
    const __m128i q = _mm_add_epi16(_mm_mullo_epi16(magnitude, kv), part);
    _mm_storeu_si128(at, _mm_sub_epi16(_mm_xor_si128(q, sign), sign));
  }
  return n;
}
#endif

template <class Codec>
int peakOf(const std::uint8_t* data, std::int64_t samples) {
  if (samples == 0) return 0;
  int lo = Codec::read(data, 0);
  int hi = lo;
  std::int64_t n = 1;
#if defined(__SSE2__)
  if constexpr (Codec::kBytes == 2) {
    const Range fast = rangeSse2(data, samples);
    lo = std::min(lo, fast.lo);
    hi = std::max(hi, fast.hi);
    n = std::max<std::int64_t>(fast.done, 1);
  }
#endif
  for (; n < samples; ++n) {
    const int v = Codec::read(data, n);
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  return -lo < hi ? hi : -lo;
}

// Every stored value maps to one result, so the per-sample division is done once per
// possible value and looked up.
template <class Codec>
void scaleInPlace(std::uint8_t* data, std::int64_t samples, int peak) {
  constexpr int target = Codec::kFullScale - 1;
  std::int64_t start = 0;
#if defined(__SSE2__)
  if constexpr (Codec::kBytes == 2) start = scaleSse2(data, samples, peak);
#endif
  if (start >= samples) return;
  std::vector<std::uint16_t> scaled(Codec::kRawValues);
  for (unsigned raw = 0; raw < static_cast<unsigned>(Codec::kRawValues); ++raw) {
    scaled[raw] = static_cast<std::uint16_t>(Codec::rawOf(Codec::value(raw) * target / peak));
  }
  const std::uint16_t* table = scaled.data();
  for (std::int64_t n = start; n < samples; ++n) {
    Codec::writeRaw(data, n, table[Codec::raw(data, n)]);
  }
}

}  // namespace

int signalPeak(const AudioDocument& doc) {
  if (!pcm::isEditable(doc)) return 0;
  return pcm::withCodec(doc, [&](auto codec) {
    return peakOf<decltype(codec)>(doc.samples.get(), sampleCount(doc));
  });
}

EffectResult normalizeSignal(AudioDocument& doc) {
  const int peak = signalPeak(doc);
  if (peak == 0) return {};
  pcm::withCodec(doc, [&](auto codec) {
    scaleInPlace<decltype(codec)>(doc.samples.get(), sampleCount(doc), peak);
  });
  doc.markModified();
  return {true};
}

}  // namespace voxloom
