#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/fuzz/settings_roundtrip.h"

namespace voxloom {
namespace {

// Replays the fuzzer's seed corpus: a second save changes nothing.
TEST(SettingsCorpus, EveryFileSurvivesSaving) {
  const std::filesystem::path dir =
      std::filesystem::path(VOXLOOM_SOURCE_DIR) / "tests/fuzz/corpus/settings";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_TRUE(test::settingsSurviveSaving(text.str())) << entry.path();
    ++files;
  }
  EXPECT_GE(files, 7);
}

}  // namespace
}  // namespace voxloom
