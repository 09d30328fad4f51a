// Memory of a 10-minute recording: the peak resident size it adds, over the bytes
// recorded, for the recording engine (chunks joined once) and, as the reference, the
// same bytes collected in one growing vector and then copied into the document.
#include <benchmark/benchmark.h>

#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "core/app/command_state.h"
#include "core/engine/recording_engine.h"
#include "core/ports/queued_event_loop.h"

namespace voxloom {
namespace {

constexpr int kSeconds = 600;

long statusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::string(key).size()));
  return 0;
}
// Peak resident size since the last reset; the reset starts a new peak at the current size.
void resetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}
long peakKb() {
  return statusKb("VmHWM:");
}
long residentKb() {
  return statusKb("VmRSS:");
}

// A capture device as fast as memory: fill() completes the front buffer at once.
class FastWaveIn : public WaveIn {
 public:
  explicit FastWaveIn(EventLoop& loop) : loop_(loop) {}
  WaveDeviceNames deviceNames() override { return {"fast"}; }
  WaveResult query(int, const WaveFormat&) override { return kWaveOk; }
  WaveResult open(int, const WaveFormat&, WaveNotify notify, WaveFailure) override {
    notify_ = std::move(notify);
    return kWaveOk;
  }
  WaveResult close() override { return queue_.empty() ? kWaveOk : kWaveStillPlaying; }
  WaveResult prepare(WaveHeader& h) override {
    h.prepared = true;
    return kWaveOk;
  }
  WaveResult unprepare(WaveHeader& h) override {
    h.prepared = false;
    return kWaveOk;
  }
  WaveResult addBuffer(WaveHeader& h) override {
    h.inQueue = true;
    queue_.push_back(&h);
    return kWaveOk;
  }
  WaveResult start() override { return kWaveOk; }
  WaveResult reset() override {
    while (!queue_.empty()) give(0);
    return kWaveOk;
  }
  std::string errorText(WaveResult) override { return "fast"; }

  void fill() {
    if (queue_.empty()) return;
    WaveHeader* h = queue_.front();
    for (std::uint32_t i = 0; i < h->bufferLength; ++i)
      h->data[i] = static_cast<std::uint8_t>(counter_++ * 31);
    give(h->bufferLength);
  }

 private:
  void give(std::uint32_t recorded) {
    WaveHeader* h = queue_.front();
    queue_.pop_front();
    h->bytesRecorded = recorded;
    h->inQueue = false;
    h->done = true;
    loop_.post([this, h] { notify_(*h); });
  }

  EventLoop& loop_;
  WaveNotify notify_;
  std::deque<WaveHeader*> queue_;
  std::uint32_t counter_ = 0;
};

class CdQuality : public RecParamDialog {
 public:
  bool askRecParam(RecParamState& state) override {
    state.sampleRateText = "44100";
    state.channelsItem = 1;
    state.resolutionItem = 1;
    state.normalize = true;
    return true;
  }
};

// An empty document: nothing to ask before it is replaced.
struct AlwaysDiscard final : DocumentGate {
  bool discardDocument() override { return false; }
};

struct NoPrompts : Prompter {
  Answer message(const std::string&, const std::string&, MessageIcon, MessageButtons) override {
    return Answer::Ok;
  }
  std::optional<std::string> chooseOpenFile(const FileDialogSpec&) override { return {}; }
  std::optional<std::string> chooseSaveFile(const FileDialogSpec&) override { return {}; }
  void setBusy(bool) override {}
};

void BM_RecordTenMinutes(benchmark::State& state) {
  for (auto _ : state) {
    NoPrompts prompter;
    QueuedEventLoop loop;
    FastWaveIn device(loop);
    CdQuality dialog;
    AudioDocument doc;
    int commandState = kStateIdle;
    AlwaysDiscard gate;
    RecordingEngine engine(
        doc, prompter, commandState,
        [&](RunEvent event) { commandState = commandStateAfter(event, commandState); }, gate);
    engine.attachDevice(device);
    engine.dialog = &dialog;
    const long before = residentKb();
    resetPeak();
    engine.startRecording();
    const std::int64_t target = std::int64_t{kSeconds} * engine.format().avgBytesPerSec;
    double worstHeld = 0;
    while (engine.dataBytes() < target) {
      device.fill();
      loop.processPending();
      if (engine.dataBytes() > (1 << 20)) {
        worstHeld = std::max(
            worstHeld, double(engine.recorded().reserved()) / double(engine.recorded().size()));
      }
    }
    engine.stopRecording();
    loop.processPending();
    const double recorded = double(doc.dataBytes);
    state.counters["recorded_MB"] = recorded / 1e6;
    state.counters["peak_over_recorded"] = double(peakKb() - before) * 1024 / recorded;
    state.counters["held_over_recorded"] = worstHeld;
    benchmark::DoNotOptimize(doc.samples.get());
  }
}
BENCHMARK(BM_RecordTenMinutes)->Iterations(1)->Unit(benchmark::kMillisecond);

// Reference: one vector grown as the buffers arrive, copied into the document at the end.
void BM_GrowingVectorReference(benchmark::State& state) {
  for (auto _ : state) {
    const std::size_t target = std::size_t{kSeconds} * 176400;
    const long before = residentKb();
    resetPeak();
    std::vector<std::uint8_t> all;
    std::vector<std::uint8_t> buffer(17640);
    std::uint32_t counter = 0;
    while (all.size() < target) {
      for (auto& b : buffer) b = static_cast<std::uint8_t>(counter++ * 31);
      all.insert(all.end(), buffer.begin(), buffer.end());
    }
    AudioDocument doc;
    doc.allocateSamples(static_cast<Bytes>(all.size()));
    std::copy(all.begin(), all.end(), doc.samples.get());
    const double recorded = double(all.size());
    state.counters["recorded_MB"] = recorded / 1e6;
    state.counters["peak_over_recorded"] = double(peakKb() - before) * 1024 / recorded;
    benchmark::DoNotOptimize(doc.samples.get());
  }
}
BENCHMARK(BM_GrowingVectorReference)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace voxloom

BENCHMARK_MAIN();
