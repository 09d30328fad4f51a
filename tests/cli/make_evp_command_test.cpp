#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/audio/byte_stream.h"
#include "core/audio/wav_reader.h"
#include "core/util/little_endian.h"
#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::readBytes;
using test::runCli;

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

std::string tempPath(const std::string& name) {
  return ::testing::TempDir() + "make_evp_" + name;
}

// Loads a written EVP and checks the layout every one shares: one "rgn " cue per block,
// numbered from 1, placed at the running sum of the lengths before it, which together
// fill the data chunk.
void loadEvp(const std::string& path, AudioDocument& doc) {
  auto stream = ByteStream::openFile(path);
  ASSERT_TRUE(stream);
  ASSERT_EQ(loadWav(*stream, doc, path).status, WavLoadStatus::Loaded);
  Frames position = 0;
  for (std::size_t i = 0; i < doc.cues.size(); ++i) {
    const CuePoint& cue = doc.cues[i];
    EXPECT_EQ(cue.id, i + 1);
    EXPECT_EQ(cue.position, position) << "cue " << i + 1;
    EXPECT_EQ(cue.purpose, "rgn");
    EXPECT_EQ(cue.note.rfind("File: demo.wav, Time: 0:00:00.", 0), 0u) << cue.note;
    position += cue.length;
  }
  EXPECT_EQ(position, doc.frameCount);
}

TEST(CliMakeEvp, TheSameSeedGivesTheSameFileAndAnotherSeedAnother) {
  const std::string a = tempPath("a.wav"), b = tempPath("b.wav"), c = tempPath("c.wav");
  for (const auto& [out, seed] : {std::pair{a, "42"}, std::pair{b, "42"}, std::pair{c, "43"}}) {
    const auto r = runCli({"make-evp", kDemo, "-o", out, "--seed", seed, "--seconds", "3",
                           "--xfade", "sine", "--to", "40"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
  }
  EXPECT_EQ(readBytes(a), readBytes(b));
  EXPECT_NE(readBytes(a), readBytes(c));
}

TEST(CliMakeEvp, SecondsEndWithTheBlockThatReachesThemAndBlocksCountExactly) {
  const std::string out = tempPath("seconds.wav");
  auto r = runCli({"make-evp", kDemo, "-o", out, "--seed", "1", "--seconds", "2"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  AudioDocument evp;
  loadEvp(out, evp);
  ASSERT_FALSE(evp.cues.empty());
  EXPECT_GE(evp.frameCount, 2 * 22050);
  EXPECT_LT(evp.frameCount - evp.cues.back().length, 2 * 22050);
  EXPECT_EQ(evp.cues[0].label, "Segment 1");
  // From 80 ms on the grid without "To": every block is one grid segment long before the
  // zero-cross adjustment, so lengths stay near 1764 frames.
  for (const CuePoint& cue : evp.cues) EXPECT_NEAR(cue.length, 1764, 1764 / 2);

  r = runCli({"make-evp", kDemo, "-o", out, "--seed", "1", "--blocks", "7", "--overlap"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  AudioDocument seven;
  loadEvp(out, seven);
  EXPECT_EQ(seven.cues.size(), 7u);
}

TEST(CliMakeEvp, CueListBlocksCarryTheirLabelsAndTheLogHasOneDrawPerBlock) {
  const std::string out = tempPath("cues.wav");
  const std::string log = tempPath("log.txt");
  // X-Fade is disabled with the cue list, so it does not count.
  const auto r = runCli({"make-evp", kDemo, "-o", out, "--seed", "5", "--blocks", "4", "--cue-list",
                         "--xfade", "linear", "--log", log});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  AudioDocument evp;
  loadEvp(out, evp);
  ASSERT_EQ(evp.cues.size(), 4u);
  for (const CuePoint& cue : evp.cues) {
    EXPECT_EQ(cue.label.rfind("Segment ", 0), 0u);
    EXPECT_NE(cue.label.find(" (\""), std::string::npos) << cue.label;
  }
  const std::string lines = readBytes(log);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 4);
}

TEST(CliMakeEvp, WrongUsageExitsWithTwoAndFailuresWithOne) {
  const std::string out = tempPath("bad.wav");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"make-evp", kDemo},
           {"make-evp", "-o", out},
           {"make-evp", kDemo, "-o", out, "--blocks", "0"},
           {"make-evp", kDemo, "-o", out, "--blocks", "2", "--seconds", "1"},
           {"make-evp", kDemo, "-o", out, "--from", "0"},
           {"make-evp", kDemo, "-o", out, "--to", "10001"},
           {"make-evp", kDemo, "-o", out, "--xfade", "trapezoid15"},
           {"make-evp", kDemo, "-o", out, "--source", "lpt"},
           {"make-evp", kDemo, "-o", out, "--seed", "-3"},
           {"make-evp", kDemo, "-o", out, "--frobnicate"},
           // Values no WAV file can hold, or that are no numbers at all.
           {"make-evp", kDemo, "-o", out, "--seconds", "1e18"},
           {"make-evp", kDemo, "-o", out, "--seconds", "nan"},
           {"make-evp", kDemo, "-o", out, "--seconds", "inf"},
           {"make-evp", kDemo, "-o", out, "--blocks", "4294967296"},
           {"make-evp", kDemo, "-o", out, "--blocks", "99999999999999999999"},
           // A log named like a file the run reads or writes would destroy it.
           {"make-evp", kDemo, "-o", out, "--log", kDemo},
           {"make-evp", kDemo, "-o", out, "--log", out},
       }) {
    EXPECT_EQ(runCli(args).exitCode, 2) << args.back();
  }
  const auto missing = runCli({"make-evp", tempPath("missing.wav"), "-o", out});
  EXPECT_EQ(missing.exitCode, 1);
  const auto unwritable = runCli({"make-evp", kDemo, "-o", "/nonexistent-dir/x.wav"});
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_NE(unwritable.err.find("Error: Can't open WAV file"), std::string::npos) << unwritable.err;
}

// What cannot fit a WAV file is refused before anything is generated, so these end at
// once instead of growing without limit.
TEST(CliMakeEvp, RefusesAnEvpLargerThanAWavFileBeforeMakingIt) {
  const std::string out = tempPath("huge.wav");
  std::remove(out.c_str());
  // A rate of 2^31 - 1 makes one second 8 GB of 16-bit stereo.
  std::vector<std::uint8_t> fast = test::simpleWav(2, 16, 8000, 4000);
  putLe32(&fast[24], 2147483647u);
  const std::string fastWav = test::writeTempFile("fast.wav", fast);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"make-evp", kDemo, "-o", out, "--seconds", "1e9"},
           {"make-evp", kDemo, "-o", out, "--blocks", "2147483647"},
           {"make-evp", fastWav, "-o", out, "--seconds", "1"},
       }) {
    const auto r = runCli(args);
    EXPECT_EQ(r.exitCode, 1) << args[4];
    EXPECT_EQ(r.err, "Error: The EVP would not fit a WAV file (at most 4 GB with its cue list).\n")
        << args[4];
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

// Write errors of the random log are reported, not dropped.
TEST(CliMakeEvp, AFullLogDiskFailsTheRun) {
  const auto r = runCli({"make-evp", kDemo, "-o", tempPath("full.wav"), "--seed", "1", "--blocks",
                         "2000", "--log", "/dev/full"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Error: Can't write to output log file '/dev/full'."), std::string::npos)
      << r.err;
  const std::string before = readBytes(kDemo);
  EXPECT_EQ(runCli({"make-evp", kDemo, "-o", tempPath("x.wav"), "--log", kDemo}).exitCode, 2);
  EXPECT_EQ(readBytes(kDemo), before);
}

}  // namespace
}  // namespace voxloom
