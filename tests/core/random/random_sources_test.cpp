#include "core/random/random_sources.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

class RandomSourcesTest : public ::testing::Test {
 protected:
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
};

TEST_F(RandomSourcesTest, PseudoDrawsScaleTheGeneratorValues) {
  random.pseudo.seedPseudoRandom(1);
  EXPECT_EQ(random.drawRandom(100), 0);         // 346
  EXPECT_EQ(random.drawRandom(1000000), 6451);  // 13854878 * 10^6 / 2^31
  EXPECT_EQ(random.drawRandom(100), 75);        // 1621890440
  EXPECT_EQ(random.drawRandom(1), 0);
  EXPECT_EQ(random.drawRandom(0), 0);  // treated as 1, never divides by it
}

TEST_F(RandomSourcesTest, StopRequestYieldsZeroWithoutConsumingOrLogging) {
  random.pseudo.seedPseudoRandom(1);
  const auto before = random.pseudo.state();
  stop.stopRequested = true;
  EXPECT_EQ(random.drawRandom(1000), 0);
  EXPECT_EQ(random.pseudo.state(), before);
  stop.stopRequested = false;
  EXPECT_EQ(random.pseudo.nextPseudoRandom(), 346);  // the first value is still unused
}

TEST_F(RandomSourcesTest, KindsOutsideTheEnumerationAreRefused) {
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::PseudoRng, "", "", false),
            SelectOutcome::Selected);
  EXPECT_FALSE(randomSourceKindFromInt(8));
  EXPECT_FALSE(randomSourceKindFromInt(-1));

  // A kind forced past the selection fails safely, as a failing source does; the sound
  // card without a device fails the same way.
  for (const auto kind :
       {static_cast<RandomSourceKind>(kRandomSourceKindCount), RandomSourceKind::SoundCard}) {
    stop.stopRequested = false;
    random.randomKind = kind;
    EXPECT_EQ(random.drawRandom(10), 0);
    EXPECT_TRUE(stop.stopRequested);
  }
}

TEST_F(RandomSourcesTest, CaptionsFollowTheRememberedFileAndUrl) {
  EXPECT_EQ(random.menu.fileCaption, "F&ile...");
  EXPECT_EQ(random.menu.httpCaption, "I&nternet...");
  random.selectRandomSource(RandomSourceKind::RandomFile, "/data/noise/take1.pcm",
                            "http://rng.example.com:8080/get?n=%num%", false);
  EXPECT_EQ(random.randomFilePath, "/data/noise/take1.pcm");
  EXPECT_EQ(random.menu.fileCaption, "F&ile [take1.pcm] ...");
  EXPECT_EQ(random.menu.httpCaption, "I&nternet [rng.example.com:8080] ...");
  EXPECT_FALSE(random.menu.showManualRandom);
  EXPECT_FALSE(random.menu.showRecLevel);
}

std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(RandomSourcesTest, LogStartsAfreshThenAppendsRawValues) {
  const auto path = std::filesystem::temp_directory_path() / "voxloom_random_log_test.txt";
  { std::ofstream(path) << "old contents\n"; }

  prompter.saveFiles.push_back(std::nullopt);  // cancelled: nothing changes
  random.toggleRandomLog(false);
  EXPECT_FALSE(random.log.logEnabled);
  EXPECT_FALSE(random.menu.logChecked);

  prompter.saveFiles.push_back(path.string());
  random.lastLogFolder = "/somewhere";
  random.toggleRandomLog(true);
  ASSERT_EQ(prompter.saveDialogs.size(), 2u);
  EXPECT_EQ(prompter.saveDialogs[1].title, "Log random numbers to file...");
  EXPECT_EQ(prompter.saveDialogs[1].initialFolder, "/somewhere");
  EXPECT_TRUE(prompter.saveDialogs[1].confirmOverwrite);
  EXPECT_TRUE(random.menu.logChecked);
  EXPECT_TRUE(random.log.logEnabled);
  EXPECT_EQ(random.lastLogFolder, path.parent_path().string());

  random.pseudo.seedPseudoRandom(1);
  ASSERT_TRUE(random.log.openRandomLog(prompter));  // first EVP
  random.drawRandom(10);
  random.drawRandom(10);
  random.log.closeRandomLog();
  ASSERT_TRUE(random.log.openRandomLog(prompter));  // second EVP
  stop.stopRequested = true;
  random.drawRandom(10);  // not logged
  stop.stopRequested = false;
  random.drawRandom(10);
  random.log.closeRandomLog();
  EXPECT_EQ(readAll(path), "346\n13854878\n1621890440\n");

  random.toggleRandomLog(false);  // off again: draws are not logged
  EXPECT_FALSE(random.log.logEnabled);
  EXPECT_TRUE(random.log.openRandomLog(prompter));
  EXPECT_FALSE(random.log.isOpen());
  std::filesystem::remove(path);
}

TEST_F(RandomSourcesTest, UnwritableLogAsksRetryOrCancel) {
  random.log.logEnabled = true;
  random.log.logStartNew = true;
  random.log.logFileName = "/nonexistent-folder/log.txt";
  prompter.answers = {Answer::Retry, Answer::Cancel};
  EXPECT_FALSE(random.log.openRandomLog(prompter));
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].title, "Error");
  EXPECT_EQ(prompter.shown[0].text,
            "Can't open output log file '/nonexistent-folder/log.txt' for writing.");
  EXPECT_EQ(prompter.shown[0].buttons, MessageButtons::RetryCancel);
  EXPECT_TRUE(random.log.logEnabled);  // the settings stay
  EXPECT_TRUE(random.log.logStartNew);
}

}  // namespace
}  // namespace voxloom
