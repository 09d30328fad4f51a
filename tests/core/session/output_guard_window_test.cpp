// The window's exports refuse a file the action reads, and write nothing.
#include <gtest/gtest.h>

#include <functional>

#include "core/app/main_presenter.h"
#include "core/random/write_rn.h"
#include "tests/support/fake_shell.h"
#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/scripted_questions.h"

namespace voxloom {
namespace {

struct TenValues : WriteRnDialog {
  bool askWriteRn(WriteRnDialogState& state) override {
    state.samples = 10;
    return true;
  }
};

TEST(WindowOutputGuard, AnExportOntoAFileTheActionReadsIsRefused) {
  const std::string wav = test::writeTempFile("guard.wav", test::simpleWav(1, 16, 8000, 4000));
  const std::string numbers = test::writeTempFile("guard.txt", {'1', '\n', '2', '\n'});
  struct Case {
    std::string chosen;  // what the save dialog answers
    std::function<void(AppServices&)> run;
    std::string roles;
  };
  const Case cases[] = {
      {wav, [](AppServices& c) { c.sessions.sessions.exportEvpAsWav(); },
       "The exported WAV file and the session's WAV file"},
      {numbers,
       [](AppServices& c) {
         WriteRnDialogState state;
         TenValues dialog;
         writeRandomNumbers(c.playback.parts.random, state, dialog, false);
       },
       "The random number output and the random number file"},
      {numbers, [](AppServices& c) { c.playback.toggleRandomLog(); },
       "The random log and the random number file"},
  };
  for (const Case& c : cases) {
    test::ScriptedPrompter prompter;
    test::FakeShell shell;
    test::ScriptedQuestions questions;
    AppServices window(prompter, shell, questions);
    window.openWavFile(wav);
    ASSERT_TRUE(window.sessions.sessions.beginEvpCapture());
    window.sessions.sessions.appendSegmentEntry(10, 10, 1, "", false, 1);
    window.sessions.sessions.finishEvpCapture(2, 1);
    window.playback.parts.random.selectRandomSource(RandomSourceKind::RandomFile, numbers, "",
                                                    false);
    const std::string before = test::readBytes(c.chosen);
    prompter.saveFiles.push_back(c.chosen);
    c.run(window);
    EXPECT_EQ(prompter.log(), std::vector<std::string>{"Error: " + c.roles +
                                                       " are the same file '" + c.chosen + "'."});
    EXPECT_TRUE(test::readBytes(c.chosen) == before) << c.roles;
    EXPECT_FALSE(window.playback.parts.random.log.logEnabled);
  }
}

}  // namespace
}  // namespace voxloom
