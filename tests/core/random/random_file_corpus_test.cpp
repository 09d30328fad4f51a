// Replays the fuzzer's seed corpus of random source files through the file source.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/random/random_sources.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

TEST(RandomFileCorpus, EveryFileGivesValuesOrOneMessage) {
  const auto dir = std::filesystem::path(VOXLOOM_SOURCE_DIR) / "tests/fuzz/corpus/random_file";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    ++files;
    StopRequest stop;
    test::ScriptedPrompter prompter;
    NoPlayback noPlayback;
    RandomSources random(stop, prompter, noPlayback);
    random.selectRandomSource(RandomSourceKind::RandomFile, entry.path().string(), "", false);
    for (int i = 0; i < 50 && !stop.stopRequested; ++i) {
      const std::int32_t v = random.drawRandom(7);
      EXPECT_GE(v, 0);
      EXPECT_LT(v, 7);
    }
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(prompter.shown.size(), stop.stopRequested ? 1u : 0u) << name;
    EXPECT_LE(random.batch.index, random.batch.count) << name;
    const bool refused =
        name == "not_a_number.txt" || name == "long_line.txt" || name == "binary.txt";
    const bool read = name == "blocks.txt" || name == "crlf.txt" || name == "odd_bytes.pcm";
    if (refused || read) {
      EXPECT_EQ(stop.stopRequested, refused) << name;
    }
  }
  EXPECT_GE(files, 9);
}

}  // namespace
}  // namespace voxloom
