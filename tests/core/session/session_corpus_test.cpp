#include <gtest/gtest.h>

#include <filesystem>

#include "core/session/session_file.h"
#include "core/util/text_line_reader.h"
#include "tests/fuzz/session_roundtrip.h"

namespace voxloom {
namespace {

std::string corpusFile(const std::string& name) {
  std::string text;
  EXPECT_TRUE(readWholeTextFile(
      std::string(VOXLOOM_SOURCE_DIR) + "/tests/fuzz/corpus/session/" + name, text));
  return text;
}

// Replays the fuzzer's seed corpus: nothing a save writes may lose a record or entry.
TEST(SessionCorpus, EveryFileSurvivesSavingOrIsRefused) {
  const std::filesystem::path dir =
      std::filesystem::path(VOXLOOM_SOURCE_DIR) / "tests/fuzz/corpus/session";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    EXPECT_TRUE(test::sessionSurvivesSaving(corpusFile(entry.path().filename().string())))
        << entry.path();
    ++files;
  }
  EXPECT_GE(files, 12);
}

TEST(SessionCorpus, HostileFilesReadAsExpected) {
  EXPECT_FALSE(parseSessionText(corpusFile("garbage.bin")).valid);
  EXPECT_FALSE(parseSessionText(corpusFile("bad_header.evp")).valid);
  const SessionFileContent overflow = parseSessionText(corpusFile("overflow.evp"));
  ASSERT_EQ(overflow.records.size(), 1u);
  ASSERT_EQ(overflow.records[0].segments.size(), 3u);
  EXPECT_EQ(overflow.records[0].segments[0], (EvpSegmentEntry{0, 0, 0, 0, false, "big"}));
  EXPECT_EQ(overflow.records[0].segments[1].length, 2147483647);
  const SessionFileContent longLine = parseSessionText(corpusFile("long_line.evp"));
  ASSERT_EQ(longLine.records.size(), 1u);
  EXPECT_EQ(longLine.records[0].segments.at(0).label.size(), std::size_t{1} << 20);
  const SessionFileContent crlf = parseSessionText(corpusFile("crlf.evp"));
  EXPECT_EQ(crlf.records, parseSessionText(corpusFile("example.evp")).records);
}

}  // namespace
}  // namespace voxloom
