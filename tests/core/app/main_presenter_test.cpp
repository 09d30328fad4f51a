#include "core/app/main_presenter.h"

#include <gtest/gtest.h>
#include <algorithm>

#include "tests/core/app/app_test_support.h"
#include "tests/support/fake_shell.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/scripted_questions.h"

namespace voxloom {
namespace {

using test::RecordingView;
using test::wavFile;

class MainPresenterTest : public ::testing::Test {
 protected:
  MainPresenterTest() : core(prompter, shell, questions) { services.relay.attach(&view); }

  void loadModified(const std::string& name) { test::loadModified(services, name); }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  RecordingView view;
  test::ScriptedQuestions questions;
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

}  // namespace
}  // namespace voxloom
