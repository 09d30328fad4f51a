// The manual sweep and internet sources as the main window runs them: the slider window,
// the mute rule, closing the window during an EVP, and the caption during a request.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "core/app/main_presenter.h"
#include "core/ports/queued_event_loop.h"
#include "tests/support/fake_http_client.h"
#include "tests/support/fake_shell.h"
#include "tests/support/manual_timer.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_out.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

class RandomSourceControllerTest : public ::testing::Test {
 protected:
  RandomSourceControllerTest() : core(prompter, shell, noQuestions) {
    services.attachPlayback(device, loop, &timer);
    std::vector<int> samples(40000);
    for (std::size_t i = 0; i < samples.size(); ++i)
      samples[i] = static_cast<int>((i * 7919) % 2001) - 1000;
    test::makeSignal(services.document.document, 1, 16, 8000, samples);
    services.playback.parts.options.duration.value = 50;
    services.states.set(kStateIdle);
  }
  RandomSources& random() { return services.playback.parts.random; }
  void drain() {
    device.completeAll();
    loop.processPending();
  }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  QueuedEventLoop loop;
  test::SimWaveOut device{loop};
  test::ManualTimer timer;
  NoQuestionPrompt noQuestions;
  WindowCore core;
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
};

TEST_F(RandomSourceControllerTest, AStillSliderIsMutedAfterTheFirstSegmentOnlyWithMuteOn) {
  random().selectRandomSource(RandomSourceKind::ManualSweep, "", "", false);
  EXPECT_TRUE(random().menu.showManualRandom);
  random().manualPosition = 1234567890;
  for (const bool mute : {true, false}) {
    random().manualMute = mute;
    device.written.clear();
    services.playback.makeEvp();
    ASSERT_EQ(services.states.state(), kStateMakingEvp);
    ASSERT_GE(device.written.size(), 2u);
    EXPECT_FALSE(device.written[0].bytes.empty());
    for (std::size_t i = 1; i < device.written.size(); ++i) {
      if (mute) {
        const std::vector<std::uint8_t> silence(device.written[0].bytes.size(), 0);
        EXPECT_EQ(device.written[i].bytes, silence) << i;
      } else {
        EXPECT_EQ(device.written[i].bytes, device.written[0].bytes) << i;
      }
    }
    services.playback.stop();
    drain();
    ASSERT_EQ(services.states.state(), kStateIdle);
  }
}

// Each returned block brings exactly one new one, or a resting slider spins.
TEST_F(RandomSourceControllerTest, AMutedRunIsPacedByTheDeviceWithSilenceOfEachFormat) {
  random().selectRandomSource(RandomSourceKind::ManualSweep, "", "", false);
  random().manualMute = true;
  for (const auto& [bits, zero] : {std::pair{8, 0x80}, std::pair{16, 0x00}}) {
    test::makeSignal(services.document.document, 1, bits, 8000, std::vector<int>(40000, 50));
    device.written.clear();
    services.playback.makeEvp();
    ASSERT_EQ(services.states.state(), kStateMakingEvp);
    const std::size_t queued = device.written.size();
    for (int i = 0; i < 5; ++i) {
      ASSERT_TRUE(device.completeNext());
      loop.processPending();
    }
    EXPECT_EQ(device.written.size(), queued + 5) << bits;
    const auto& last = device.written.back().bytes;
    EXPECT_EQ(std::count(last.begin(), last.end(), zero), device.written[0].bytes.size()) << bits;
    services.playback.stop();
    drain();
    ASSERT_EQ(services.states.state(), kStateIdle);
  }
}

TEST_F(RandomSourceControllerTest, ClosingTheSliderStopsAnEvpButOnlyHidesItWhenIdle) {
  random().selectRandomSource(RandomSourceKind::ManualSweep, "", "", false);
  services.playback.closeManualRandom();
  EXPECT_FALSE(random().menu.showManualRandom);
  EXPECT_EQ(services.states.state(), kStateIdle);
  EXPECT_EQ(random().randomKind, RandomSourceKind::ManualSweep);

  services.playback.makeEvp();  // shows the window again
  EXPECT_TRUE(random().menu.showManualRandom);
  ASSERT_EQ(services.states.state(), kStateMakingEvp);
  services.playback.closeManualRandom();
  drain();
  EXPECT_EQ(services.states.state(), kStateIdle);
  EXPECT_EQ(random().randomKind, RandomSourceKind::ManualSweep);

  // Another source closes the window.
  random().selectRandomSource(RandomSourceKind::PseudoRng, "", "", false);
  EXPECT_FALSE(random().menu.showManualRandom);
}

TEST_F(RandomSourceControllerTest, TheLevelWindowComesBackWithEveryEvpOfTheSoundCard) {
  random().selectRandomSource(RandomSourceKind::SoundCard, "", "", false);
  services.recording.engine.level.setVisible(false);  // closed by the user
  services.playback.makeEvp();
  EXPECT_TRUE(services.recording.engine.level.state.visible);
  services.playback.stop();
  drain();
}

TEST_F(RandomSourceControllerTest, TheLevelWindowOpensAtStartUpWithAStoredSoundCard) {
  const std::string dir = test::tempDir() + "/stored_source";
  std::filesystem::create_directories(dir);
  services.settings.path = dir + "/s.ini";
  for (const auto& [stored, shown] : {std::pair{"1", true}, std::pair{"0", false}}) {
    std::ofstream(services.settings.path) << "[RANDOMSOURCE]\nRandomSource=" << stored << "\n";
    services.recording.engine.level.setVisible(false);
    controller.enterIdle();
    EXPECT_EQ(services.recording.engine.level.state.visible, shown) << stored;
  }
}

TEST_F(RandomSourceControllerTest, TheCaptionTellsOfTheRequestAndEveryEvpFetchesAfresh) {
  test::FakeHttpClient http;
  random().http = &http;
  random().selectRandomSource(RandomSourceKind::Internet, "", "http://rng.test/%max%", false);
  services.document.document.texts.windowTitle = "Voxloom - take.wav";
  std::vector<std::string> during;
  http.onGet = [&] {
    during = {services.document.document.texts.windowTitle,
              services.document.document.texts.applicationTitle};
  };
  std::string numbers;
  for (int i = 0; i < 1024; ++i) numbers += std::to_string(i * 37) + "\n";
  http.replies = {test::FakeHttpClient::ok(numbers), test::FakeHttpClient::ok(numbers)};

  services.playback.makeEvp();
  ASSERT_EQ(services.states.state(), kStateMakingEvp);
  EXPECT_EQ(during, (std::vector<std::string>{kFetchingCaption, kFetchingCaption}));
  EXPECT_EQ(services.document.document.texts.windowTitle, "Voxloom - take.wav");
  EXPECT_EQ(services.document.document.texts.applicationTitle, "Voxloom - take.wav");
  services.playback.stop();
  drain();
  EXPECT_EQ(http.urls.size(), 1u);  // one batch serves the whole short run

  services.playback.makeEvp();  // "Retrieve new RN for each EVP" is on
  EXPECT_EQ(http.urls.size(), 2u);
  services.playback.stop();
  drain();
  random().menu.recNew = false;
  services.playback.makeEvp();
  EXPECT_EQ(http.urls.size(), 2u);  // the rest of the batch serves this EVP
  services.playback.stop();
  drain();
  EXPECT_TRUE(prompter.shown.empty());
}

// A stored random number file that is a FIFO or a folder is refused at Make EVP (F6).
// Should the open wait for a writer, the thread opens the writing end after 5 s, so the
// test fails on its time instead of hanging.
TEST_F(RandomSourceControllerTest, AStoredFileThatIsAFifoOrFolderIsRefusedAtMakeEvp) {
  const std::string dir = test::tempDir() + "/stored_fifo", fifo = dir + "/n.pcm";
  std::filesystem::create_directories(dir);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::seconds(5));
    ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));  // opens only for a waiting reader
  });
  for (const auto& [path, kind] :
       {std::pair{fifo, "a FIFO, not a regular file."}, std::pair{dir, "a folder, not a file."}}) {
    std::ofstream(dir + "/s.ini") << "[RANDOMSOURCE]\nRandomSource=2\nRandomSourceFile=" << path;
    services.settings.path = dir + "/s.ini";
    services.loadSettings();
    prompter.shown.clear();
    const auto start = std::chrono::steady_clock::now();
    services.playback.makeEvp();
    drain();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(services.states.state(), kStateIdle);
    EXPECT_EQ(prompter.log(),
              std::vector<std::string>{"Error: The random source file '" + path + "' is " + kind});
  }
  release.join();
}

}  // namespace
}  // namespace voxloom
