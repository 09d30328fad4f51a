#include <gtest/gtest.h>

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

class StartDialog : public RecParamDialog {
 public:
  bool askRecParam(RecParamState& state) override {
    state.normalize = false;
    return true;
  }
};

class RecordingServiceTest : public ::testing::Test {
 protected:
  RecordingServiceTest() {
    services.attachPlayback(waveOut, loop, &playTimer);
    services.attachRecording(waveIn, loop, &levelTimer);
    services.recording.engine.dialog = &dialog;
    controller.startUp({});
  }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  QueuedEventLoop loop;
  test::SimWaveOut waveOut{loop};
  test::SimWaveIn waveIn{loop};
  test::ManualTimer playTimer;
  test::ManualTimer levelTimer;
  StartDialog dialog;
  NoQuestionPrompt noQuestions;
  WindowCore core{prompter, shell, noQuestions};
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
};

TEST_F(RecordingServiceTest, RecordEntersStateFiveAndStopEndsIt) {
  ASSERT_TRUE(services.states.commands()[Command::Record]);
  services.recording.start();
  EXPECT_EQ(services.states.state(), kStateRecording);
  EXPECT_FALSE(services.states.commands()[Command::Record]);
  EXPECT_FALSE(services.states.commands()[Command::Play]);
  EXPECT_TRUE(services.states.commands()[Command::Stop]);

  waveIn.supply(std::vector<std::uint8_t>(4410, 0x10));
  loop.processPending();
  services.playback.stop();  // F8
  loop.processPending();
  EXPECT_FALSE(services.recording.engine.isRecording());
  EXPECT_EQ(services.states.state(), kStateIdle);
  EXPECT_TRUE(services.document.document.isLoaded);
  EXPECT_EQ(services.document.document.dataBytes, 4410);
  // A recording is new and unsaved: Save is enabled, Record again too.
  EXPECT_TRUE(services.states.commands()[Command::Save]);
  EXPECT_TRUE(services.states.commands()[Command::Record]);
}

TEST_F(RecordingServiceTest, RecordAsksAboutAChangedDocumentFirst) {
  services.openWavFile(test::writeTempFile("rec-first.wav", test::simpleWav(1, 16, 8000, 64)));
  services.document.document.markModified();
  prompter.answers.push_back(Answer::Cancel);
  services.recording.start();
  EXPECT_FALSE(services.recording.engine.isRecording());
  EXPECT_TRUE(services.document.document.isLoaded);  // kept as it was
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(RecordingServiceTest, ClosingEndsTheRecordingAndOffersToSaveIt) {
  services.recording.start();
  waveIn.supply(std::vector<std::uint8_t>(4410, 0x10));
  loop.processPending();
  prompter.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(controller.closeQuery());
  EXPECT_FALSE(services.recording.engine.isRecording());
  ASSERT_FALSE(prompter.shown.empty());
  EXPECT_EQ(prompter.shown.back().title, "Warning");
  EXPECT_TRUE(services.document.document.isModified);
}

}  // namespace
}  // namespace voxloom
