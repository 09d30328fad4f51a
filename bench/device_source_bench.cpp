// Device source: bytes per second read from /dev/urandom through drawRandom (4 bytes a
// draw), and the ratio to the 10 MB/s a fast hardware generator may deliver.
#include <benchmark/benchmark.h>

#include "core/random/random_sources.h"
#include "platform/linux/char_device.h"

namespace {

using namespace voxloom;

class SilentPrompter : public Prompter {
 public:
  Answer message(const std::string&, const std::string&, MessageIcon, MessageButtons) override {
    return Answer::Ok;
  }
  std::optional<std::string> chooseOpenFile(const FileDialogSpec&) override { return {}; }
  std::optional<std::string> chooseSaveFile(const FileDialogSpec&) override { return {}; }
  void setBusy(bool) override {}
};

void urandomDraws(benchmark::State& state) {
  SilentPrompter prompter;
  StopRequest stop;
  RandomSources random(stop, prompter);
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
