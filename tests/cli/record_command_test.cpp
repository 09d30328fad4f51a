#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "core/audio/byte_stream.h"
#include "core/audio/wav_reader.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

namespace fs = std::filesystem;

TEST(CliRecord, WrongUsageExitsTwo) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"record", "out.wav"},
        {"record", "--seconds", "0", "out.wav"},
        {"record", "--seconds", "1", "--channels", "3", "out.wav"},
        {"record", "--seconds", "1", "--bits", "24", "out.wav"},
        {"record", "--seconds", "1", "--boost", "91", "out.wav"},
        {"record", "--seconds", "1"}}) {
    const test::CliResult r = test::runCli(args);
    EXPECT_EQ(r.exitCode, 2) << args[2] << " " << r.err;
  }
}

// The input comes from a raw file through SDL's disk driver.
TEST(CliRecord, RecordsFromTheDiskDriverOrRefusesABadRate) {
  const fs::path dir = fs::temp_directory_path() / "voxloom-cli-record";
  fs::create_directories(dir);
  const std::string raw = (dir / "in.raw").string();
  {
    std::ofstream in(raw, std::ios::binary);
    for (int i = 0; i < 8000; ++i) {
      const auto s = static_cast<std::int16_t>((i % 100) * 50 - 2500);
      in.put(static_cast<char>(s & 0xFF)).put(static_cast<char>((s >> 8) & 0xFF));
    }
  }
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILEIN", raw.c_str(), 1);
  ::setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);

  const std::string out = (dir / "rec.wav").string();
  test::CliResult r = test::runCli(
      {"record", "--seconds", "0.2", "--rate", "8000", "--boost", "7", "--no-normalize", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto stream = ByteStream::openFile(out);
  ASSERT_TRUE(stream);
  AudioDocument doc;
  ASSERT_EQ(loadWav(*stream, doc, out).status, WavLoadStatus::Loaded);
  EXPECT_EQ(doc.nominalRate, 8000);
  ASSERT_GE(doc.frameCount, 1600);
  for (Frames f = 0; f < 200; ++f)  // boosted by 2
    ASSERT_EQ(doc.sampleAt(doc.channelBase(0), f), ((f % 100) * 50 - 2500) * 2) << f;

  r = test::runCli({"record", "--seconds", "1", "--rate", "fast", out});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Error: Invalid sample rate."), std::string::npos) << r.err;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace voxloom
