// Time of one sound-card draw through the SDL capture adapter on SDL's dummy driver:
// median and 99th percentile, with the smallest callback and with the default one.
// Segments of 80 ms must never wait on the source, so the median should stay below 12 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/ports/prompter.h"
#include "core/ports/queued_event_loop.h"
#include "core/random/random_sources.h"
#include "platform/sdl/sdl_wave_in.h"

namespace {

class QuietPrompter : public voxloom::Prompter {
 public:
  voxloom::Answer message(const std::string& title, const std::string& text, voxloom::MessageIcon,
                          voxloom::MessageButtons) override {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return voxloom::Answer::Ok;
  }
  std::optional<std::string> chooseOpenFile(const voxloom::FileDialogSpec&) override { return {}; }
  std::optional<std::string> chooseSaveFile(const voxloom::FileDialogSpec&) override { return {}; }
  void setBusy(bool) override {}
};

void measure(std::uint16_t frames, int draws) {
  voxloom::QueuedEventLoop loop;
  voxloom::SdlWaveIn in(loop);
  in.setCallbackFrames(frames);
  voxloom::StopRequest stop;
  QuietPrompter prompter;
  voxloom::NoPlayback noPlayback;
  voxloom::RandomSources random(stop, prompter, noPlayback);
  random.soundCard.device = &in;
  random.soundCard.loop = &loop;
  random.selectRandomSource(voxloom::RandomSourceKind::SoundCard, "", "", false);
  std::vector<double> ms;
  for (int i = 0; i < draws && !stop.stopRequested; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    random.drawRandom(1000);
    const auto t1 = std::chrono::steady_clock::now();
    ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  random.stopSourceWaits();
  if (ms.size() < 2) {
    std::printf("callback %u frames: no draws\n", static_cast<unsigned>(frames));
    return;
  }
  const double first = ms.front();  // includes opening the device
  ms.erase(ms.begin());
  std::sort(ms.begin(), ms.end());
  const double median = ms[ms.size() / 2];
  const double p99 = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
  std::printf(
      "callback %4u frames: %zu draws, median %.2f ms, p99 %.2f ms, first (with open) %.2f ms;"
      " median/12 ms = %.2f\n",
      frames == 0 ? 512u : static_cast<unsigned>(frames), ms.size() + 1, median, p99, first,
      median / 12.0);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const int draws = argc > 1 ? std::atoi(argv[1]) : 300;
  measure(64, draws);
  measure(0, draws);  // the adapter's default, about 10 ms
  return 0;
}
