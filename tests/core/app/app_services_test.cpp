#include "core/app/app_services.h"

#include <gtest/gtest.h>
#include <algorithm>

#include "tests/core/app/app_test_support.h"
#include "tests/support/fake_shell.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

using test::RecordingView;
using test::wavFile;

class AppServicesTest : public ::testing::Test {
 protected:
  AppServicesTest() : services(prompter, shell, noQuestions) { services.relay.attach(&view); }

  void loadModified(const std::string& name) { test::loadModified(services, name); }
  bool enabled(Command c) const { return services.states.commands()[c]; }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  RecordingView view;
  NoQuestionPrompt noQuestions;
  AppServices services;
};

TEST_F(AppServicesTest, LiveInputIgnoresWavAndSessionFilesButNotRandomFiles) {
  services.states.liveMode = true;
  services.openFileByType(wavFile("a.wav"));
  services.openFileByType("/s/x.evp");
  services.openFileByType("/r/NOISE.PCM");
  EXPECT_FALSE(services.document.document.isLoaded);
  EXPECT_EQ(services.document.folders.session, "");
  EXPECT_EQ(services.document.folders.randomFile, "/r");
  EXPECT_TRUE(prompter.shown.empty());
  // The dropped file is the random source now; it is read at the first draw.
  const RandomSources& random = services.playback.parts.random;
  EXPECT_EQ(random.randomKind, RandomSourceKind::RandomFile);
  EXPECT_EQ(random.randomFilePath, "/r/NOISE.PCM");
  EXPECT_EQ(random.menu.fileCaption, "F&ile [NOISE.PCM] ...");
  EXPECT_NE(std::count(view.seen.begin(), view.seen.end(), ViewAspect::Commands), 0);
}

TEST_F(AppServicesTest, OpenDialogUsesTheWavFolderOnlyWhenAsked) {
  services.document.folders.sourceWav = "/music";
  services.openWavFile("");
  ASSERT_EQ(prompter.openDialogs.size(), 1u);
  EXPECT_EQ(prompter.openDialogs[0].title, "Open WAV file...");
  EXPECT_EQ(prompter.openDialogs[0].filter, "WAV Files (*.wav)|*.wav|All Files (*.*)|*.*");
  EXPECT_EQ(prompter.openDialogs[0].initialFolder, "");
  EXPECT_EQ(services.document.folders.sourceWav, "/music");  // cancelled: nothing changes

  services.document.folders.useSeparate = true;
  const std::string file = wavFile("picked.wav");
  prompter.openFiles.push_back(file);
  services.openWavFile("");
  EXPECT_EQ(prompter.openDialogs[1].initialFolder, "/music");
  EXPECT_EQ(services.document.folders.sourceWav, test::tempDir());
  EXPECT_TRUE(services.document.document.isLoaded);
}

TEST_F(AppServicesTest, LoadFailuresShowTheirMessages) {
  const std::string missing = test::tempDir() + "/missing.wav";
  EXPECT_EQ(services.readWavFile(missing), 1);
  EXPECT_EQ(prompter.log().back(), "Error: Can't open WAV file '" + missing + "'.");

  EXPECT_EQ(services.readWavFile(test::writeTempFile("empty.wav", {})), 1);
  EXPECT_EQ(prompter.log().back(), "Error in RIFF file: Cannot find 'RIFF' chunk.");
  EXPECT_EQ(prompter.shown.back().icon, MessageIcon::Stop);

  EXPECT_EQ(services.readWavFile(test::writeTempFile("24.wav", test::simpleWav(1, 24, 8000, 6))),
            1);
  EXPECT_EQ(prompter.shown.back().title, "Error");
  EXPECT_EQ(prompter.shown.back().text.rfind("This WAV file is not a standard PCM file.", 0), 0u);
  EXPECT_FALSE(services.document.document.isLoaded);
  EXPECT_EQ(services.document.document.texts.status[0], "Sample:");
  EXPECT_EQ(services.states.state(), kStateIdle);
}

TEST_F(AppServicesTest, CueCountMismatchIsToldButTheSignalLoads) {
  test::RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt", test::RiffBuilder::fmtBody(1, 8, 8000));
  b.chunk("data", {1, 2}).chunkWithSize("cue", 99, test::RiffBuilder::cueBody({{1, 0}}));
  EXPECT_EQ(services.readWavFile(test::writeTempFile("m.wav", b.closeRiff().bytes)), 0);
  EXPECT_EQ(prompter.log(),
            std::vector<std::string>{
                "Error: Number of found Cue points doesn't match size of cue chunk."});
  EXPECT_TRUE(services.document.document.isLoaded);
  EXPECT_EQ(services.document.document.cueCount(), 0);
}

TEST_F(AppServicesTest, ATruncatedDataChunkWarnsAndLoadsWhatIsThere) {
  test::RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt", test::RiffBuilder::fmtBody(1, 16, 8000));
  b.chunkWithSize("data", 1000, std::vector<std::uint8_t>(40, 7));
  EXPECT_EQ(services.readWavFile(test::writeTempFile("short.wav", b.closeRiff().bytes)), 0);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Warning);
  EXPECT_EQ(prompter.log()[0],
            "Warning: This WAV file is shorter than its header says: 40 of 1000 sample bytes "
            "were loaded.");
  EXPECT_TRUE(services.document.document.isLoaded);
  EXPECT_EQ(services.document.document.dataBytes, 40);

  // A complete file says nothing.
  prompter.shown.clear();
  EXPECT_EQ(services.readWavFile(wavFile("whole.wav")), 0);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(AppServicesTest, CommandStateFollowsTheDocument) {
  services.states.set(kStateIdle);
  EXPECT_TRUE(enabled(Command::Open));
  EXPECT_FALSE(enabled(Command::Save));

  ASSERT_EQ(services.readWavFile(wavFile("a.wav")), 0);
  EXPECT_FALSE(enabled(Command::Save));  // loaded but unchanged
  services.document.document.markModified();
  services.states.set(kStateIdle);
  EXPECT_TRUE(enabled(Command::Save));

  services.states.liveMode = true;
  services.states.set(kStateIdle);
  EXPECT_FALSE(enabled(Command::Open));
  EXPECT_FALSE(enabled(Command::Save));
  EXPECT_EQ(view.seen.back(), ViewAspect::Commands);
}

TEST_F(AppServicesTest, SaveDoesNothingForAnUnchangedDocument) {
  ASSERT_EQ(services.readWavFile(wavFile("a.wav")), 0);
  EXPECT_EQ(services.saveDocument(false), 0);
  EXPECT_TRUE(prompter.saveDialogs.empty());
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(AppServicesTest, SaveWritesTheChosenFileAndRetitles) {
  loadModified("orig.wav");
  services.document.folders.useSeparate = true;
  const std::string target = test::tempDir() + "/saved.wav";
  prompter.saveFiles.push_back(target);
  EXPECT_EQ(services.saveDocument(false), 0);
  ASSERT_EQ(prompter.saveDialogs.size(), 1u);
  EXPECT_EQ(prompter.saveDialogs[0].title, "Save WAV file...");
  EXPECT_EQ(prompter.saveDialogs[0].fileName, test::tempDir() + "/orig.wav");
  EXPECT_TRUE(prompter.saveDialogs[0].confirmOverwrite);
  EXPECT_EQ(prompter.saveDialogs[0].initialFolder, test::tempDir());
  EXPECT_EQ(services.document.document.path, target);
  EXPECT_FALSE(services.document.document.isModified);
  EXPECT_EQ(services.document.document.texts.windowTitle, "saved.wav - Voxloom 2.5");
  EXPECT_FALSE(enabled(Command::Save));
  EXPECT_EQ(test::readWholeFile(target).size(), 44u + 64 + 24);
}

TEST_F(AppServicesTest, AFailedSaveKeepsTheDocumentModified) {
  loadModified("orig.wav");
  const std::string target = test::tempDir() + "/no/folder/x.wav";
  prompter.saveFiles.push_back(target);
  EXPECT_EQ(services.saveDocument(false), 1);
  EXPECT_EQ(prompter.log().back(), "Error: Can't open WAV file '" + target + "' for writing.");
  EXPECT_TRUE(services.document.document.isModified);
  EXPECT_EQ(services.document.document.path, test::tempDir() + "/orig.wav");
}

TEST_F(AppServicesTest, TheSaveQuestionGuardsAChangedDocument) {
  const std::string other = wavFile("other.wav", 16);

  // Cancel keeps the old document.
  loadModified("orig.wav");
  prompter.answers.push_back(Answer::Cancel);
  EXPECT_EQ(services.readWavFile(other), 1);
  EXPECT_EQ(prompter.shown.back().title, "Warning");
  EXPECT_EQ(prompter.shown.back().text,
            "The current WAV file has been changed. Do you want to save the changes?");
  EXPECT_EQ(prompter.shown.back().buttons, MessageButtons::YesNoCancel);
  EXPECT_TRUE(services.document.document.isModified);
  EXPECT_EQ(fileNamePart(services.document.document.path), "orig.wav");

  // Yes, then cancelling the save dialog, also keeps it.
  prompter.answers.push_back(Answer::Yes);
  EXPECT_EQ(services.readWavFile(other), 1);
  EXPECT_EQ(fileNamePart(services.document.document.path), "orig.wav");

  // No drops the changes.
  prompter.answers.push_back(Answer::No);
  EXPECT_EQ(services.readWavFile(other), 0);
  EXPECT_EQ(services.document.document.path, other);
  EXPECT_FALSE(services.document.document.isModified);
}

// What the engines report moves the command state on; Stop leaves the commands showing
// the run until it has ended.
TEST_F(AppServicesTest, RunEventsMoveTheCommandStateOn) {
  struct Case {
    std::vector<RunEvent> events;
    int state;
    bool stopEnabled;
    bool playEnabled;
  };
  const Case cases[] = {
      {{RunEvent::PlayStarted}, kStatePlaying, true, false},
      {{RunEvent::PlayStarted, RunEvent::Failed}, kStateIdle, false, true},
      {{RunEvent::EvpStarted}, kStateMakingEvp, true, false},
      {{RunEvent::EvpStarted, RunEvent::Stopping}, kStateIdle, true, false},
      {{RunEvent::EvpStarted, RunEvent::Stopping, RunEvent::Ended}, kStateIdle, false, true},
      {{RunEvent::EvpStarted, RunEvent::LiveRound}, kStateMakingEvp, true, false},
      {{RunEvent::ReplayStarted}, kStateSessionPlay, false, false},
      {{RunEvent::RecordingStarted}, kStateRecording, true, false},
      {{RunEvent::RecordingStarted, RunEvent::Stopping}, kStateIdle, true, false},
      {{RunEvent::LiveSwitched}, kStateIdle, false, true},
  };
  loadModified("run.wav");
  for (const Case& c : cases) {
    services.states.set(kStateIdle);
    for (RunEvent event : c.events) services.states.onRunEvent(event);
    EXPECT_EQ(services.states.state(), c.state) << c.events.size();
    EXPECT_EQ(enabled(Command::Stop), c.stopEnabled) << c.events.size();
    EXPECT_EQ(enabled(Command::Play), c.playEnabled) << c.events.size();
  }
}

}  // namespace
}  // namespace voxloom
