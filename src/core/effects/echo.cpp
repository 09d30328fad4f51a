#include "core/effects/echo.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/effects/pcm_codec.h"

namespace voxloom {
namespace {

// The echo term sample x decay / 100 depends only on the stored sample, so it is
// looked up instead of divided per sample. Terms are kept within +-65536: any larger
// one saturates the sum anyway, and the bound keeps the sum from overflowing for
// decays beyond the dialog's range.
template <class Codec>
std::vector<std::int32_t> echoTerms(int decayPercent) {
  std::vector<std::int32_t> terms(Codec::kRawValues);
  for (unsigned raw = 0; raw < static_cast<unsigned>(Codec::kRawValues); ++raw) {
    const std::int64_t term = static_cast<std::int64_t>(Codec::value(raw)) * decayPercent / 100;
    terms[raw] = static_cast<std::int32_t>(std::clamp<std::int64_t>(term, -65536, 65536));
  }
  return terms;
}

// Samples from `start` on, one at a time.
template <class Codec>
void echoFrom(std::int64_t start, std::uint8_t* data, std::int64_t samples, std::int64_t distance,
              int decayPercent) {
  if (start >= samples) return;
  const std::vector<std::int32_t> terms = echoTerms<Codec>(decayPercent);
  const std::int32_t* term = terms.data();
  // Forward and in place: the sample `distance` back has already received its echo.
  for (std::int64_t n = start; n < samples; ++n) {
    const int sum = Codec::read(data, n) + term[Codec::raw(data, n - distance)];
    Codec::write(data, n, sum);
  }
}

#if defined(__SSE2__)
// 16-bit samples, eight at a time, with the echo at least eight samples back so that a
// step never reads what it writes. sample x decay / 100 is estimated by a 16-bit
// fixed-point product, one step short at most, and the remainder corrects it; the sum
// saturates like putSample.
std::int64_t echoSse2(std::uint8_t* data, std::int64_t samples, std::int64_t distance,
                      int decayPercent) {
  const int scale = std::min(decayPercent * 65536 / 100, 65535);
  const __m128i m = _mm_set1_epi16(static_cast<short>(scale));
  const __m128i decay = _mm_set1_epi16(static_cast<short>(decayPercent));
  const __m128i hundred = _mm_set1_epi16(100);
  const __m128i ninetyNine = _mm_set1_epi16(99);
  std::int64_t n = distance;
  for (; n + 8 <= samples; n += 8) {
    auto* at = reinterpret_cast<__m128i*>(data + 2 * n);
    const __m128i earlier =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 2 * (n - distance)));
    const __m128i sign = _mm_srai_epi16(earlier, 15);
    const __m128i magnitude =
        _mm_sub_epi16(_mm_xor_si128(earlier, sign), sign);  // -32768 -> 0x8000
    __m128i q = _mm_mulhi_epu16(magnitude, m);
    const __m128i r = _mm_sub_epi16(_mm_mullo_epi16(magnitude, decay), _mm_mullo_epi16(q, hundred));
    q = _mm_sub_epi16(q, _mm_cmpgt_epi16(r, ninetyNine));
    const __m128i term = _mm_sub_epi16(_mm_xor_si128(q, sign), sign);
    _mm_storeu_si128(at, _mm_adds_epi16(_mm_loadu_si128(at), term));
  }
  return n;
}
#endif

}  // namespace

Frames echoDelayFrames(const AudioDocument& doc, int delayMs) {
  const std::int64_t frames = static_cast<std::int64_t>(doc.nominalRate) * delayMs / 1000;
  return static_cast<Frames>(
      std::clamp<std::int64_t>(frames, 0, std::max<Frames>(doc.frameCount, 0)));
}

EffectResult addEcho(AudioDocument& doc, int delayMs, int decayPercent) {
  if (!pcm::isEditable(doc)) return {};
  const Frames delay = echoDelayFrames(doc, delayMs);
  const int channels = pcm::channelsOf(doc);
  const std::int64_t samples = static_cast<std::int64_t>(doc.frameCount) * channels;
  const std::int64_t distance = static_cast<std::int64_t>(delay) * channels;
  std::uint8_t* data = doc.samples.get();
  std::int64_t start = distance;
  if (doc.format.bitsPerSample == 8) {
    echoFrom<pcm::Pcm8>(start, data, samples, distance, decayPercent);
  } else {
#if defined(__SSE2__)
    if (distance >= 8 && decayPercent >= 0 && decayPercent <= 100) {
      start = echoSse2(data, samples, distance, decayPercent);
    }
#endif
    echoFrom<pcm::Pcm16>(start, data, samples, distance, decayPercent);
  }
  doc.markModified();
  return {true};
}

}  // namespace voxloom
