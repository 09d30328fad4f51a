// Live audio source with Make EVP in real time through the SDL adapters (run with
// SDL_AUDIODRIVER=dummy for both directions): "From" 80 ms, X-Fade on, a 10 s live buffer
// at 44100 Hz stereo 16 bit. Prints the playback underruns, the lost input chunks, the
// captured audio against the wall clock, and the resident memory the mode added beside
// the buffer's bytes. Usage: live_realtime [SECONDS] (default 60).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/app/main_presenter.h"
#include "core/ports/queued_event_loop.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/sdl/sdl_wave_out.h"

namespace {

using Clock = std::chrono::steady_clock;

class PrintingPrompter : public voxloom::Prompter {
 public:
  int messages = 0;
  voxloom::Answer message(const std::string& title, const std::string& text, voxloom::MessageIcon,
                          voxloom::MessageButtons) override {
    ++messages;
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return voxloom::Answer::No;
  }
  std::optional<std::string> chooseOpenFile(const voxloom::FileDialogSpec&) override { return {}; }
  std::optional<std::string> chooseSaveFile(const voxloom::FileDialogSpec&) override { return {}; }
  void setBusy(bool) override {}
};

class NoShell : public voxloom::Shell {
 public:
  bool openDocument(const std::string&) override { return false; }
  bool startProgram(const std::string&, const std::string&) override { return false; }
  bool programExists(const std::string&) override { return false; }
};

class TenSecondsStereo : public voxloom::RecParamDialog {
 public:
  bool askRecParam(voxloom::RecParamState& state) override {
    state.sampleRateText = "44100";
    state.channelsItem = 1;
    state.resolutionItem = 1;
    state.liveSeconds = 10;
    return true;
  }
};

long residentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  if (std::getenv("SDL_AUDIODRIVER") == nullptr) setenv("SDL_AUDIODRIVER", "dummy", 1);

  voxloom::QueuedEventLoop loop;
  voxloom::SdlWaveOut out(loop);
  voxloom::SdlWaveIn in(loop);
  PrintingPrompter prompter;
  NoShell shell;
  TenSecondsStereo dialog;
  voxloom::NoQuestionPrompt questions;
  voxloom::WindowCore core(prompter, shell, questions);
  voxloom::AppServices& services = core.services;
  voxloom::MainPresenter& controller = core.presenter;
  services.attachPlayback(out, loop, nullptr);
  services.attachLive(in, loop);
  services.playback.live.dialog = &dialog;
  controller.startUp({});
  services.playback.parts.options.crossFade.checked = true;
  services.random.seed(1);

  const long before = residentKb();
  const auto start = Clock::now();
  if (!services.playback.setLiveMode(true)) return 1;
  if (!loop.processUntil([&] { return services.document.document.isLoaded; },
                         std::chrono::seconds(30))) {
    std::fprintf(stderr, "the live buffer never filled\n");
    return 1;
  }
  const double fillSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  const voxloom::Bytes bufferBytes = services.document.document.dataBytes;
  services.playback.makeEvp();
  if (services.states.state() != voxloom::kStateMakingEvp) return 1;
  const auto evpStart = Clock::now();
  const std::int64_t roundsAtEvp = services.playback.live.roundsFilled();
  const voxloom::Bytes posAtEvp = services.playback.live.writePosition();
  long peakExtraKb = 0;
  while (Clock::now() < evpStart + std::chrono::seconds(seconds)) {
    loop.waitAndProcess(std::chrono::milliseconds(20));
    peakExtraKb = std::max(peakExtraKb, residentKb() - before - bufferBytes / 1024);
  }
  const double evpSeconds = std::chrono::duration<double>(Clock::now() - evpStart).count();
  const std::int64_t captured =
      (services.playback.live.roundsFilled() - roundsAtEvp) * bufferBytes +
      services.playback.live.writePosition() - posAtEvp;
  const bool stillRunning = services.states.state() == voxloom::kStateMakingEvp;
  controller.closeQuery();

  const double capturedSeconds = static_cast<double>(captured) / (44100.0 * 4);
  std::printf(
      "Live 44100 Hz stereo 16 bit, 10 s buffer (%d bytes, first fill after %.2f s); Make EVP "
      "From 80 ms, X-Fade on, for %.1f s:\n"
      "  playback underruns %llu\n"
      "  lost input chunks %llu (adapter overruns %llu, chunks returned with none left queued "
      "%llu)\n"
      "  captured %.2f s of audio in %.2f s of wall clock (ratio %.3f)\n"
      "  resident memory beside the buffer: peak %.2f MB (budget 2 MB)\n"
      "  Make EVP still running at the end: %s; messages shown: %d\n",
      bufferBytes, fillSeconds, evpSeconds, static_cast<unsigned long long>(out.underrunCount()),
      static_cast<unsigned long long>(in.overrunCount() + services.playback.live.starvedChunks()),
      static_cast<unsigned long long>(in.overrunCount()),
      static_cast<unsigned long long>(services.playback.live.starvedChunks()), capturedSeconds,
      evpSeconds, capturedSeconds / evpSeconds, peakExtraKb / 1024.0, stillRunning ? "yes" : "no",
      prompter.messages);
  return 0;
}
