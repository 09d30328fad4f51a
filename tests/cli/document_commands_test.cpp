#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::runCli;

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

TEST(CliBasics, HelpVersionAndUsage) {
  auto r = runCli({"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "voxloom 2.5\n");
  r = runCli({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("info FILE.wav"), std::string::npos);
  EXPECT_EQ(runCli({}).exitCode, 2);
  EXPECT_EQ(runCli({"frobnicate"}).exitCode, 2);
  EXPECT_EQ(runCli({"info"}).exitCode, 2);
  EXPECT_EQ(runCli({"copy", "a.wav"}).exitCode, 2);
}

TEST(CliInfo, PrintsTheDemoInStableOrder) {
  const auto r = runCli({"info", kDemo});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::string head =
      "{\"path\":\"" + kDemo +
      "\",\"format\":{\"formatTag\":1,\"channels\":1,\"samplesPerSec\":22050,"
      "\"avgBytesPerSec\":44100,\"blockAlign\":2,\"bitsPerSample\":16,\"extraSize\":0},"
      "\"nominalRate\":22050,\"frameBytes\":2,\"dataBytes\":377154,\"frameCount\":188577,"
      "\"title\":\"demo.wav - Voxloom 2.5\",\"status\":[\"Sample: 22050 Hz \u00B7 16 Bit "
      "\u00B7 Mono\",\"Cues: 21\",\"Time: 0:00:08.552\"],\"cues\":[{\"id\":1,\"position\":3307,"
      "\"length\":6475,\"label\":\"Lis\",";
  EXPECT_EQ(r.out.substr(0, head.size()), head);
  EXPECT_EQ(r.out.back(), '\n');
}

TEST(CliInfo, EscapesTextsAndReportsFailures) {
  test::RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt", test::RiffBuilder::fmtBody(1, 8, 8000));
  b.chunk("data", {1, 2}).chunk("cue", test::RiffBuilder::cueBody({{1, 0}}));
  test::RiffBuilder list;
  list.code("adtl").chunk("labl", test::RiffBuilder::textBody(1, "say \"hi\"\\\x01"));
  b.chunk("LIST", list.bytes);
  auto r = runCli({"info", test::writeTempFile("q.wav", b.closeRiff().bytes)});
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("\"label\":\"say \\\"hi\\\"\\\\\\u0001\""), std::string::npos) << r.out;

  r = runCli({"info", test::writeTempFile("bad.wav", {'R', 'I', 'F'})});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Error in RIFF file: Cannot find 'RIFF' chunk.\n");

  // A warning while the load still succeeds goes to stderr; the exit is 0.
  test::RiffBuilder mismatch;
  mismatch.code("RIFF").u32(0).code("WAVE").chunk("fmt", test::RiffBuilder::fmtBody(1, 8, 8000));
  mismatch.chunk("data", {1}).chunkWithSize("cue", 8, {1, 0, 0, 0, 0, 0, 0, 0});
  r = runCli({"info", test::writeTempFile("m.wav", mismatch.closeRiff().bytes)});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Error: Number of found Cue points doesn't match size of cue chunk.\n");

  test::RiffBuilder cut;
  cut.code("RIFF").u32(0).code("WAVE").chunk("fmt", test::RiffBuilder::fmtBody(1, 8, 8000));
  cut.chunkWithSize("data", 300, {1, 2, 3});
  r = runCli({"info", test::writeTempFile("cut.wav", cut.closeRiff().bytes)});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("\"dataBytes\":3,"), std::string::npos) << r.out;
  EXPECT_EQ(r.err,
            "Warning: This WAV file is shorter than its header says: 3 of 300 sample bytes were "
            "loaded.\n");
}

TEST(CliCopy, RewritesTheDemoByteForByte) {
  const std::string out = test::tempDir() + "/copy.wav";
  const auto r = runCli({"copy", kDemo, out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::readWholeFile(out), test::readWholeFile(kDemo));

  const auto failed = runCli({"copy", kDemo, test::tempDir() + "/missing/out.wav"});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_NE(failed.err.find("for writing."), std::string::npos);
}

// A file-size limit makes the write fail with its message instead of killing the program;
// the previous file stays and no temporary file is left.
TEST(CliCopy, AFileSizeLimitFailsTheWriteWithItsMessage) {
  const std::string folder = test::tempDir() + "/limited";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string out = folder + "/out.wav";
  { std::ofstream(out) << "old"; }
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const rlimit limited{4096, saved.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);  // inherited by the child
  const auto r = runCli({"copy", kDemo, out});
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Error: Can't write to WAV file '" + out + "'.\n");
  EXPECT_EQ(test::readWholeFile(out), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

// Paths are bytes: JSON output writes bytes that are not UTF-8 as \udcXX, valid UTF-8 as is.
TEST(CliInfo, PathsThatAreNotUtf8AreEscapedByteForByte) {
  const std::string path =
      test::writeTempFile("caf\xE9-\xC3\xA9.wav", test::simpleWav(1, 8, 8000, 4));
  const auto r = runCli({"info", path});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string expected = "\"path\":\"" + test::tempDir() + "/caf\\udce9-\xC3\xA9.wav\"";
  EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
}

}  // namespace
}  // namespace voxloom
