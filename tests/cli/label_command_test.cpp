#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::runCli;

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

std::string textFile(const std::string& name, const std::string& text) {
  return test::writeTempFile(name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::size_t lineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CliLabels, PrintsTheDemoCuesAndImportsThemBackUnchanged) {
  const auto printed = runCli({"labels", kDemo});
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  EXPECT_EQ(lineCount(printed.out), 21u);
  // The first cue: position 3307, length 6475 at 22050 Hz.
  EXPECT_EQ(printed.out.substr(0, 22), "0.149977\t0.443628\tLis\n");

  // Replacing the cues by their own label track changes neither positions nor labels.
  const std::string labels = textFile("demo_labels.txt", printed.out);
  const std::string out = test::tempDir() + "/demo_relabelled.wav";
  const auto imported = runCli({"labels", kDemo, "--import", labels, "-o", out, "--replace"});
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(imported.err, "");
  EXPECT_EQ(runCli({"labels", out}).out, printed.out);

  // Adding them doubles every line.
  const auto added = runCli({"labels", kDemo, "--import", labels, "-o", out});
  ASSERT_EQ(added.exitCode, 0) << added.err;
  EXPECT_EQ(lineCount(runCli({"labels", out}).out), 42u);
}

TEST(CliLabels, ReportsBadLinesAndRefusesWrongUsage) {
  const std::string labels = textFile("bad_labels.txt", "0.1\t0.2\tok\nnonsense\n99\t99\tlate\n");
  const std::string out = test::tempDir() + "/demo_bad_labels.wav";
  const auto r = runCli({"labels", kDemo, "--import", labels, "-o", out, "--replace"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.err.find("Line 2: no TAB between start and end"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Line 3: time outside the signal"), std::string::npos) << r.err;
  EXPECT_EQ(lineCount(runCli({"labels", out}).out), 2u);

  const std::string junk = textFile("junk_labels.txt", "junk\n");
  EXPECT_EQ(runCli({"labels", kDemo, "--import", junk, "-o", out}).exitCode, 1);
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"labels"},
                                             {"labels", kDemo, "--import", labels},
                                             {"labels", kDemo, "--replace"},
                                             {"labels", kDemo, "--bogus"},
                                             {"labels", kDemo, kDemo}})
    EXPECT_EQ(runCli(args).exitCode, 2);
  EXPECT_EQ(runCli({"labels", "/nonexistent.wav"}).exitCode, 1);
}

}  // namespace
}  // namespace voxloom
