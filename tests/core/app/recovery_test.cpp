#include "core/app/recovery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "core/app/main_presenter.h"
#include "tests/support/fake_shell.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/scripted_questions.h"

namespace voxloom {
namespace {

TEST(RecoveryFolder, FollowsTheStateFolderOfTheUser) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* folder;
  };
  const Case cases[] = {
      {"/state", "/home/a", "/state/voxloom/recovery"},
      {nullptr, "/home/a", "/home/a/.local/state/voxloom/recovery"},
      {"", "/home/a", "/home/a/.local/state/voxloom/recovery"},
      {"relative", "/home/a", "/home/a/.local/state/voxloom/recovery"},
      {nullptr, nullptr, ""},
      {nullptr, "relative", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(defaultRecoveryFolder(c.xdg, c.home), c.folder) << (c.xdg ? c.xdg : "(unset)");
}

// One program run that ends by a signal, and the next start in the same recovery folder.
class RecoveryTest : public ::testing::Test {
 protected:
  RecoveryTest() : folder(test::tempDir() + "/state/voxloom/recovery") {
    questions.answer = "Anyone?";
    std::filesystem::remove_all(folder);
    first.recoveryFolder = folder;
    next.recoveryFolder = folder;
  }

  // The first run: a changed WAV file and a session with one unsaved EVP.
  void workUnsaved(bool changeDocument, bool captureEvp, bool relativePath = false) {
    wav = test::writeTempFile("take.wav", test::simpleWav(1, 16, 8000, 400));
    firstCore.services.openWavFile(relativePath ? std::filesystem::relative(wav).string() : wav);
    ASSERT_TRUE(firstCore.services.document.document.isLoaded);
    if (changeDocument) {
      firstCore.services.document.document.samples[0] = 0x55;
      firstCore.services.document.document.markModified();
    }
    if (captureEvp) {
      ASSERT_TRUE(firstCore.services.sessions.sessions.beginEvpCapture());
      firstCore.services.sessions.sessions.appendSegmentEntry(4, 20, 1, "hi", false, 0);
      firstCore.services.sessions.sessions.finishEvpCapture(2, 2);
    }
  }
  bool exists(const std::string& name) const {
    return std::filesystem::exists(folder + "/" + name);
  }

  std::string folder;
  std::string wav;
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  test::ScriptedQuestions questions;  // the first run's: answered "Anyone?"
  NoQuestionPrompt noQuestions;
  WindowCore firstCore{prompter, shell, questions};
  MainPresenter& first = firstCore.presenter;
  test::ScriptedPrompter nextPrompter;
  WindowCore nextCore{nextPrompter, shell, noQuestions};
  MainPresenter& next = nextCore.presenter;
};

TEST_F(RecoveryTest, ASignalKeepsUnsavedWorkAndYesRestoresItAsUnsaved) {
  workUnsaved(true, true);
  ASSERT_TRUE(first.endBySignal());
  EXPECT_TRUE(prompter.shown.empty());  // nothing is asked on the way out
  EXPECT_FALSE(first.mainWindowOpen);
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(test::readWholeFile(wav)[44], 0);  // the original stays as it was saved

  nextPrompter.answers.push_back(Answer::Yes);
  next.startUp({});
  ASSERT_EQ(nextPrompter.shown.size(), 1u);
  EXPECT_EQ(nextPrompter.shown[0].title, "Recovery");
  EXPECT_NE(nextPrompter.shown[0].text.find(wav), std::string::npos);
  EXPECT_EQ(nextPrompter.shown[0].buttons, MessageButtons::YesNo);

  EXPECT_EQ(nextCore.services.document.document.path, wav);
  EXPECT_TRUE(nextCore.services.document.document.isModified);
  EXPECT_EQ(nextCore.services.document.document.samples[0], 0x55);
  EXPECT_EQ(nextCore.services.document.document.texts.windowTitle, "take.wav - Voxloom 2.5");
  EXPECT_TRUE(nextCore.services.states.commands()[Command::Save]);
  const Session& restored = nextCore.services.sessions.sessions.session;
  ASSERT_EQ(restored.count(), 1);
  EXPECT_EQ(restored.records[0].question, "Anyone?");
  EXPECT_EQ(restored.wavPath, wav);
  EXPECT_EQ(restored.fileName, "");  // never saved: Save asks for a name
  EXPECT_TRUE(restored.isModified);
  // Restored work is unsaved work again; until it is saved the copies stay.
  EXPECT_TRUE(exists("origin") && exists("document.wav") && exists("session.evp"));
}

// The last WAV file would be reopened at start-up: restored work wins, and its copies
// go only once nothing of it is left unsaved.
TEST_F(RecoveryTest, RestoredWorkSkipsTheAutoOpenAndKeepsItsCopiesUntilSettled) {
  workUnsaved(true, true, true);  // opened as a command-line argument would be
  ASSERT_TRUE(first.endBySignal());
  nextCore.services.document.folders.autoOpenLastWavFile = true;
  nextCore.services.document.folders.lastWavFile = wav;
  nextPrompter.answers.push_back(Answer::Yes);
  next.startUp({});
  EXPECT_EQ(nextPrompter.log().size(), 1u);  // nothing asks to throw the work away
  EXPECT_TRUE(nextCore.services.document.document.isModified);
  EXPECT_EQ(nextCore.services.document.document.path, wav);
  EXPECT_EQ(nextCore.services.sessions.sessions.session.count(), 1);

  // Saving the WAV file leaves the session unsaved: the copies stay.
  nextPrompter.saveFiles.push_back(test::tempDir() + "/saved.wav");
  ASSERT_EQ(nextCore.services.saveDocument(false), 0);
  EXPECT_TRUE(exists("origin"));
  // A crash now still finds them; a deliberate No to the session's question ends them.
  nextPrompter.answers.push_back(Answer::No);
  EXPECT_TRUE(next.closeQuery());
  EXPECT_FALSE(exists("origin") || exists("document.wav") || exists("session.evp"));
}

TEST_F(RecoveryTest, ASessionSavedBeforeASignalLeavesNoStaleCopies) {
  workUnsaved(false, true);
  ASSERT_TRUE(first.endBySignal());
  nextPrompter.answers.push_back(Answer::Yes);
  next.startUp({});
  nextPrompter.saveFiles.push_back(test::tempDir() + "/saved.evp");
  ASSERT_EQ(nextCore.services.sessions.sessions.saveSession(false), 0);
  ASSERT_TRUE(next.endBySignal());
  EXPECT_FALSE(exists("origin") || exists("session.evp"));
}

TEST_F(RecoveryTest, NoDeletesTheCopiesAndNothingUnsavedWritesNone) {
  workUnsaved(false, true);
  ASSERT_TRUE(first.endBySignal());
  EXPECT_FALSE(exists("document.wav"));  // the WAV file was saved: no copy
  EXPECT_TRUE(exists("session.evp"));

  nextPrompter.answers.push_back(Answer::No);
  next.startUp({});
  ASSERT_EQ(nextPrompter.shown.size(), 1u);
  EXPECT_EQ(nextCore.services.sessions.sessions.session.count(), 0);
  EXPECT_FALSE(exists("origin"));
  EXPECT_FALSE(exists("session.evp"));

  // Nothing unsaved: nothing is written and the next start asks nothing.
  WindowCore savedCore(prompter, shell, noQuestions);
  MainPresenter& saved = savedCore.presenter;
  saved.recoveryFolder = folder;
  savedCore.services.openWavFile(wav);
  ASSERT_TRUE(saved.endBySignal());
  EXPECT_FALSE(exists("origin"));
  nextPrompter.shown.clear();
  next.startUp({});
  EXPECT_TRUE(nextPrompter.shown.empty());
}

// A prompter whose question is interrupted: `during` runs while the box is open.
class InterruptedPrompter : public test::ScriptedPrompter {
 public:
  std::function<void()> during;
  Answer message(const std::string& title, const std::string& text, MessageIcon icon,
                 MessageButtons buttons) override {
    if (during) during();
    return ScriptedPrompter::message(title, text, icon, buttons);
  }
};

TEST_F(RecoveryTest, ASignalDuringTheQuestionKeepsTheCopiesForLater) {
  workUnsaved(true, false);
  ASSERT_TRUE(first.endBySignal());
  InterruptedPrompter interrupted;
  WindowCore secondCore(interrupted, shell, noQuestions);
  MainPresenter& second = secondCore.presenter;
  second.recoveryFolder = folder;
  interrupted.during = [&second] { EXPECT_TRUE(second.endBySignal()); };
  interrupted.answers.push_back(Answer::No);  // how a box closed by the ending answers
  second.startUp({});
  EXPECT_TRUE(exists("origin"));
  EXPECT_TRUE(exists("document.wav"));
  EXPECT_FALSE(secondCore.services.document.document.isLoaded);
}

TEST_F(RecoveryTest, AFolderThatCannotBeMadeIsReported) {
  workUnsaved(true, false);
  const std::string blocker = test::writeTempFile("file", {1});
  first.recoveryFolder = blocker + "/recovery";
  EXPECT_FALSE(first.endBySignal());
}

}  // namespace
}  // namespace voxloom
