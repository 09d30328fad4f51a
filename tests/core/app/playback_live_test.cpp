#include <gtest/gtest.h>

#include <numeric>

#include "core/app/main_presenter.h"
#include "core/ports/queued_event_loop.h"
#include "tests/support/fake_shell.h"
#include "tests/support/manual_timer.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_in.h"
#include "tests/support/sim_wave_out.h"

namespace voxloom {
namespace {

// TFormRecParam answering with preset values; remembers the layout it was asked in.
class LiveDialog : public RecParamDialog {
 public:
  bool askRecParam(RecParamState& state) override {
    ++asked;
    askedLive = state.liveLayout;
    state.sampleRateText = rate;
    state.channelsItem = channels;
    state.resolutionItem = resolution;
    state.liveSeconds = seconds;
    return start;
  }
  std::string rate = "22050";
  int channels = 0;
  int resolution = 1;
  int seconds = 10;
  bool start = true;
  int asked = 0;
  bool askedLive = false;
};

class PlaybackLiveTest : public ::testing::Test {
 protected:
  PlaybackLiveTest() {
    services.attachPlayback(waveOut, loop, &playTimer);
    services.attachRecording(recordIn, loop, &levelTimer);
    services.attachLive(liveIn, loop);
    services.recording.engine.dialog = &dialog;
    controller.startUp({});
  }

  // Captures `count` bytes counting up from `first`, chunk by chunk, as a sound card
  // delivers them while the program runs.
  void capture(std::size_t count, std::uint8_t first = 1) {
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    const auto chunk = static_cast<std::size_t>(services.playback.live.chunkBytes());
    for (std::size_t at = 0; at < count; at += chunk) {
      const std::size_t end = std::min(count, at + chunk);
      liveIn.supply(std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                              bytes.begin() + static_cast<std::ptrdiff_t>(end)));
      loop.processPending();
    }
  }
  // Whole chunks until the buffer has been filled once.
  void fillOnce() {
    const Bytes chunk = services.playback.live.chunkBytes();
    capture(static_cast<std::size_t>((services.document.document.dataBytes / chunk + 1) * chunk));
  }
  void expectOff() {
    EXPECT_FALSE(services.states.liveMode);
    EXPECT_FALSE(services.playback.live.liveActive());
    EXPECT_FALSE(liveIn.isOpen);
    EXPECT_FALSE(services.document.document.isLoaded);
    EXPECT_EQ(services.document.document.samples, nullptr);
    EXPECT_EQ(services.states.state(), kStateIdle);
    EXPECT_TRUE(services.states.commands()[Command::Open]);
  }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  QueuedEventLoop loop;
  test::SimWaveOut waveOut{loop};
  test::SimWaveIn recordIn{loop};
  test::SimWaveIn liveIn{loop};
  test::ManualTimer playTimer;
  test::ManualTimer levelTimer;
  LiveDialog dialog;
  NoQuestionPrompt noQuestions;
  WindowCore core{prompter, shell, noQuestions};
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
};

TEST_F(PlaybackLiveTest, FirstFullBufferMakesTheLiveSignalAvailable) {
  services.playback.toggleLiveMode();
  ASSERT_TRUE(services.playback.live.liveActive()) << testing::PrintToString(prompter.log());
  EXPECT_TRUE(dialog.askedLive);
  EXPECT_TRUE(services.states.liveMode);
  EXPECT_EQ(liveIn.calls.front(), "open -1 22050");
  const AudioDocument& doc = services.document.document;
  EXPECT_EQ(doc.dataBytes, 441000);
  EXPECT_EQ(doc.frameCount, 220500);
  EXPECT_EQ(doc.nominalRate, 22050);
  EXPECT_EQ(doc.texts.windowTitle, "Initializing Live Audio Mode ...");
  EXPECT_EQ(doc.texts.applicationTitle, "Initializing Live Audio Mode ...");
  // Filling: nothing to make an EVP from yet; the file commands are off while live.
  EXPECT_FALSE(services.states.commands()[Command::MakeEvp]);
  for (Command c : {Command::Open, Command::Record, Command::Play, Command::Reverse})
    EXPECT_FALSE(services.states.commands()[c]);
  EXPECT_TRUE(services.states.commands()[Command::Live]);

  // The device hands over whole chunks only: 200 of them fall 200 bytes short of a round.
  ASSERT_EQ(services.playback.live.chunkBytes(), 2204);
  capture(200 * 2204);
  EXPECT_FALSE(doc.isLoaded);
  capture(2204, 77);  // completes the round and starts the next one
  EXPECT_TRUE(doc.isLoaded);
  EXPECT_FALSE(doc.isModified);
  EXPECT_EQ(doc.path, "Live Audio Source");
  EXPECT_EQ(doc.texts.status[0], "Sample: 22050 Hz \u00B7 16 Bit \u00B7 Mono");
  EXPECT_TRUE(services.states.commands()[Command::MakeEvp]);
  EXPECT_FALSE(services.states.commands()[Command::Play]);
  EXPECT_EQ(services.playback.live.roundsFilled(), 1);
  // Round two overwrites the start in place; the rest still holds round one.
  EXPECT_EQ(services.playback.live.writePosition(), 2004);
  EXPECT_EQ(doc.samples[0], static_cast<std::uint8_t>(77 + 200));
  EXPECT_EQ(doc.samples[2003], static_cast<std::uint8_t>(77 + 2203));
  EXPECT_EQ(doc.samples[2004], static_cast<std::uint8_t>(1 + 2004));
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(PlaybackLiveTest, BadParametersLeaveTheModeOffWithTheirMessage) {
  const struct {
    const char* rate;
    int channels;
    int seconds;
    const char* message;
  } cases[] = {
      {"", 0, 10, "Error: Invalid sample rate."},
      {"fast", 0, 10, "Error: Invalid sample rate."},
      {"0", 0, 10, "Error: Invalid sample rate."},
      {"-8000", 0, 10, "Error: Invalid sample rate."},
      {"10 000 000", 0, 10, "Error: Invalid sample rate."},
      {"192000", 1, 10000,
       "Error: A live buffer of 7680000000 bytes is too large: it can hold at most 2147483647 "
       "bytes. Choose a shorter buffer time or a lower sample rate."},
  };
  for (const auto& c : cases) {
    prompter.shown.clear();
    dialog.rate = c.rate;
    dialog.channels = c.channels;
    dialog.seconds = c.seconds;
    services.playback.toggleLiveMode();
    ASSERT_EQ(prompter.log().size(), 1u) << c.rate;
    EXPECT_EQ(prompter.log().front(), c.message);
    expectOff();
    EXPECT_TRUE(liveIn.calls.empty()) << "the device was opened for " << c.rate;
  }
  // The largest size that fits is taken: 10000 s at 48000 Hz stereo 16 bit is 1.92 GB.
  // (Not allocated here; the size rule alone decides.)
  EXPECT_EQ(liveBufferSize(10000, recordingFormat(48000, 1, 1)), 1'920'000'000);
}

TEST_F(PlaybackLiveTest, CancellingTheDialogLeavesTheModeOffAndTheOldDocumentGone) {
  services.openWavFile(test::writeTempFile("live-old.wav", test::simpleWav(1, 16, 8000, 64)));
  ASSERT_TRUE(services.document.document.isLoaded);
  dialog.start = false;
  services.playback.toggleLiveMode();
  EXPECT_EQ(dialog.asked, 1);
  expectOff();
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(PlaybackLiveTest, RefusedDiscardAsksNoParameters) {
  services.openWavFile(test::writeTempFile("live-keep.wav", test::simpleWav(1, 16, 8000, 64)));
  services.document.document.markModified();
  prompter.answers.push_back(Answer::Cancel);
  services.playback.toggleLiveMode();
  EXPECT_EQ(dialog.asked, 0);
  EXPECT_FALSE(services.states.liveMode);
  EXPECT_TRUE(services.document.document.isLoaded);  // kept
}

TEST_F(PlaybackLiveTest, DeviceOpenFailureShowsTheDeviceText) {
  liveIn.failOpen(kWaveBadDevice, "No input device.");
  services.playback.toggleLiveMode();
  EXPECT_EQ(prompter.log(), std::vector<std::string>{"Record In Error: No input device."});
  expectOff();
}

TEST_F(PlaybackLiveTest, SwitchingOffDuringCaptureFreesTheBufferAndIgnoresLateChunks) {
  services.playback.toggleLiveMode();
  capture(30000);
  services.playback.toggleLiveMode();  // off, the reset's returns still in the loop
  EXPECT_FALSE(services.states.liveMode);
  loop.processPending();
  expectOff();
  EXPECT_EQ(liveIn.calls.back(), "close");
  // On again at once: a new round from the start, nothing of the old one.
  services.playback.toggleLiveMode();
  ASSERT_TRUE(services.playback.live.liveActive());
  EXPECT_EQ(services.playback.live.writePosition(), 0);
  fillOnce();
  EXPECT_TRUE(services.document.document.isLoaded);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(PlaybackLiveTest, LostDeviceStopsMakeEvpAndSwitchesTheModeOffOnce) {
  services.playback.toggleLiveMode();
  fillOnce();
  services.playback.makeEvp();
  ASSERT_EQ(services.states.state(), kStateMakingEvp) << testing::PrintToString(prompter.log());
  waveOut.completeNext();
  loop.processPending();
  liveIn.loseDevice(kWaveDeviceLost, "The input device was removed.");
  loop.processPending();
  EXPECT_EQ(prompter.log(),
            std::vector<std::string>{"Record In Error: The input device was removed."});
  EXPECT_FALSE(services.states.liveMode);
  EXPECT_EQ(services.document.document.samples, nullptr);
  waveOut.completeAll();  // the stopped run drains
  loop.processPending();
  EXPECT_FALSE(waveOut.isOpen);
  expectOff();
}

TEST_F(PlaybackLiveTest, ClosingWhileMakeEvpReadsTheLiveBuffer) {
  services.playback.toggleLiveMode();
  fillOnce();
  services.playback.makeEvp();
  ASSERT_EQ(services.states.state(), kStateMakingEvp);
  capture(20000);  // the round goes on under the running EVP
  EXPECT_TRUE(controller.closeQuery());
  EXPECT_FALSE(waveOut.isOpen);
  EXPECT_FALSE(liveIn.isOpen);
  EXPECT_FALSE(services.states.liveMode);
  EXPECT_TRUE(services.document.folders.lastWavFile.empty());
  EXPECT_TRUE(prompter.shown.empty());  // a live signal is never offered for saving
}

TEST_F(PlaybackLiveTest, FeedbackFollowsTheBlockNowSoundingNotTheOneQueued) {
  services.openWavFile(test::writeTempFile("live-fb.wav", test::simpleWav(1, 16, 8000, 64000)));
  std::vector<int> shown;
  services.playback.feedback.window.visible = true;
  services.playback.feedback.segmentChanged = [&] {
    shown.push_back(services.playback.feedback.symbolCode);
  };
  services.playback.makeEvp();
  ASSERT_EQ(services.states.state(), kStateMakingEvp);
  ASSERT_EQ(shown.size(), 1u);  // the first block, shown as the ring starts
  const auto codeOf = [&](std::size_t i) {
    return feedbackSymbolCode(static_cast<std::int32_t>(waveOut.written[i].user));
  };
  EXPECT_EQ(shown[0], codeOf(0));
  const std::size_t ring = waveOut.written.size();
  waveOut.completeNext();
  loop.processPending();
  // Block 0 has finished: block 1 sounds now, not the refill just queued behind it.
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], codeOf(1));
  EXPECT_EQ(waveOut.written.size(), ring + 1);
  services.playback.stop();
  waveOut.completeAll();
  loop.processPending();
}

TEST_F(PlaybackLiveTest, SpeedOpensTheDeviceAtTheAdjustedRateAndChangesItWhilePlaying) {
  services.openWavFile(test::writeTempFile("speed.wav", test::simpleWav(1, 16, 22050, 64000)));
  services.playback.changeSpeedSlider(51);  // 99 % while idle: no device to change
  EXPECT_EQ(waveOut.playbackRate, 0x10000u);
  services.playback.makeEvp();
  EXPECT_EQ(waveOut.openedFormat.samplesPerSec, 21829u);
  services.playback.changeSpeedSlider(25);  // 150 % while making the EVP
  EXPECT_EQ(waveOut.playbackRate, 98304u);
  services.playback.stop();  // idle from here on, though blocks are still out
  services.playback.changeSpeedSlider(0);
  EXPECT_EQ(waveOut.playbackRate, 98304u);
  waveOut.completeAll();
  loop.processPending();
  services.playback.play();
  EXPECT_EQ(waveOut.openedFormat.samplesPerSec, 44100u);
}

}  // namespace
}  // namespace voxloom
