// The live source and the speed control on the real SDL adapters, through the disk
// driver. VOXLOOM_LIVE_TEST_SECONDS sets how long Make EVP runs on the live buffer
// (default 2; the ThreadSanitizer run uses 30).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "core/app/main_presenter.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/sdl/sdl_wave_out.h"
#include "tests/platform/disk_audio.h"
#include "tests/support/fake_shell.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class OneSecondMono : public RecParamDialog {
 public:
  bool askRecParam(RecParamState& state) override {
    state.sampleRateText = "22050";
    state.channelsItem = 0;
    state.resolutionItem = 1;
    state.liveSeconds = 1;
    return true;
  }
};

int liveSeconds() {
  const char* text = std::getenv("VOXLOOM_LIVE_TEST_SECONDS");
  const int seconds = text != nullptr ? std::atoi(text) : 2;
  return seconds > 0 ? seconds : 2;
}

class LiveDiskTest : public ::testing::Test {
 protected:
  LiveDiskTest() {
    services.attachPlayback(out, loop, nullptr);
    services.attachLive(in, loop);
    services.playback.live.dialog = &dialog;
    controller.startUp({});
  }

  DiskAudio disk;  // first: SDL must start with the disk driver
  QueuedEventLoop loop;
  SdlWaveOut out{loop};
  SdlWaveIn in{loop};
  ScriptedPrompter prompter;
  FakeShell shell;
  OneSecondMono dialog;
  NoQuestionPrompt noQuestions;
  WindowCore core{prompter, shell, noQuestions};
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
};

TEST_F(LiveDiskTest, MakeEvpCutsFromTheLiveBufferWhileTheInputRefillsIt) {
  const int seconds = liveSeconds();
  const std::vector<std::uint8_t> input = patternBytes(44100 * (seconds + 4), 9);
  disk.setInput(input);
  SegmentOptions& options = services.playback.parts.options;
  options.crossFade.checked = true;

  ASSERT_TRUE(services.playback.setLiveMode(true)) << testing::PrintToString(prompter.log());
  const AudioDocument& doc = services.document.document;
  ASSERT_TRUE(loop.processUntil([&] { return doc.isLoaded; }, 10s));
  // Round two has begun at the start; the rest still holds round one, byte for byte.
  const Bytes at = services.playback.live.writePosition();
  ASSERT_EQ(doc.dataBytes, 44100);
  for (Bytes i = 0; i < doc.dataBytes; ++i) {
    const std::size_t source = static_cast<std::size_t>(i < at ? doc.dataBytes + i : i);
    ASSERT_EQ(doc.samples[static_cast<std::size_t>(i)], input[source]) << i;
  }

  ASSERT_TRUE(services.states.commands()[Command::MakeEvp]);
  services.playback.makeEvp();
  ASSERT_EQ(services.states.state(), kStateMakingEvp);
  const std::int64_t roundsBefore = services.playback.live.roundsFilled();
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  while (Clock::now() < end) loop.waitAndProcess(20ms);
  EXPECT_EQ(services.states.state(), kStateMakingEvp);
  EXPECT_GE(services.playback.live.roundsFilled(), roundsBefore + seconds / 2);
  // Closing while the EVP still reads the buffer: everything stops and closes.
  EXPECT_TRUE(controller.closeQuery());
  EXPECT_FALSE(services.playback.live.liveActive());
  EXPECT_FALSE(services.playback.parts.engine()->isOpen());
  EXPECT_TRUE(prompter.shown.empty()) << testing::PrintToString(prompter.log());
  EXPECT_EQ(in.overrunCount(), 0u);
  EXPECT_GT(disk.readOutput().size(), 0u);
}

// Play the same 1 s signal at 100 % and at 200 %: the device is opened at twice the rate,
// so the same bytes last half as long.
TEST_F(LiveDiskTest, TwiceTheSpeedPlaysTheSameBytesInHalfTheTime) {
  AudioDocument& doc = services.document.document;
  doc.format = pcmFormat(1, 22050, 16);
  doc.allocateSamples(44100);
  const std::vector<std::uint8_t> signal = patternBytes(44100, 4);
  std::copy(signal.begin(), signal.end(), doc.samples.get());
  doc.setUpDocument("speed.wav", true);
  services.states.set(kStateIdle);

  auto play = [&](int position) {
    services.playback.changeSpeedSlider(position);
    const auto start = Clock::now();
    services.playback.play();
    EXPECT_EQ(services.states.state(), kStatePlaying);
    EXPECT_TRUE(loop.processUntil([&] { return services.states.state() == kStateIdle; }, 10s));
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  const double normal = play(50);
  disk.setOutputPath(disk.outputPath() + ".fast");
  const double fast = play(0);  // 200 %
  const std::vector<std::uint8_t> written = disk.readOutput();
  EXPECT_GE(withoutLeadingSilence(written, 0).size(), signal.size());
  // The device clock runs at 44100 Hz: 1 s of signal takes 0.5 s (loaded machines add
  // to both runs, so only the ratio is held to a margin).
  EXPECT_LT(fast, normal * 0.8) << normal << " s at 100 %, " << fast << " s at 200 %";
}

// Opened at 100 %, then 200 % while it plays: the adapter resamples what has not been
// played, so the device takes about half the bytes for the same signal.
TEST_F(LiveDiskTest, ASpeedChangeWhilePlayingIsHeardAtOnce) {
  AudioDocument& doc = services.document.document;
  doc.format = pcmFormat(1, 22050, 16);
  const std::vector<std::uint8_t> signal = patternBytes(4 * 44100, 5);
  doc.allocateSamples(static_cast<Bytes>(signal.size()));
  std::copy(signal.begin(), signal.end(), doc.samples.get());
  doc.setUpDocument("speed.wav", true);
  services.states.set(kStateIdle);

  services.playback.play();
  ASSERT_EQ(services.states.state(), kStatePlaying);
  services.playback.changeSpeedSlider(0);  // 200 %
  ASSERT_TRUE(loop.processUntil([&] { return services.states.state() == kStateIdle; }, 10s));
  const std::size_t played = withoutLeadingSilence(disk.readOutput(), 0).size();
  if (const char* keep = std::getenv("VOXLOOM_KEEP_SPEED_OUTPUT")) {
    std::ofstream(keep, std::ios::binary)
        .write(reinterpret_cast<const char*>(disk.readOutput().data()),
               static_cast<std::streamsize>(disk.readOutput().size()));
  }
  EXPECT_LT(played, signal.size() * 65 / 100);
  EXPECT_GT(played, signal.size() * 40 / 100);
}

}  // namespace
}  // namespace voxloom::test
