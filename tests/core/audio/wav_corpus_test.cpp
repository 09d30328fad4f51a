#include <gtest/gtest.h>

#include <filesystem>

#include "core/audio/wav_reader.h"
#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

// Replays the fuzzer's seed corpus (hostile and odd files) through the reader.
TEST(WavCorpus, EveryFileLoadsOrIsRefusedCleanly) {
  const std::filesystem::path dir =
      std::filesystem::path(VOXLOOM_SOURCE_DIR) / "tests/fuzz/corpus/wav";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const auto bytes = test::readWholeFile(entry.path().string());
    AudioDocument doc;
    ByteStream stream = ByteStream::fromMemory(bytes);
    const WavLoadOutcome outcome = loadWav(stream, doc, entry.path().string());
    if (outcome.status == WavLoadStatus::Loaded) {
      EXPECT_TRUE(doc.isLoaded);
      EXPECT_LE(static_cast<std::int64_t>(doc.frameCount) * doc.frameBytes, doc.dataBytes);
      EXPECT_LE(doc.dataBytes, static_cast<std::int64_t>(bytes.size()));
    } else {
      EXPECT_FALSE(doc.isLoaded) << entry.path();
    }
    ++files;
  }
  EXPECT_GE(files, 8);
}

}  // namespace
}  // namespace voxloom
