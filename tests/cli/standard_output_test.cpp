// Standard output is checked like any file: a write that fails is reported once, and a
// reader that goes away ends the run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "tests/core/session/session_example.h"
#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::readBytes;
using test::startCli;
using test::waitForCli;

TEST(CliStandardOutput, AFailedStandardOutputIsAFailure) {
  const std::string wav = test::writeTempFile("full.wav", test::simpleWav(1, 16, 8000, 4000));
  const std::string session =
      test::writeTempFile("full.evp", {test::kExampleSession.begin(), test::kExampleSession.end()});
  const std::vector<std::vector<std::string>> commands = {
      {"random", "--count", "100000"},
      {"random", "--test", "--count", "1000"},
      {"info", wav},
      {"settings", "--settings", test::tempDir() + "/full_none.ini"},
      {"session", session},
      {"labels", std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav"},  // it has cues
  };
  const std::string err = test::tempDir() + "/full.err";
  for (const auto& args : commands) {
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    const int cli = startCli(args, full, err);
    close(full);
    EXPECT_EQ(waitForCli(cli), 1) << args[0] << ' ' << args[1];
    EXPECT_EQ(readBytes(err), "Error: Can't write to standard output: No space left on device.\n")
        << args[0] << ' ' << args[1];
  }
}

// With SIGPIPE ignored, a reader that goes away ends the drawing at once, quietly.
TEST(CliStandardOutput, AReaderThatGoesAwayEndsALongRun) {
  int fds[2] = {-1, -1};
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  const std::string err = test::tempDir() + "/gone.err";
  const auto begun = std::chrono::steady_clock::now();
  const int cli = startCli({"random", "--count", "100000000"}, fds[1], err, true);
  close(fds[1]);
  char first[1] = {};
  EXPECT_EQ(read(fds[0], first, 1), 1);
  close(fds[0]);
  EXPECT_EQ(waitForCli(cli), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(2));
  EXPECT_EQ(readBytes(err), "");
}

}  // namespace
}  // namespace voxloom
