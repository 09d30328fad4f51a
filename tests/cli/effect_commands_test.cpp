#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::RiffBuilder;
using test::runCli;

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

// A WAV file with the given samples, interleaved per frame.
std::string wavWith(const std::string& name, int channels, int bits, int rate,
                    const std::vector<int>& samples) {
  std::vector<std::uint8_t> data;
  for (int v : samples) {
    if (bits == 8) {
      data.push_back(static_cast<std::uint8_t>(v + 128));
    } else {
      data.push_back(static_cast<std::uint8_t>(v & 0xFF));
      data.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
  }
  RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(channels, bits, rate));
  b.chunk("data", data);
  return test::writeTempFile(name, b.closeRiff().bytes);
}

// The samples of a written file's data chunk.
std::vector<int> samplesOf(const std::string& path, int bits) {
  const std::vector<std::uint8_t> bytes = test::readWholeFile(path);
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::uint32_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 |
                               static_cast<std::uint32_t>(bytes[at + 7]) << 24;
    if (std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at) + 4) == "data") {
      std::vector<int> out;
      for (std::size_t i = at + 8; i + bits / 8 <= at + 8 + size; i += bits / 8) {
        out.push_back(bits == 8 ? bytes[i] - 128
                                : static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8));
      }
      return out;
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

TEST(CliEffects, ReverseTwiceGivesBackTheFileByteForByte) {
  const std::string once = test::tempDir() + "/once.wav";
  const std::string twice = test::tempDir() + "/twice.wav";
  ASSERT_EQ(runCli({"reverse", kDemo, once}).exitCode, 0);
  EXPECT_NE(test::readWholeFile(once), test::readWholeFile(kDemo));
  const auto r = runCli({"reverse", once, twice});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(test::readWholeFile(twice), test::readWholeFile(kDemo));

  // Stereo keeps its channels apart; the middle frame of an odd count stays.
  const std::string stereo = wavWith("s.wav", 2, 16, 8000, {1, -1, 2, -2, 3, -3});
  ASSERT_EQ(runCli({"reverse", stereo, once}).exitCode, 0);
  EXPECT_EQ(samplesOf(once, 16), (std::vector<int>{3, -3, 2, -2, 1, -1}));
}

TEST(CliEffects, EchoUsesTheDialogDefaultsOrTheGivenValues) {
  std::vector<int> impulse(400, 0);
  impulse[0] = 16000;
  const std::string in = wavWith("impulse.wav", 1, 16, 1000, impulse);
  const std::string out = test::tempDir() + "/echo.wav";
  ASSERT_EQ(runCli({"echo", in, out}).exitCode, 0);  // 100 ms, 50 %
  std::vector<int> s = samplesOf(out, 16);
  ASSERT_EQ(s.size(), 400u);
  EXPECT_EQ(s[100], 8000);
  EXPECT_EQ(s[200], 4000);
  EXPECT_EQ(s[300], 2000);

  // 8-bit stereo, delay 2 ms = 2 frames at 1000 Hz, decay 100 %: each channel echoes
  // only itself and saturates.
  const std::string in8 = wavWith("e8.wav", 2, 8, 1000, {100, -10, 0, 0, 50, -100, 0, 0, 0, 0});
  ASSERT_EQ(runCli({"echo", "--delay", "2", "--decay", "100", in8, out}).exitCode, 0);
  EXPECT_EQ(samplesOf(out, 8), (std::vector<int>{100, -10, 0, 0, 127, -110, 0, 0, 127, -110}));
}

TEST(CliEffects, NormalizeScalesThePeakAndCopiesSilence) {
  const std::string out = test::tempDir() + "/norm.wav";
  const std::string stereo = wavWith("n.wav", 2, 16, 8000, {100, -200, 50, 0});
  ASSERT_EQ(runCli({"normalize", stereo, out}).exitCode, 0);
  EXPECT_EQ(samplesOf(out, 16), (std::vector<int>{16383, -32767, 8191, 0}));

  const std::string eight = wavWith("n8.wav", 1, 8, 8000, {-64, 32});
  ASSERT_EQ(runCli({"normalize", eight, out}).exitCode, 0);
  EXPECT_EQ(samplesOf(out, 8), (std::vector<int>{-127, 63}));

  const std::string silent = wavWith("quiet.wav", 1, 8, 8000, {0, 0, 0});
  ASSERT_EQ(runCli({"normalize", silent, out}).exitCode, 0);
  EXPECT_EQ(samplesOf(out, 8), (std::vector<int>{0, 0, 0}));
}

TEST(CliEffects, AutoCutPrintsTheThresholdAndWritesTheCues) {
  // 10 ms frames at 1000 Hz: loud (61 %), quiet, loud, three frames each.
  std::vector<int> s(90, 20000);
  for (int i = 30; i < 60; ++i) s[static_cast<std::size_t>(i)] = 0;
  const std::string in = wavWith("burst.wav", 1, 16, 1000, s);
  const std::string out = test::tempDir() + "/cut.wav";
  auto r = runCli({"autocut", "--frame", "10", in, out});  // automatic by default
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "threshold 40\n");
  r = runCli({"info", out});
  EXPECT_NE(r.out.find("\"cues\":[{\"id\":1,\"position\":0,\"length\":50,\"label\":\"Auto Cue "
                       "1\",\"note\":\"\",\"purpose\":\"rgn\"}]"),
            std::string::npos)
      << r.out;

  r = runCli({"autocut", "--threshold", "70", "--frame", "10", in, out});
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "threshold 70\n");
  EXPECT_NE(runCli({"info", out}).out.find("\"cues\":[]"), std::string::npos);

  // Stereo 8-bit: the envelope averages both channels.
  const std::string st = wavWith("st.wav", 2, 8, 1000, {127, 127, 0, 0, 127, 127, 0, 0, 0, 0});
  r = runCli({"autocut", "--threshold", "50", "--frame", "1", st, out});
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_NE(runCli({"info", out}).out.find("\"position\":0,\"length\":1,"), std::string::npos);
}

TEST(CliEffects, BadArgumentsAreUsageErrorsAndBadFilesFailures) {
  const std::string out = test::tempDir() + "/x.wav";
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"reverse", kDemo},
           {"normalize", kDemo, out, out},
           {"echo", "--delay", "1001", kDemo, out},
           {"echo", "--decay", "-1", kDemo, out},
           {"echo", "--decay", "5x", kDemo, out},
           {"echo", kDemo, out, "--delay"},
           {"autocut", "--threshold", "101", kDemo, out},
           {"autocut", "--frame", "0", kDemo, out},
           {"autocut", "--auto", "--threshold", "5", kDemo, out},
           {"autocut", "--fast", kDemo, out},
       }) {
    const auto r = runCli(args);
    EXPECT_EQ(r.exitCode, 2) << args[0] << " " << args[1];
    EXPECT_NE(r.err.find("Usage: voxloom-cli " + args[0]), std::string::npos);
  }
  const auto r = runCli({"reverse", test::tempDir() + "/missing.wav", out});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Error: Can't open WAV file"), std::string::npos);
}

}  // namespace
}  // namespace voxloom
