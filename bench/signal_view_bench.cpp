// The waveform view's costs: the summary of one hour of 44.1 kHz 16-bit stereo against
// one memcpy of the same samples (budget: 2x), its memory against the samples (budget:
// 1 %), the envelope of 1920 columns at several zooms, and label export and import of
// 100 000 cues.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/labels/label_track.h"
#include "core/view/signal_summary.h"
#include "core/view/time_axis.h"

namespace {

using namespace voxloom;

constexpr Frames kHourFrames = 44100 * 3600;

AudioDocument& hour() {
  static AudioDocument* doc = [] {
    auto* d = new AudioDocument;
    d->format = {1, 2, 44100, 44100 * 4, 4, 16, 0};
    d->allocateSamples(kHourFrames * 4);
    // Not constant: a signal whose extremes move, so nothing is trivially predicted.
    std::uint32_t x = 12345;
    for (Bytes i = 0; i < kHourFrames * 4; i += 4) {
      x = x * 1664525u + 1013904223u;
      std::memcpy(&d->samples[i], &x, 4);
    }
    d->setUpDocument("hour.wav", true);
    return d;
  }();
  return *doc;
}

void BM_MemcpyOfTheSamples(benchmark::State& state) {
  const AudioDocument& doc = hour();
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[static_cast<std::size_t>(doc.dataBytes)]);
  std::memset(copy.get(), 1, static_cast<std::size_t>(doc.dataBytes));  // pages in
  for (auto _ : state) {
    std::memcpy(copy.get(), doc.samples.get(), static_cast<std::size_t>(doc.dataBytes));
    benchmark::DoNotOptimize(copy.get());
  }
  state.SetBytesProcessed(state.iterations() * doc.dataBytes);
}

void BM_SummaryOfAnHour(benchmark::State& state) {
  const AudioDocument& doc = hour();
  const SampleSource source = SampleSource::of(doc);
  std::size_t memory = 0;
  for (auto _ : state) {
    SignalSummary summary(2, doc.frameCount);
    buildSummary(source, summary, 0, doc.frameCount);
    memory = summary.memoryBytes();
    benchmark::DoNotOptimize(summary.entry(0, 0, 0));
  }
  state.SetBytesProcessed(state.iterations() * doc.dataBytes);
  state.counters["memory_percent"] = 100.0 * static_cast<double>(memory) / doc.dataBytes;
}

void BM_Envelope1920Columns(benchmark::State& state) {
  const AudioDocument& doc = hour();
  const SampleSource source = SampleSource::of(doc);
  static SignalSummary* summary = [&] {
    auto* s = new SignalSummary(2, doc.frameCount);
    buildSummary(source, *s, 0, doc.frameCount);
    return s;
  }();
  TimeAxis axis;
  axis.setWidth(1920);
  axis.setFrameCount(doc.frameCount);
  // range(0): frames a column as a power of two, 0 = the whole hour.
  if (state.range(0) > 0) axis.zoomAround(960, axis.framesPerPixel() / state.range(0));
  axis.scrollTo(doc.frameCount / 3);
  std::vector<ColumnRange> columns;
  for (auto _ : state) {
    for (int c = 0; c < 2; ++c) columnEnvelope(axis, summary, source, c, columns);
    benchmark::DoNotOptimize(columns.data());
  }
  state.counters["frames_per_column"] = axis.framesPerPixel();
}

std::vector<CuePoint> manyCues() {
  std::vector<CuePoint> cues(100000);
  for (std::size_t i = 0; i < cues.size(); ++i) {
    cues[i].position = static_cast<Frames>(i * 1500);
    cues[i].length = i % 2 ? 700 : 0;
    cues[i].label = "Cue label " + std::to_string(i);
  }
  return cues;
}

void BM_ExportLabels100k(benchmark::State& state) {
  const std::vector<CuePoint> cues = manyCues();
  for (auto _ : state) benchmark::DoNotOptimize(writeLabelTrack(cues, 44100));
}

void BM_ImportLabels100k(benchmark::State& state) {
  const std::string text = writeLabelTrack(manyCues(), 44100);
  for (auto _ : state) benchmark::DoNotOptimize(readLabelTrack(text, 44100, kHourFrames));
}

}  // namespace

BENCHMARK(BM_MemcpyOfTheSamples)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_SummaryOfAnHour)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Envelope1920Columns)
    ->Arg(0)
    ->Arg(1 << 16)
    ->Arg(4096)
    ->Arg(300)
    ->Arg(255)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExportLabels100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportLabels100k)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
