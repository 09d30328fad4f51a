// WAV load and save of a 10-minute 44.1 kHz 16-bit stereo file, each against the floor
// of one plain read or write of the same file; and the peak memory of a load.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/audio/byte_stream.h"
#include "core/audio/wav_reader.h"
#include "core/audio/wav_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100;
constexpr int kSeconds = 600;
constexpr voxloom::Bytes kDataBytes = kRate * kSeconds * 4;

std::string benchDir() {
  static const std::string dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("voxloom-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(d);
    return d.string();
  }();
  return dir;
}

void fillDocument(voxloom::AudioDocument& doc) {
  doc.format = {1, 2, kRate, kRate * 4, 4, 16, 0};
  doc.allocateSamples(kDataBytes);
  for (voxloom::Bytes i = 0; i < kDataBytes; ++i)
    doc.samples[i] = static_cast<std::uint8_t>(i * 31);
  for (int c = 0; c < 100; ++c)
    doc.cues.push_back({c * 1000, 500, static_cast<std::uint32_t>(c + 1), "label", "note", "rgn"});
  doc.setUpDocument("bench.wav", true);
}

const std::string& sourceFile() {
  static const std::string path = [] {
    const std::string p = benchDir() + "/ten_minutes.wav";
    voxloom::AudioDocument doc;
    fillDocument(doc);
    voxloom::writeDocumentWav(p, doc);
    return p;
  }();
  return path;
}

double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Writes to disk vary with the kernel's writeback; the median of several runs is steadier
// than the mean.
double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

double plainRead(const std::string& path) {
  const auto start = Clock::now();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  const auto size = static_cast<std::size_t>(std::filesystem::file_size(path));
  // The same kind of buffer the document gets, so only the reading is compared.
  voxloom::AudioDocument scratch;
  scratch.allocateSamples(static_cast<voxloom::Bytes>(size));
  std::uint8_t* buffer = scratch.samples.get();
  benchmark::DoNotOptimize(std::fread(buffer, 1, size, f));
  std::fclose(f);
  return seconds(Clock::now() - start);
}

double plainWrite(const std::string& path, const std::uint8_t* bytes, std::size_t size) {
  const auto start = Clock::now();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes, 1, size, f);
  std::fclose(f);
  return seconds(Clock::now() - start);
}

void BM_LoadWav(benchmark::State& state) {
  const std::string& path = sourceFile();
  std::vector<double> ours, reference;
  for (auto _ : state) {
    reference.push_back(plainRead(path));
    const auto start = Clock::now();
    voxloom::AudioDocument doc;
    auto stream = voxloom::ByteStream::openFile(path);
    voxloom::loadWav(*stream, doc, path);
    doc.resetDocument();
    const double t = seconds(Clock::now() - start);
    ours.push_back(t);
    state.SetIterationTime(t);
  }
  state.counters["plain_read_ms"] = median(reference) * 1e3;
  state.counters["ratio_to_plain_read"] = median(ours) / median(reference);
}

void BM_SaveWav(benchmark::State& state) {
  voxloom::AudioDocument doc;
  fillDocument(doc);
  const std::string out = benchDir() + "/saved.wav";
  const std::string plain = benchDir() + "/plain.bin";
  std::vector<double> ours, reference;
  for (auto _ : state) {
    // Start both from no dirty pages, so neither pays for the other's writeback.
    sync();
    const auto start = Clock::now();
    voxloom::writeDocumentWav(out, doc);
    const double t = seconds(Clock::now() - start);
    sync();
    reference.push_back(
        plainWrite(plain, doc.samples.get(), static_cast<std::size_t>(doc.dataBytes)));
    ours.push_back(t);
    state.SetIterationTime(t);
  }
  state.counters["plain_write_ms"] = median(reference) * 1e3;
  state.counters["ratio_to_plain_write"] = median(ours) / median(reference);
}

// Peak resident memory of a fresh process that loads the file, beyond the sample bytes.
void BM_LoadPeakMemory(benchmark::State& state) {
  const std::string& path = sourceFile();
  long overheadKb = 0;
  for (auto _ : state) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) state.SkipWithError("pipe failed");
    const pid_t child = fork();
    if (child == 0) {
      voxloom::AudioDocument doc;
      auto stream = voxloom::ByteStream::openFile(path);
      voxloom::loadWav(*stream, doc, path);
      rusage usage{};
      getrusage(RUSAGE_SELF, &usage);
      const long extra = usage.ru_maxrss - static_cast<long>(doc.dataBytes / 1024);
      (void)!write(pipeFds[1], &extra, sizeof extra);
      _exit(0);
    }
    close(pipeFds[1]);
    (void)!read(pipeFds[0], &overheadKb, sizeof overheadKb);
    close(pipeFds[0]);
    waitpid(child, nullptr, 0);
  }
  state.counters["sample_MB"] = kDataBytes / 1e6;
  state.counters["peak_beyond_samples_MB"] = overheadKb / 1024.0;
}

BENCHMARK(BM_LoadWav)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SaveWav)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK(BM_LoadPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(benchDir());
  return 0;
}
