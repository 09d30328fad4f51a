#include "core/random/write_rn.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/random/random_sources.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

class ScriptedWriteRnDialog : public WriteRnDialog {
 public:
  bool answer = true;
  std::int32_t samples = 3;
  bool askWriteRn(WriteRnDialogState& state) override {
    state.setSamples(samples);
    return answer;
  }
};

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class WriteRnTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) {
    return (std::filesystem::path(::testing::TempDir()) / ("write_rn_" + name)).string();
  }
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
  WriteRnDialogState state;
  ScriptedWriteRnDialog dialog;
};

TEST_F(WriteRnTest, WritesTheRawValuesAndRestoresTheLog) {
  random.pseudo.seedPseudoRandom(1);
  const std::string out = path("pseudo.txt");
  prompter.saveFiles.push_back(out);
  stop.stopRequested = true;  // left from an earlier failure: cleared by the command
  EXPECT_EQ(writeRandomNumbers(random, state, dialog, true), WriteRnResult::Written);
  EXPECT_EQ(readAll(out), "346\n13854878\n1621890440\n");
  EXPECT_FALSE(random.log.logEnabled);
  EXPECT_FALSE(random.log.isOpen());
  ASSERT_EQ(prompter.saveDialogs.size(), 1u);
  EXPECT_EQ(prompter.saveDialogs[0].title, "Write random numbers to file...");
  EXPECT_TRUE(prompter.saveDialogs[0].confirmOverwrite);
  EXPECT_EQ(random.lastLogFolder, std::filesystem::path(out).parent_path().string());
}

TEST_F(WriteRnTest, CancelAndRetryOnAFileThatCannotBeOpened) {
  dialog.answer = false;
  EXPECT_EQ(writeRandomNumbers(random, state, dialog, false), WriteRnResult::Cancelled);
  EXPECT_TRUE(prompter.saveDialogs.empty());
  dialog.answer = true;
  prompter.saveFiles.push_back(std::nullopt);
  EXPECT_EQ(writeRandomNumbers(random, state, dialog, false), WriteRnResult::Cancelled);

  const std::string bad = path("no_such_folder/x.txt");
  prompter.saveFiles.push_back(bad);
  prompter.answers = {Answer::Retry, Answer::Cancel};
  EXPECT_EQ(writeRandomNumbers(random, state, dialog, false), WriteRnResult::Cancelled);
  const std::string text = "Error: Can't open log file '" + bad + "' for writing.";
  EXPECT_EQ(prompter.log(), (std::vector<std::string>{text, text}));
  EXPECT_EQ(prompter.shown[0].buttons, MessageButtons::RetryCancel);
}

TEST_F(WriteRnTest, AFailingSourceEndsTheRunAndKeepsWhatWasWritten) {
  const std::string numbers = path("numbers.txt");
  std::ofstream(numbers) << "1\n2\n3\n4\n5\n";
  random.menu.fileLoop = false;
  random.selectRandomSource(RandomSourceKind::RandomFile, numbers, "", false);
  // The log of an EVP stays as it was around the run.
  random.log.logEnabled = false;
  const std::string out = path("from_file.txt");
  EXPECT_EQ(writeRandomNumbersTo(random, out, 10), WriteRnResult::Stopped);
  EXPECT_EQ(readAll(out), "1\n2\n3\n4\n5\n");
  EXPECT_TRUE(stop.stopRequested);
  EXPECT_EQ(prompter.shown.back().title, "Info");
  EXPECT_FALSE(random.log.isOpen());
  // The file it wrote is a random source file itself.
  random.selectRandomSource(RandomSourceKind::RandomFile, out, "", false);
  stop.stopRequested = false;
  EXPECT_EQ(random.drawRandom(65536), 32769);
}

}  // namespace
}  // namespace voxloom
