#include "core/app/main_presenter.h"
#include "core/app/window_arguments.h"

#include <gtest/gtest.h>
#include <algorithm>

#include "tests/support/fake_shell.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

class RecordingView : public View {
 public:
  std::vector<ViewAspect> seen;
  void changed(ViewAspect aspect) override { seen.push_back(aspect); }
};

class MainPresenterTest : public ::testing::Test {
 protected:
  MainPresenterTest() : core(prompter, shell) { services.relay.attach(&view); }

  std::string wavFile(const std::string& name, std::uint32_t bytes = 64) {
    return test::writeTempFile(name, test::simpleWav(1, 16, 8000, bytes));
  }
  void loadModified(const std::string& name) {
    services.openWavFile(wavFile(name));
    ASSERT_TRUE(services.document.document.isLoaded);
    services.document.document.markModified();
    services.states.set(kStateIdle);
  }
  bool enabled(Command c) const { return services.states.commands()[c]; }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  RecordingView view;
  WindowCore core;
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
};

TEST_F(MainPresenterTest, StartsIdleAndOpensArgumentsInOrder) {
  const std::string first = wavFile("first.wav");
  const std::string second = wavFile("second.WAV", 32);
  controller.startUp({first, "/sessions/my.evp", second});
  EXPECT_EQ(services.states.state(), kStateIdle);
  EXPECT_EQ(services.document.document.path, second);
  EXPECT_EQ(services.document.document.dataBytes, 32);
  EXPECT_EQ(services.document.folders.session, "/sessions");
  EXPECT_EQ(services.document.folders.sourceWav, test::tempDir());
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(MainPresenterTest, UnknownFiletypesAreReportedAndTheRestStillOpens) {
  const std::string wav = wavFile("a.wav");
  controller.startUp({"/tmp/notes.txt", wav});
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].title, "Error");
  EXPECT_EQ(prompter.shown[0].text,
            "Unknown filetype. Voxloom does accept only the\nfollowing types of files: EVP "
            "session files (*.evp),\nWAV files (*.wav), and Random Source files (*.pcm)");
  EXPECT_TRUE(services.document.document.isLoaded);
}

TEST_F(MainPresenterTest, LiveInputIgnoresWavAndSessionFilesButNotRandomFiles) {
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

TEST_F(MainPresenterTest, AutoOpenSkipsAMissingLastFileSilently) {
  services.document.folders.autoOpenLastWavFile = true;
  services.document.folders.lastWavFile = test::tempDir() + "/gone.wav";
  controller.startUp({});
  EXPECT_FALSE(services.document.document.isLoaded);
  EXPECT_TRUE(prompter.shown.empty());

  services.document.folders.lastWavFile = wavFile("back.wav");
  controller.startUp({});
  EXPECT_EQ(services.document.document.path, services.document.folders.lastWavFile);
}

TEST_F(MainPresenterTest, OpenDialogUsesTheWavFolderOnlyWhenAsked) {
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

TEST_F(MainPresenterTest, LoadFailuresShowTheirMessages) {
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

TEST_F(MainPresenterTest, CueCountMismatchIsToldButTheSignalLoads) {
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

TEST_F(MainPresenterTest, ATruncatedDataChunkWarnsAndLoadsWhatIsThere) {
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

TEST_F(MainPresenterTest, CommandStateFollowsTheDocument) {
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

TEST_F(MainPresenterTest, SaveDoesNothingForAnUnchangedDocument) {
  ASSERT_EQ(services.readWavFile(wavFile("a.wav")), 0);
  EXPECT_EQ(services.saveDocument(false), 0);
  EXPECT_TRUE(prompter.saveDialogs.empty());
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(MainPresenterTest, SaveWritesTheChosenFileAndRetitles) {
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

TEST_F(MainPresenterTest, AFailedSaveKeepsTheDocumentModified) {
  loadModified("orig.wav");
  const std::string target = test::tempDir() + "/no/folder/x.wav";
  prompter.saveFiles.push_back(target);
  EXPECT_EQ(services.saveDocument(false), 1);
  EXPECT_EQ(prompter.log().back(), "Error: Can't open WAV file '" + target + "' for writing.");
  EXPECT_TRUE(services.document.document.isModified);
  EXPECT_EQ(services.document.document.path, test::tempDir() + "/orig.wav");
}

TEST_F(MainPresenterTest, TheSaveQuestionGuardsAChangedDocument) {
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

TEST_F(MainPresenterTest, CloseQueryAsksAndCancelKeepsRunning) {
  loadModified("orig.wav");
  prompter.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(controller.closeQuery());
  EXPECT_TRUE(controller.mainWindowOpen);
  EXPECT_TRUE(services.document.document.isLoaded);
  EXPECT_EQ(services.states.state(), kStateIdle);

  prompter.answers.push_back(Answer::No);
  EXPECT_TRUE(controller.closeQuery());
  EXPECT_FALSE(controller.mainWindowOpen);
  EXPECT_EQ(services.document.folders.lastWavFile, test::tempDir() + "/orig.wav");
}

TEST_F(MainPresenterTest, CloseQueryDiscardsNothingUntilEveryQuestionIsAnswered) {
  struct Case {
    std::vector<Answer> answers;  // session question, then WAV question
    bool closes;
    std::size_t questions;
  };
  const Case cases[] = {
      {{Answer::Cancel}, false, 1},
      {{Answer::No, Answer::Cancel}, false, 2},
      {{Answer::Yes, Answer::Cancel}, false, 2},  // no save dialog before the last answer
      {{Answer::No, Answer::No}, true, 2},
  };
  for (const Case& c : cases) {
    loadModified("both.wav");
    controller.mainWindowOpen = true;
    services.sessions.sessions.askQuestion = [](const std::string&) { return std::string("Q"); };
    ASSERT_TRUE(services.sessions.sessions.beginEvpCapture());
    services.sessions.sessions.appendSegmentEntry(0, 10, 1, "", false, 0);
    services.sessions.sessions.finishEvpCapture(2, 2);
    services.document.document.markModified();
    ASSERT_TRUE(services.sessions.sessions.session.isModified);
    prompter.shown.clear();
    prompter.answers.assign(c.answers.begin(), c.answers.end());

    EXPECT_EQ(controller.closeQuery(), c.closes);
    EXPECT_EQ(prompter.shown.size(), c.questions);
    EXPECT_TRUE(prompter.saveDialogs.empty());
    const int records = c.closes ? 0 : 1;
    EXPECT_EQ(services.sessions.sessions.session.count(), records);
    EXPECT_EQ(services.sessions.sessions.session.isModified, !c.closes);
    EXPECT_EQ(services.document.document.isModified, !c.closes);
    EXPECT_EQ(services.document.document.isLoaded, !c.closes);
    if (!c.closes) {
      services.sessions.sessions.session.isModified = false;  // let the next case load quietly
      services.document.document.isModified = false;
    }
  }
}

TEST_F(MainPresenterTest, HelpAndMixerGoThroughTheDesktop) {
  services.programFolder = "/opt/voxloom";
  controller.showManual();
  controller.showQuickstart();
  controller.openWebSite();
  EXPECT_EQ(shell.opened,
            (std::vector<std::string>{"/opt/voxloom/docs/manual.html",
                                      "/opt/voxloom/docs/quickstart.html", kWebSiteUrl}));
  EXPECT_FALSE(controller.mixerAvailable());
  shell.installed.insert("pavucontrol");
  EXPECT_TRUE(controller.mixerAvailable());
  controller.openMixer(true);
  EXPECT_EQ(shell.started.back().first, "pavucontrol");
}

TEST(WindowArguments, OptionsComeBeforeFiles) {
  auto a = parseWindowArguments({"--seed", "42", "--settings", "/t/v.ini", "a.wav", "--seed"});
  EXPECT_TRUE(a.error.empty());
  EXPECT_EQ(a.seed, 42u);
  EXPECT_EQ(a.settingsPath, "/t/v.ini");
  EXPECT_EQ(a.files, (std::vector<std::string>{"a.wav", "--seed"}));
  EXPECT_FALSE(parseWindowArguments({"--seed", "x1"}).error.empty());
  EXPECT_FALSE(parseWindowArguments({"--settings"}).error.empty());
  EXPECT_EQ(parseWindowArguments({"--", "--seed"}).files, std::vector<std::string>{"--seed"});
  // --help and --version are options, not files of an unknown type.
  EXPECT_TRUE(parseWindowArguments({"--help"}).help);
  EXPECT_TRUE(parseWindowArguments({"--seed", "1", "--version"}).version);
  EXPECT_TRUE(parseWindowArguments({"--help"}).files.empty());
  EXPECT_FALSE(parseWindowArguments({"a.wav", "--help"}).help);
}

TEST(CommandTable, StatesEnableWhatTheyAllow) {
  DocumentFlags loaded{true, true, false, true};
  CommandView v;
  v[Command::LogRandom] = true;
  applyCommandTable(kStatePlaying, loaded, v);
  EXPECT_TRUE(v[Command::Pause]);
  EXPECT_TRUE(v[Command::Stop]);
  EXPECT_FALSE(v[Command::Open]);
  EXPECT_FALSE(v[Command::Save]);
  EXPECT_TRUE(v[Command::LogRandom]);  // unchanged while playing
  EXPECT_EQ(v.segmentControlsMode, 1);

  applyCommandTable(kStateMakingEvp, loaded, v);
  EXPECT_FALSE(v[Command::LogRandom]);
  EXPECT_EQ(v.segmentControlsMode, 0);
  EXPECT_EQ(v.playTimeControlsMode, 1);

  applyCommandTable(kStateRecording, loaded, v);
  EXPECT_FALSE(v[Command::Pause]);
  EXPECT_TRUE(v[Command::Stop]);

  applyCommandTable(kStateSessionPlay, loaded, v);
  EXPECT_TRUE(v[Command::SessionStop]);
  EXPECT_TRUE(v[Command::MemoCueLabels]);
  EXPECT_FALSE(v[Command::Stop]);

  const CommandView before = v;
  applyCommandTable(kStateNone, loaded, v);
  EXPECT_EQ(v.enabled, before.enabled);

  // Live input: Make EVP stays available, the file commands do not.
  DocumentFlags live{true, false, true, false};
  applyCommandTable(kStateIdle, live, v);
  EXPECT_TRUE(v[Command::MakeEvp]);
  EXPECT_FALSE(v[Command::Open]);
  EXPECT_FALSE(v[Command::Record]);
  EXPECT_FALSE(v[Command::Play]);
  EXPECT_FALSE(v[Command::Normalize]);
  EXPECT_TRUE(v[Command::Live]);
  EXPECT_EQ(v.sessionControlsMode, 0);
}

// What the engines report moves the command state on; Stop leaves the commands showing
// the run until it has ended.
TEST_F(MainPresenterTest, RunEventsMoveTheCommandStateOn) {
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
