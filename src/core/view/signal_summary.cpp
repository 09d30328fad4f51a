#include "core/view/signal_summary.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace voxloom {

namespace {

// Frames summarised between two progress reports and cancel checks.
constexpr Frames kChunkFrames = kSummaryBaseFrames * 256;

std::int8_t lowByte(int v) {  // min: the high byte rounded down
  return static_cast<std::int8_t>(v >> 8);
}
std::int8_t highByte(int v) {  // max: the high byte rounded up
  return static_cast<std::int8_t>(std::min((v + 255) >> 8, 127));
}

// Min/max of 16-bit samples [frame, frame + n) per channel; `out` has one entry per channel.
void scan16(const std::uint8_t* data, int channels, Frames n, MinMax* out) {
  int lo[2] = {32767, 32767};
  int hi[2] = {-32768, -32768};
  Frames f = 0;
#if defined(__SSE2__)
  if (channels <= 2) {
    // Eight samples a step: with two channels even lanes are left, odd lanes right.
    const Frames perStep = 8 / channels;
    __m128i vmin = _mm_set1_epi16(32767);
    __m128i vmax = _mm_set1_epi16(-32768);
    for (; f + perStep <= n; f += perStep) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(
          data + static_cast<std::size_t>(f) * 2 * static_cast<unsigned>(channels)));
      vmin = _mm_min_epi16(vmin, v);
      vmax = _mm_max_epi16(vmax, v);
    }
    alignas(16) std::int16_t mins[8];
    alignas(16) std::int16_t maxs[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(mins), vmin);
    _mm_store_si128(reinterpret_cast<__m128i*>(maxs), vmax);
    for (int i = 0; i < 8; ++i) {
      const int c = i % channels;
      lo[c] = std::min<int>(lo[c], mins[i]);
      hi[c] = std::max<int>(hi[c], maxs[i]);
    }
  }
#endif
  for (; f < n; ++f) {
    for (int c = 0; c < channels && c < 2; ++c) {
      const std::uint8_t* p =
          data + (static_cast<std::size_t>(f) * static_cast<unsigned>(channels) +
                  static_cast<unsigned>(c)) *
                     2;
      const int v = static_cast<std::int16_t>(p[0] | (p[1] << 8));
      lo[c] = std::min(lo[c], v);
      hi[c] = std::max(hi[c], v);
    }
  }
  for (int c = 0; c < channels && c < 2; ++c) out[c] = {lowByte(lo[c]), highByte(hi[c])};
}

void scanSource(const SampleSource& s, Frames frame, Frames n, MinMax* out) {
  if (s.bits == 16) {
    scan16(s.data + static_cast<std::size_t>(frame) * 2 * static_cast<unsigned>(s.channels),
           s.channels, n, out);
    return;
  }
  for (int c = 0; c < s.channels; ++c) {
    int lo = 32767;
    int hi = -32768;
    for (Frames f = frame; f < frame + n; ++f) {
      const int v = s.sample(f, c);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    out[c] = {lowByte(lo), highByte(hi)};
  }
}

MinMax merge(MinMax a, MinMax b) {
  return {std::min(a.min, b.min), std::max(a.max, b.max)};
}

// Entries [from, to) of level k from level k - 1.
void buildCoarse(SignalSummary& summary, int k, std::size_t from, std::size_t to) {
  const int channels = summary.channels();
  const std::vector<MinMax>& fine = summary.level(k - 1);
  std::vector<MinMax>& coarse = summary.level(k);
  const std::size_t fineCount = fine.size() / static_cast<std::size_t>(channels);
  for (std::size_t i = from; i < to; ++i) {
    const std::size_t first = i * kSummaryFactor;
    const std::size_t last = std::min(first + kSummaryFactor, fineCount);
    for (int c = 0; c < channels; ++c) {
      MinMax m{127, -128};
      for (std::size_t j = first; j < last; ++j)
        m = merge(m, fine[j * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)]);
      coarse[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] = m;
    }
  }
}

}  // namespace

SignalSummary::SignalSummary(int channels, Frames frameCount)
    : channels_(std::clamp(channels, 1, 2)), frameCount_(std::max<Frames>(frameCount, 0)) {
  // Levels down to a handful of entries: the coarsest still has one per column of a
  // narrow window showing the whole signal.
  std::int64_t per = kSummaryBaseFrames;
  do {
    const std::int64_t entries = (frameCount_ + per - 1) / per;
    levels_.emplace_back(static_cast<std::size_t>(entries) * static_cast<std::size_t>(channels_));
    per *= kSummaryFactor;
  } while (per / kSummaryFactor < frameCount_ / 64);
}

std::int64_t SignalSummary::framesPerEntry(int level) {
  std::int64_t per = kSummaryBaseFrames;
  for (int k = 0; k < level; ++k) per *= kSummaryFactor;
  return per;
}

bool SignalSummary::isReady(int level, std::size_t index) const {
  const Frames ready = readyFrames();
  if (ready >= frameCount_) return true;
  return static_cast<std::int64_t>(index + 1) * framesPerEntry(level) <= ready;
}

std::size_t SignalSummary::memoryBytes() const {
  std::size_t bytes = sizeof(*this);
  for (const auto& level : levels_) bytes += level.capacity() * sizeof(MinMax);
  return bytes;
}

SampleSource SampleSource::of(const AudioDocument& doc) {
  SampleSource s;
  s.data = doc.samples.get();
  s.frameCount = doc.samples ? doc.frameCount : 0;
  s.channels = std::clamp<int>(doc.format.channels, 1, 2);
  s.bits = doc.format.bitsPerSample;
  if (doc.frameBytes != s.channels * s.bits / 8 || (s.bits != 8 && s.bits != 16))
    s.frameCount = 0;  // nothing this program could play either
  return s;
}

int SampleSource::sample(Frames frame, int channel) const {
  const std::size_t at = static_cast<std::size_t>(frame) * static_cast<unsigned>(channels) +
                         static_cast<unsigned>(channel);
  if (bits == 8) return (data[at] - 128) * 256;
  return static_cast<std::int16_t>(data[at * 2] | (data[at * 2 + 1] << 8));
}

void buildSummary(const SampleSource& source, SignalSummary& summary, Frames first, Frames end,
                  const std::atomic<bool>* cancel) {
  const Frames total = std::min(source.frameCount, summary.frameCount());
  first = std::clamp<Frames>(first, 0, total) / kSummaryBaseFrames * kSummaryBaseFrames;
  end = std::clamp<Frames>(end, first, total);
  const int channels = summary.channels();
  const int levels = summary.levelCount();
  std::vector<std::size_t> nextCoarse(static_cast<std::size_t>(levels), 0);
  for (int k = 1; k < levels; ++k)
    nextCoarse[static_cast<std::size_t>(k)] =
        static_cast<std::size_t>(first / SignalSummary::framesPerEntry(k));

  std::vector<MinMax>& base = summary.level(0);
  for (Frames chunk = first; chunk < end; chunk += kChunkFrames) {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return;
    const Frames chunkEnd = end - chunk > kChunkFrames ? chunk + kChunkFrames : end;
    for (Frames f = chunk; f < chunkEnd; f += kSummaryBaseFrames) {
      const Frames n = std::min<Frames>(kSummaryBaseFrames, total - f);
      scanSource(source, f, n,
                 &base[static_cast<std::size_t>(f / kSummaryBaseFrames) *
                       static_cast<std::size_t>(channels)]);
    }
    // Coarser entries that are complete now (all of them at the end of the range).
    for (int k = 1; k < levels; ++k) {
      const std::int64_t per = SignalSummary::framesPerEntry(k);
      const std::size_t count = summary.entryCount(k);
      const std::size_t upTo =
          chunkEnd >= end ? std::min(count, static_cast<std::size_t>((end + per - 1) / per))
                          : static_cast<std::size_t>(chunkEnd / per);
      std::size_t& next = nextCoarse[static_cast<std::size_t>(k)];
      if (upTo > next) {
        buildCoarse(summary, k, next, upTo);
        next = upTo;
      }
    }
    if (summary.readyFrames() < chunkEnd) summary.publish(chunkEnd >= total ? total : chunkEnd);
  }
  if (end >= total) summary.publish(total);
}

void extendSummary(const SampleSource& source, SignalSummary& summary, Frames at) {
  const int channels = summary.channels();
  const std::int64_t end =
      std::min<std::int64_t>(std::int64_t{at} + source.frameCount, summary.frameCount());
  if (at % kSummaryBaseFrames != 0 || end <= at) return;
  std::vector<MinMax>& base = summary.level(0);
  for (std::int64_t f = at; f < end; f += kSummaryBaseFrames) {
    const auto n = static_cast<Frames>(std::min<std::int64_t>(kSummaryBaseFrames, end - f));
    scanSource(source, static_cast<Frames>(f - at), n,
               &base[static_cast<std::size_t>(f / kSummaryBaseFrames) *
                     static_cast<std::size_t>(channels)]);
  }
  for (int k = 1; k < summary.levelCount(); ++k) {
    const std::int64_t per = SignalSummary::framesPerEntry(k);
    buildCoarse(summary, k, static_cast<std::size_t>(at / per),
                std::min(summary.entryCount(k), static_cast<std::size_t>((end + per - 1) / per)));
  }
}

void summariseCoarse(SignalSummary& summary, int fromLevel, Frames end) {
  for (int k = std::max(fromLevel, 1); k < summary.levelCount(); ++k) {
    const std::int64_t per = SignalSummary::framesPerEntry(k);
    buildCoarse(summary, k, 0,
                std::min(summary.entryCount(k), static_cast<std::size_t>((end + per - 1) / per)));
  }
}

void SummaryBuilder::start(const SampleSource& source,
                           std::shared_ptr<const SignalSummary> previous, Frames first,
                           Frames end) {
  cancel();
  auto summary = std::make_shared<SignalSummary>(source.channels, source.frameCount);
  summary->source = source.data;
  const bool partial = previous && previous->channels() == summary->channels() &&
                       previous->frameCount() == summary->frameCount() && previous->complete();
  if (partial) {
    for (int k = 0; k < summary->levelCount(); ++k) summary->level(k) = previous->levelData(k);
  } else {
    first = 0;
    end = source.frameCount;
  }
  summary_ = summary;
  cancel_.store(false);
  done_.store(false);
  worker_ = std::thread([this, source, summary, first, end, partial] {
    buildSummary(source, *summary, first, end, &cancel_);
    // A partial rebuild is only shown once whole, so it is ready all along.
    if (partial && !cancel_.load()) summary->publish(summary->frameCount());
    done_.store(true, std::memory_order_release);
  });
}

void SummaryBuilder::cancel() {
  if (worker_.joinable()) {
    cancel_.store(true);
    worker_.join();
  }
  summary_.reset();
  done_.store(false);
}

std::shared_ptr<SignalSummary> SummaryBuilder::take() {
  if (!finished()) return nullptr;
  worker_.join();
  std::shared_ptr<SignalSummary> summary = std::move(summary_);
  summary_.reset();
  done_.store(false);
  return summary;
}

}  // namespace voxloom
