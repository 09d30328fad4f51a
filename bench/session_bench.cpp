// Session files of 10 000 records with 100 entries each: open and save against reading
// and writing the same bytes line by line with plain buffered I/O; and the export of an
// EVP of 10 000 cross-faded entries as a realtime factor.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/app/main_presenter.h"
#include "core/session/session_export.h"
#include "core/session/session_file.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRecords = 10000;
constexpr int kEntries = 100;
constexpr int kExportEntries = 10000;
constexpr int kRate = 44100;
constexpr voxloom::Frames kEntryFrames = 4410;

// Saves go to the dialog's one answer; nothing else is asked.
class BenchPrompter : public voxloom::Prompter {
 public:
  std::string savePath;
  voxloom::Answer message(const std::string&, const std::string&, voxloom::MessageIcon,
                          voxloom::MessageButtons) override {
    return voxloom::Answer::No;
  }
  std::optional<std::string> chooseOpenFile(const voxloom::FileDialogSpec&) override {
    return std::nullopt;
  }
  std::optional<std::string> chooseSaveFile(const voxloom::FileDialogSpec&) override {
    return savePath;
  }
  void setBusy(bool) override {}
};

class NoShell : public voxloom::Shell {
 public:
  bool openDocument(const std::string&) override { return false; }
  bool startProgram(const std::string&, const std::string&) override { return false; }
  bool programExists(const std::string&) override { return false; }
};

std::string benchDir() {
  static const std::string dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("voxloom-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(d);
    return d.string();
  }();
  return dir;
}

double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

std::vector<voxloom::EvpRecord> makeRecords() {
  std::vector<voxloom::EvpRecord> records(kRecords);
  for (int r = 0; r < kRecords; ++r) {
    auto& record = records[static_cast<std::size_t>(r)];
    record.dateTime = "2026 03 14 21 05 09";
    record.question = "Is anybody here? " + std::to_string(r);
    record.answer = "yes, I am here";
    for (int e = 1; e <= kEntries; ++e)
      record.segments.push_back(
          {e * 4410 + r, 4410, e, e % 37, e % 3 == 0, e % 2 ? "phoneme" : ""});
  }
  return records;
}

const std::string& sessionPath() {
  static const std::string path = [] {
    const std::string p = benchDir() + "/big.evp";
    voxloom::writeFileAtomically(p, voxloom::formatSessionText("/data/signal.wav", makeRecords()));
    return p;
  }();
  return path;
}

double plainLineRead(const std::string& path) {
  const auto t0 = Clock::now();
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::size_t bytes = 0;
  while (std::getline(in, line)) bytes += line.size();
  benchmark::DoNotOptimize(bytes);
  return seconds(Clock::now() - t0);
}

double plainLineWrite(const std::string& path, const std::vector<std::string>& lines) {
  const auto t0 = Clock::now();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  for (const std::string& line : lines) {
    std::fputs(line.c_str(), f);
    std::fputc('\n', f);
  }
  std::fclose(f);
  return seconds(Clock::now() - t0);
}

void BM_OpenSession(benchmark::State& state) {
  const std::string path = sessionPath();
  BenchPrompter prompter;
  NoShell shell;
  voxloom::NoQuestionPrompt questions;
  voxloom::WindowCore core(prompter, shell, questions);
  voxloom::AppServices& services = core.services;
  services.document.document.path = "/data/signal.wav";  // the session's signal counts as loaded
  double ours = 0, reference = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    services.sessions.sessions.openSession(path);
    const double t = seconds(Clock::now() - t0);
    if (services.sessions.sessions.session.count() != kRecords) state.SkipWithError("not read");
    services.sessions.sessions.closeSession();
    ours += t;
    reference += plainLineRead(path);
    state.SetIterationTime(t);
  }
  state.counters["plain_read_ms"] = reference / state.iterations() * 1e3;
  state.counters["ratio_to_plain_read"] = ours / reference;
}

void BM_SaveSession(benchmark::State& state) {
  BenchPrompter prompter;
  prompter.savePath = benchDir() + "/saved.evp";
  NoShell shell;
  voxloom::NoQuestionPrompt questions;
  voxloom::WindowCore core(prompter, shell, questions);
  voxloom::AppServices& services = core.services;
  services.sessions.sessions.session.records = makeRecords();
  services.sessions.sessions.session.wavPath = "/data/signal.wav";
  std::vector<std::string> lines;
  {
    std::ifstream in(sessionPath(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
  }
  double ours = 0, reference = 0;
  for (auto _ : state) {
    services.sessions.sessions.session.isModified = true;
    const auto t0 = Clock::now();
    if (services.sessions.sessions.saveSession(false) != 0) state.SkipWithError("not saved");
    const double t = seconds(Clock::now() - t0);
    ours += t;
    reference += plainLineWrite(benchDir() + "/plain.evp", lines);
    state.SetIterationTime(t);
  }
  state.counters["plain_write_ms"] = reference / state.iterations() * 1e3;
  state.counters["ratio_to_plain_write"] = ours / reference;
}

void BM_ExportCrossFaded(benchmark::State& state) {
  voxloom::AudioDocument doc;
  const voxloom::Frames frames = kRate * 60;
  doc.format = {1, 2, kRate, kRate * 4, 4, 16, 0};
  doc.allocateSamples(frames * 4);
  for (voxloom::Bytes i = 0; i < frames * 4; ++i)
    doc.samples[i] = static_cast<std::uint8_t>(i * 31);
  doc.setUpDocument("signal.wav", true);
  doc.isLoaded = true;
  voxloom::EvpRecord record;
  for (int e = 1; e <= kExportEntries; ++e)
    record.segments.push_back({(e * 7919) % (frames - kEntryFrames), kEntryFrames, e, e, true, ""});
  const double audioSeconds = static_cast<double>(kExportEntries) * kEntryFrames / kRate;
  double total = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    if (voxloom::writeEvpWav(benchDir() + "/export.wav", doc, record, "signal.wav", 1) !=
        voxloom::WavWriteStatus::Written)
      state.SkipWithError("not written");
    const double t = seconds(Clock::now() - t0);
    total += t;
    state.SetIterationTime(t);
  }
  state.counters["audio_s"] = audioSeconds;
  state.counters["realtime_factor"] = audioSeconds * state.iterations() / total;
}

BENCHMARK(BM_OpenSession)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SaveSession)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExportCrossFaded)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(benchDir());
  return 0;
}
