// Cross-fade renderer throughput: realtime factor of a Sine render of 44.1 kHz 16-bit
// stereo, and Linear against a plain memcpy of the same frames, once with everything in
// the cache and once streaming a signal far larger than the caches. Each runs on every
// arithmetic path the CPU has (0 scalar, 1 SSE2, 2 AVX2, 3 AVX-512); the renderer uses the last.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/engine/cross_fade.h"
#include "core/engine/cross_fade_renderer.h"
#include "core/random/pseudo_rng.h"

namespace {

using namespace voxloom;

constexpr Rate kRate = 44100;
constexpr Frames kBlock = 3528;  // 80 ms, the default "From"

const char* pathName(RenderPath path) {
  switch (path) {
    case RenderPath::Scalar:
      return "scalar";
    case RenderPath::Sse2:
      return "sse2";
    case RenderPath::Avx2:
      return "avx2";
    case RenderPath::Avx512:
      return "avx512";
  }
  return "?";
}

RenderPath pathOf(const benchmark::State& bench) {
  return static_cast<RenderPath>(bench.range(0));
}

void everyPath(benchmark::internal::Benchmark* b) {
  for (int p = 0; p <= static_cast<int>(fastestRenderPath()); ++p) b->Arg(p);
}

void makeNoise(AudioDocument& doc, Frames frames) {
  doc.format.formatTag = 1;
  doc.format.channels = 2;
  doc.format.bitsPerSample = 16;
  doc.format.blockAlign = 4;
  doc.format.samplesPerSec = kRate;
  doc.nominalRate = kRate;
  doc.frameBytes = 4;
  doc.allocateSamples(frames * 4);
  doc.frameCount = frames;
  PseudoRng rng;
  rng.seedPseudoRandom(42);
  for (Frames f = 0; f < frames; ++f) {
    doc.putSample(doc.channelBase(0), f, rng.nextPseudoRandom() % 65536 - 32768);
    doc.putSample(doc.channelBase(1), f, rng.nextPseudoRandom() % 65536 - 32768);
  }
}

// Consecutive blocks, as Make EVP renders them: each fades out the previous one's tail.
Frames renderNext(RendererState& state, const AudioDocument& doc, Frames& cursor) {
  Frames start = cursor;
  cursor = (cursor + 7 * kBlock) % (doc.frameCount - 3 * kBlock);
  benchmark::DoNotOptimize(renderCrossFade(state, doc, 0, start, kBlock));
  return kBlock;
}

void BM_RenderSineRealtime(benchmark::State& bench) {
  AudioDocument doc;
  makeNoise(doc, 10 * kRate);
  RendererState state;
  state.fadeMode = static_cast<int>(FadeMode::Sine);
  state.path = pathOf(bench);
  bench.SetLabel(pathName(state.path));
  Frames cursor = 0;
  renderNext(state, doc, cursor);
  std::int64_t frames = 0;
  const auto begin = std::chrono::steady_clock::now();
  for (auto _ : bench) frames += renderNext(state, doc, cursor);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  bench.counters["realtime_x"] = static_cast<double>(frames) / kRate / seconds;
  bench.counters["target_x"] = 2000;
  bench.SetItemsProcessed(frames);
}
BENCHMARK(BM_RenderSineRealtime)->Apply(everyPath);

// "To" on: every block has a new length, so the gains cannot be reused.
void BM_RenderSineVaryingLengthRealtime(benchmark::State& bench) {
  AudioDocument doc;
  makeNoise(doc, 10 * kRate);
  RendererState state;
  state.fadeMode = static_cast<int>(FadeMode::Sine);
  std::int64_t frames = 0;
  Frames cursor = 0;
  Frames length = kBlock;
  const auto begin = std::chrono::steady_clock::now();
  for (auto _ : bench) {
    Frames start = cursor;
    cursor = (cursor + 7 * kBlock) % (doc.frameCount - 3 * kBlock);
    length = length == kBlock ? kBlock + 1 : kBlock;
    benchmark::DoNotOptimize(renderCrossFade(state, doc, 0, start, length));
    frames += length;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  bench.counters["realtime_x"] = static_cast<double>(frames) / kRate / seconds;
}
BENCHMARK(BM_RenderSineVaryingLengthRealtime);

// In the cache: the same block, from the same frames, copied and rendered over and over.
// Both read and write only cached bytes, so this is the renderer's arithmetic against
// the bare copy; out of the cache (below) is what Make EVP meets.
void BM_LinearVsMemcpyInCache(benchmark::State& bench) {
  AudioDocument doc;
  makeNoise(doc, 10 * kRate);
  RendererState state;
  state.fadeMode = static_cast<int>(FadeMode::Linear);
  state.path = pathOf(bench);
  bench.SetLabel(pathName(state.path));
  auto copy = std::make_unique<std::uint8_t[]>(kBlock * 4);
  constexpr Frames kFrom = 1000;
  constexpr Frames kPrevEnd = kFrom + 5 * kBlock;
  using Clock = std::chrono::steady_clock;
  Clock::duration renderTime{};
  Clock::duration copyTime{};
  constexpr int kRounds = 16;
  for (auto _ : bench) {
    const auto t0 = Clock::now();
    for (int r = 0; r < kRounds; ++r) {
      std::memcpy(copy.get(), doc.samples.get() + kFrom * 4, kBlock * 4);
      benchmark::ClobberMemory();
    }
    const auto t1 = Clock::now();
    for (int r = 0; r < kRounds; ++r) {
      Frames start = kFrom;
      state.prevEnd = kPrevEnd;
      benchmark::DoNotOptimize(renderCrossFade(state, doc, 0, start, kBlock));
    }
    const auto t2 = Clock::now();
    copyTime += t1 - t0;
    renderTime += t2 - t1;
  }
  bench.counters["linear_over_memcpy_in_cache"] =
      std::chrono::duration<double>(renderTime) / std::chrono::duration<double>(copyTime);
}
BENCHMARK(BM_LinearVsMemcpyInCache)->Apply(everyPath);

// Like with like: a 10-minute stereo signal, far larger than the caches, rendered block
// by block in order against memcpy of the same blocks into the same kind of buffers.
// This is the figure the 1.5x budget is about.
void BM_LinearVsMemcpyOutOfCache(benchmark::State& bench) {
  static AudioDocument doc;  // made once for all paths
  if (doc.frameCount == 0) makeNoise(doc, 600 * kRate);
  RendererState state;
  state.fadeMode = static_cast<int>(FadeMode::Linear);
  state.path = pathOf(bench);
  bench.SetLabel(pathName(state.path));
  const Frames blocks = doc.frameCount / kBlock - 1;
  std::vector<std::unique_ptr<std::uint8_t[]>> copies(kRenderSlots);
  for (auto& c : copies) c = std::make_unique<std::uint8_t[]>(kBlock * 4);
  using Clock = std::chrono::steady_clock;
  Clock::duration renderTime{};
  Clock::duration copyTime{};
  for (auto _ : bench) {
    const auto t0 = Clock::now();
    for (Frames b = 0; b < blocks; ++b) {
      std::memcpy(copies[static_cast<std::size_t>(b % kRenderSlots)].get(),
                  doc.samples.get() + static_cast<std::ptrdiff_t>(b) * kBlock * 4, kBlock * 4);
      benchmark::ClobberMemory();
    }
    const auto t1 = Clock::now();
    state.prevEnd = -1;
    for (Frames b = 0; b < blocks; ++b) {
      Frames start = b * kBlock;
      benchmark::DoNotOptimize(renderCrossFade(state, doc, b % kRenderSlots, start, kBlock));
    }
    const auto t2 = Clock::now();
    copyTime += t1 - t0;
    renderTime += t2 - t1;
  }
  bench.counters["linear_over_memcpy_out_of_cache"] =
      std::chrono::duration<double>(renderTime) / std::chrono::duration<double>(copyTime);
  bench.counters["target_ratio"] = 1.5;
  bench.counters["realtime_x"] = static_cast<double>(blocks) * kBlock * bench.iterations() / kRate /
                                 std::chrono::duration<double>(renderTime).count();
}
BENCHMARK(BM_LinearVsMemcpyOutOfCache)
    ->Apply(everyPath)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
