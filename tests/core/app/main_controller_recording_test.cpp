#include <gtest/gtest.h>

#include "core/app/main_controller.h"
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

class MainControllerRecordingTest : public ::testing::Test {
 protected:
  MainControllerRecordingTest() {
    controller.attachPlayback(waveOut, loop, &playTimer);
    controller.attachRecording(waveIn, loop, &levelTimer);
    controller.recording.dialog = &dialog;
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
  MainController controller{prompter, shell};
};

TEST_F(MainControllerRecordingTest, RecordEntersStateFiveAndStopEndsIt) {
  ASSERT_TRUE(controller.commands[Command::Record]);
  controller.startRecording();
  EXPECT_EQ(controller.commandState, kStateRecording);
  EXPECT_FALSE(controller.commands[Command::Record]);
  EXPECT_FALSE(controller.commands[Command::Play]);
  EXPECT_TRUE(controller.commands[Command::Stop]);

  waveIn.supply(std::vector<std::uint8_t>(4410, 0x10));
  loop.processPending();
  controller.stopPlayback();  // F8
  loop.processPending();
  EXPECT_FALSE(controller.recording.isRecording());
  EXPECT_EQ(controller.commandState, kStateIdle);
  EXPECT_TRUE(controller.document.isLoaded);
  EXPECT_EQ(controller.document.dataBytes, 4410);
  // A recording is new and unsaved: Save is enabled, Record again too.
  EXPECT_TRUE(controller.commands[Command::Save]);
  EXPECT_TRUE(controller.commands[Command::Record]);
}

TEST_F(MainControllerRecordingTest, RecordAsksAboutAChangedDocumentFirst) {
  controller.openWavFile(test::writeTempFile("rec-first.wav", test::simpleWav(1, 16, 8000, 64)));
  controller.document.markModified();
  prompter.answers.push_back(Answer::Cancel);
  controller.startRecording();
  EXPECT_FALSE(controller.recording.isRecording());
  EXPECT_TRUE(controller.document.isLoaded);  // kept as it was
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(MainControllerRecordingTest, ClosingEndsTheRecordingAndOffersToSaveIt) {
  controller.startRecording();
  waveIn.supply(std::vector<std::uint8_t>(4410, 0x10));
  loop.processPending();
  prompter.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(controller.closeQuery());
  EXPECT_FALSE(controller.recording.isRecording());
  ASSERT_FALSE(prompter.shown.empty());
  EXPECT_EQ(prompter.shown.back().title, "Warning");
  EXPECT_TRUE(controller.document.isModified);
}

}  // namespace
}  // namespace voxloom
