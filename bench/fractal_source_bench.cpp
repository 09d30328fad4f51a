// Fractal source: draws per second through drawRandom (without and with the 32-to-1
// conversion) beside the pseudo-random generator's draws as the reference, and the time
// of the 200 x 200 bifurcation diagram with 300 iterations a column.
#include <benchmark/benchmark.h>

#include "core/random/feigenbaum.h"
#include "core/random/random_sources.h"
#include "silent_prompter.h"

namespace {

using namespace voxloom;

using bench::SilentPrompter;

void draws(benchmark::State& state, RandomSourceKind kind, bool convert) {
  SilentPrompter prompter;
  StopRequest stop;
  NoPlayback noPlayback;
  RandomSources random(stop, prompter, noPlayback);
  random.selectRandomSource(kind, "", "", false);
  random.menu.convert = convert;
  random.pseudo.seedPseudoRandom(1);
  random.growthRate = 3.99L;
  random.population = 0.3L;
  std::int64_t sum = 0;
  for (auto _ : state) {
    sum += random.drawRandom(1000000000);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["draws/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_PseudoDraws(benchmark::State& state) {
  draws(state, RandomSourceKind::PseudoRng, false);
}
void BM_FractalDraws(benchmark::State& state) {
  draws(state, RandomSourceKind::Fractal, false);
}
void BM_FractalDrawsConverted(benchmark::State& state) {
  draws(state, RandomSourceKind::Fractal, true);
}

void BM_FeigenbaumDiagram(benchmark::State& state) {
  PixelImage image(200, 200);
  const FeigenbaumParams params;  // 3.5..4.0, 0..1, 300 iterations, 50 invisible
  for (auto _ : state) {
    drawFeigenbaum(params, image);
    benchmark::DoNotOptimize(image.pixels.data());
  }
}

BENCHMARK(BM_PseudoDraws);
BENCHMARK(BM_FractalDraws);
BENCHMARK(BM_FractalDrawsConverted);
BENCHMARK(BM_FeigenbaumDiagram)->Unit(benchmark::kMillisecond);

}  // namespace

// The budgets: at least 20 million fractal draws a second, the diagram within 50 ms.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  struct Collect : benchmark::ConsoleReporter {
    double pseudo = 0, fractal = 0, converted = 0, diagramMs = 0;
    void ReportRuns(const std::vector<Run>& runs) override {
      ConsoleReporter::ReportRuns(runs);
      for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median") continue;
        const std::string name = run.benchmark_name();
        const auto rate = [&] {
          const auto it = run.counters.find("draws/s");
          return it == run.counters.end() ? 0.0 : it->second.value;
        };
        if (name.rfind("BM_PseudoDraws", 0) == 0) pseudo = rate();
        if (name.rfind("BM_FractalDrawsConverted", 0) == 0) {
          converted = rate();
        } else if (name.rfind("BM_FractalDraws", 0) == 0) {
          fractal = rate();
        }
        if (name.rfind("BM_FeigenbaumDiagram", 0) == 0)
          diagramMs = run.GetAdjustedRealTime();  // in the benchmark's unit, ms
      }
    }
  } reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nfractal draws/s:            %.1f million (budget >= 20 million: %s)\n",
              reporter.fractal / 1e6, reporter.fractal >= 20e6 ? "met" : "MISSED");
  std::printf("fractal / pseudo draws:     %.2f\n",
              reporter.pseudo > 0 ? reporter.fractal / reporter.pseudo : 0.0);
  std::printf("converted draws/s:          %.2f million (32 steps each)\n",
              reporter.converted / 1e6);
  std::printf("diagram 200x200, 300 iter:  %.2f ms (budget < 50 ms: %s)\n", reporter.diagramMs,
              reporter.diagramMs < 50 ? "met" : "MISSED");
  benchmark::Shutdown();
  return 0;
}
