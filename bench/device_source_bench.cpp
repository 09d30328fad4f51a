// Device source: bytes per second read from /dev/urandom through drawRandom (4 bytes a
// draw), and the ratio to the 10 MB/s a fast hardware generator may deliver.
#include <benchmark/benchmark.h>

#include "core/random/random_sources.h"
#include "platform/linux/char_device.h"
#include "silent_prompter.h"

namespace {

using namespace voxloom;

using bench::SilentPrompter;

void urandomDraws(benchmark::State& state) {
  SilentPrompter prompter;
  StopRequest stop;
  NoPlayback noPlayback;
  RandomSources random(stop, prompter, noPlayback);
  CharDevice device;
  random.device.device = &device;
  if (random.selectRandomSource(RandomSourceKind::Device, "/dev/urandom", "", false) !=
      SelectOutcome::Selected) {
    state.SkipWithError("/dev/urandom can't be opened");
    return;
  }
  std::int64_t sum = 0;
  for (auto _ : state) {
    sum += random.drawRandom(1000000000);
    benchmark::DoNotOptimize(sum);
  }
  if (stop.stopRequested) state.SkipWithError("the device stopped the run");
  const auto bytes = static_cast<double>(state.iterations()) * 4;
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
  state.counters["x10MB/s"] = benchmark::Counter(bytes / 1e7, benchmark::Counter::kIsRate);
}
BENCHMARK(urandomDraws);

}  // namespace

BENCHMARK_MAIN();
