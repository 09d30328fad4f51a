// Real-time Make EVP through the SDL adapter (run with SDL_AUDIODRIVER=dummy): counts the
// adapter's underruns and the time from the command to the first sound handed to SDL.
// Usage: make_evp_realtime [SECONDS] (default 60), for "From" 5 ms and 80 ms, X-Fade on;
// then 5 ms again with the waveform view's work on the same thread: its summary built
// meanwhile, the highlight fed by every block, and a 1920-column redraw's envelope every
// 30 ms, as the window does.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/app/command_state.h"
#include "core/engine/playback_engine.h"
#include "core/ports/queued_event_loop.h"
#include "core/random/random_sources.h"
#include "core/view/signal_view.h"
#include "platform/sdl/sdl_wave_out.h"

namespace {

using Clock = std::chrono::steady_clock;

// Nothing is muted and nothing records while the benchmark plays.
struct NothingMuted final : voxloom::PlaybackPeers {
  bool muteRepeats() override { return false; }
  void resetRecording() override {}
};

class SilentPrompter : public voxloom::Prompter {
 public:
  voxloom::Answer message(const std::string& title, const std::string& text, voxloom::MessageIcon,
                          voxloom::MessageButtons) override {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return voxloom::Answer::Cancel;
  }
  std::optional<std::string> chooseOpenFile(const voxloom::FileDialogSpec&) override { return {}; }
  std::optional<std::string> chooseSaveFile(const voxloom::FileDialogSpec&) override { return {}; }
  void setBusy(bool) override {}
};

void makeSignal(voxloom::AudioDocument& doc, int seconds) {
  const int rate = 44100;
  doc.format = {1, 2, rate, rate * 4, 4, 16, 0};
  doc.nominalRate = rate;
  doc.frameBytes = 4;
  doc.frameCount = rate * seconds;
  doc.allocateSamples(doc.frameCount * 4);
  for (voxloom::Frames i = 0; i < doc.frameCount; ++i) {
    const int v = static_cast<int>(9000 * std::sin(i * 0.013) + (i * 7919 % 4001) - 2000);
    doc.putSample(doc.channelBase(0), i, v);
    doc.putSample(doc.channelBase(1), i, -v);
  }
  doc.isLoaded = true;
}

int run(int fromMs, int seconds, bool withView = false) {
  voxloom::AudioDocument doc;
  makeSignal(doc, 60);
  voxloom::SegmentTable table;
  voxloom::SegmentOptions options;
  options.duration.value = fromMs;
  options.crossFade.checked = true;
  voxloom::updateSegmentControls(options, 0, 0);
  voxloom::StopRequest stop;
  SilentPrompter prompter;
  voxloom::NoPlayback noPlayback;
  voxloom::RandomSources random(stop, prompter, noPlayback);
  random.pseudo.seedPseudoRandom(1);
  voxloom::RendererState renderer;
  voxloom::QueuedEventLoop loop;
  voxloom::SdlWaveOut device(loop);
  voxloom::PlayTimeControls playTime;
  int state = voxloom::kStateIdle;
  NothingMuted peers;
  voxloom::NoEvpCapture capture;
  std::function<void(int)> refreshView;  // the commands' refresh, with the view
  voxloom::PlaybackEngine engine(
      device, prompter, {table, options, doc, random, renderer}, state,
      [&](voxloom::RunEvent event) {
        state = voxloom::commandStateAfter(event, state);
        if (event != voxloom::RunEvent::Stopping && refreshView) refreshView(state);
      },
      playTime, peers, capture);
  Clock::time_point firstBack{};
  std::int64_t blocks = 0;
  engine.callouts.showSegment = [&](std::uintptr_t) {
    if (++blocks == 2) firstBack = Clock::now();  // the first call comes from the command
  };
  voxloom::SignalView view(doc, state);
  std::vector<voxloom::ColumnRange> columns;
  double slowestDrawMs = 0;
  if (withView) {
    view.axis.setWidth(1920);
    view.axis.setFrameCount(doc.frameCount);
    view.update();  // the summary's worker starts
    engine.blockSounding = [&](voxloom::Frames s, voxloom::Frames l) {
      view.blockStarted(s, l, doc.nominalRate);
    };
    refreshView = [&](int s) { view.commandStateChanged(s); };
  }
  const Clock::time_point start = Clock::now();
  if (engine.makeEvp() != 0) return 1;
  if (withView) view.commandStateChanged(state);
  const Clock::time_point end = start + std::chrono::seconds(seconds);
  Clock::time_point nextDraw = start;
  while (Clock::now() < end) {
    loop.waitAndProcess(std::chrono::milliseconds(withView ? 5 : 20));
    if (!withView || Clock::now() < nextDraw) continue;
    nextDraw += std::chrono::milliseconds(30);
    const Clock::time_point drawStart = Clock::now();
    view.update();
    if (const auto s = view.sounding()) view.axis.reveal(s->cursor);
    for (int c = 0; c < 2; ++c)
      voxloom::columnEnvelope(view.axis, view.summary(), view.samples(), c, columns);
    const std::string text = view.runText();
    slowestDrawMs = std::max(
        slowestDrawMs, std::chrono::duration<double, std::milli>(Clock::now() - drawStart).count());
  }
  engine.stopPlayback();
  loop.processUntil([&] { return !engine.isOpen(); }, std::chrono::seconds(2));
  const double firstMs = std::chrono::duration<double, std::milli>(firstBack - start).count();
  const double soundMs =
      std::chrono::duration<double, std::milli>(device.firstSoundAt() - start).count();
  if (withView) std::printf("With the view (slowest envelope %.2f ms): ", slowestDrawMs);
  std::printf(
      "From %3d ms, X-Fade: %d slots, %lld blocks in %d s, underruns %llu, first sound handed "
      "to SDL %.1f ms after the command (first block returned after %.1f ms)\n",
      fromMs, engine.bufferCount(), static_cast<long long>(blocks), seconds,
      static_cast<unsigned long long>(device.underrunCount()), soundMs, firstMs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  if (std::getenv("SDL_AUDIODRIVER") == nullptr) setenv("SDL_AUDIODRIVER", "dummy", 1);
  return run(5, seconds) | run(80, seconds) | run(5, seconds, true);
}
