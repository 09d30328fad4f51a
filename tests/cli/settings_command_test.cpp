#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::runCli;

std::string writeText(const std::string& name, const std::string& text) {
  return test::writeTempFile(name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(CliSettings, PrintsEveryKeyAsItWouldBeWrittenAndWritesTheSameFile) {
  const std::string in = writeText(
      "cli_settings.ini",
      "[program]\nwindowposleft=0x64\n[SEGMENTS]\nSegmentDuration=abc\nSegmentDuration2=99999\n"
      "[RANDOMSOURCE]\nFractalGrowthConstant=3.90\nRandomSourceHttp1=u\n[Later]\nx=1\n");
  const std::string out = test::tempDir() + "/cli_settings_out.ini";
  const auto r = runCli({"settings", "--settings", in, "--write", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(
      r.out.rfind("{\"SEGMENTS\":{\"SegmentDuration\":\"80\",\"SegmentDuration2\":\"10000\",", 0),
      0u);
  EXPECT_NE(r.out.find("\"WindowPosLeft\":\"100\""), std::string::npos);
  EXPECT_NE(r.out.find("\"FractalGrowthConstant\":\"3.9\""), std::string::npos);
  EXPECT_NE(r.out.find("\"RandomSourceHttp1\":\"u\",\"RandomSourceFileLoop\""), std::string::npos);
  EXPECT_NE(r.out.find("\"DeviceLiveAudioSourceName\":\"\"},\"INPUTSOURCE\""), std::string::npos);
  EXPECT_NE(r.out.find("\"Later\":{\"x\":\"1\"}}"), std::string::npos);

  // Reading the written file gives the same JSON.
  const auto again = runCli({"settings", "--settings", out});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.out, r.out);
}

TEST(CliSettings, UnreadableInputIsDefaultsButAnUnwritableOutputFails) {
  const auto r = runCli({"settings", "--settings", test::tempDir()});  // a directory
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("\"SegmentDuration\":\"80\""), std::string::npos);
  const auto dir =
      runCli({"settings", "--settings", "/nonexistent.ini", "--write", test::tempDir()});
  EXPECT_EQ(dir.exitCode, 1);
  EXPECT_EQ(dir.err, "Error: Can't write the settings file '" + test::tempDir() + "'.\n");
  EXPECT_EQ(runCli({"settings", "--write"}).exitCode, 2);
  EXPECT_EQ(runCli({"settings", "extra"}).exitCode, 2);
}

}  // namespace
}  // namespace voxloom
