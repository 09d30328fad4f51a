// Health tests: the cost they add to the file source's draws (a million draws, as
// `random --source file:F --count 1000000` makes them) and the time of
// `random --test --count 1000000` over the pseudo source's raw values.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "core/random/health/block_tests.h"
#include "core/random/random_sources.h"
#include "silent_prompter.h"

namespace {

using namespace voxloom;

using bench::SilentPrompter;

constexpr int kDraws = 1000000;

const std::string& noiseFile() {
  static const std::string path = [] {
    const std::string p =
        (std::filesystem::temp_directory_path() / "voxloom_health_bench.pcm").string();
    std::mt19937 rng(5);
    std::vector<std::int16_t> samples(1 << 20);
    for (auto& s : samples) s = static_cast<std::int16_t>(rng());
    std::FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(samples.data(), sizeof samples[0], samples.size(), f);
    std::fclose(f);
    return p;
  }();
  return path;
}

// Million file draws; `tested` false makes the source look deterministic to the health
// monitor, so only its early return is paid.
void BM_FileDraws(benchmark::State& state, bool tested) {
  SilentPrompter prompter;
  StopRequest stop;
  NoPlayback noPlayback;
  RandomSources random(stop, prompter, noPlayback);
  random.selectRandomSource(RandomSourceKind::RandomFile, noiseFile(), "", false);
  std::int64_t sum = 0;
  for (auto _ : state) {
    random.health.start(tested ? RandomSourceKind::RandomFile : RandomSourceKind::PseudoRng);
    for (int i = 0; i < kDraws; ++i) sum += random.drawRandom(1000000000);
    benchmark::DoNotOptimize(sum);
  }
  if (tested && random.health.failureCount() != 0) state.SkipWithError("unexpected failures");
}

// The work of `random --test --count 1000000 --source pseudo`: draws, packing, block tests.
void BM_PseudoTest(benchmark::State& state) {
  SilentPrompter prompter;
  StopRequest stop;
  NoPlayback noPlayback;
  RandomSources random(stop, prompter, noPlayback);
  random.pseudo.seedPseudoRandom(1);
  for (auto _ : state) {
    BitPacker packer;
    ByteStreamTests tests;
    for (int i = 0; i < kDraws; ++i) {
      random.drawRandom(1000000000);
      packer.put(static_cast<std::uint32_t>((random.pseudo.state() >> 32) & 0x7FFFFFFFu), 31);
      if (packer.bytes.size() >= 65536) {
        tests.add(packer.bytes);
        packer.bytes.clear();
      }
    }
    tests.add(packer.bytes);
    benchmark::DoNotOptimize(tests.ent());
  }
}

BENCHMARK_CAPTURE(BM_FileDraws, without_health, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FileDraws, with_health, true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PseudoTest)->Unit(benchmark::kMillisecond);

}  // namespace

// The budgets: the health tests add at most 5 % to file draws; the pseudo test of a
// million values takes under a second.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  struct Collect : benchmark::ConsoleReporter {
    double without = 0, with = 0, test = 0;
    void ReportRuns(const std::vector<Run>& runs) override {
      ConsoleReporter::ReportRuns(runs);
      for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median") continue;
        const std::string name = run.benchmark_name();
        // CPU time: the machine is shared, and wall time then measures the neighbours.
        const double ms = run.GetAdjustedCPUTime();
        if (name.find("without_health") != std::string::npos)
          without = ms;
        else if (name.find("with_health") != std::string::npos)
          with = ms;
        else if (name.find("BM_PseudoTest") != std::string::npos)
          test = ms;
      }
    }
  } reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double ratio = reporter.without > 0 ? reporter.with / reporter.without : 0;
  std::printf(
      "\nfile draws: %.1f ms without, %.1f ms with health tests: ratio %.3f "
      "(budget 1.05) %s\n",
      reporter.without, reporter.with, ratio, ratio <= 1.05 ? "ok" : "OVER");
  std::printf(
      "random --test over 1000000 pseudo values: %.1f ms (budget 1000 ms) %s, "
      "%.2f of the budget\n",
      reporter.test, reporter.test < 1000 ? "ok" : "OVER", reporter.test / 1000);
  std::remove(noiseFile().c_str());
  return 0;
}
