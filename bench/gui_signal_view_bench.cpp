// One redraw of the waveform view, 1920 columns by 300 rows, of an hour of 44.1 kHz
// stereo with 2000 cues, at several zooms (budget: 8 ms), the summary built.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <cstring>
#include <thread>

#include "core/app/command_state.h"
#include "gui/signal_view_panel.h"

namespace {

using namespace voxloom;

struct Hour {
  AudioDocument doc;
  int state = kStateIdle;
  SignalView view{doc, state};
  Hour() {
    const Frames frames = 44100 * 3600;
    doc.format = {1, 2, 44100, 44100 * 4, 4, 16, 0};
    doc.allocateSamples(frames * 4);
    std::uint32_t x = 99;
    for (Bytes i = 0; i < frames * 4; i += 4) {
      x = x * 1664525u + 1013904223u;
      std::memcpy(&doc.samples[i], &x, 4);
    }
    for (int c = 0; c < 2000; ++c)
      doc.cues.push_back({c * 79000, c % 2 ? 30000 : 0, static_cast<std::uint32_t>(c + 1),
                          "cue " + std::to_string(c), "", "rgn"});
    doc.setUpDocument("hour.wav", true);
    view.update();
    while (view.building()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      view.update();
    }
  }
};

void BM_RedrawAt1920(benchmark::State& state) {
  static Hour hour;
  SignalCanvas canvas(hour.view, hour.doc);
  canvas.resize(1920, 300);
  TimeAxis& axis = hour.view.axis;
  axis.setWidth(1920);
  axis.setFrameCount(hour.doc.frameCount);
  axis.fit();
  if (state.range(0) > 0) axis.zoomAround(960, axis.framesPerPixel() / state.range(0));
  axis.scrollTo(hour.doc.frameCount / 3);
  QPixmap target(1920, 300);
  for (auto _ : state) {
    canvas.render(&target);
    benchmark::DoNotOptimize(target.cacheKey());
  }
  state.counters["frames_per_column"] = axis.framesPerPixel();
  state.counters["budget_ms"] = 8;
}
BENCHMARK(BM_RedrawAt1920)
    ->Arg(0)
    ->Arg(4096)
    ->Arg(300)
    ->Arg(255)
    ->Arg(16)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
