// Input files the user names: what is no regular file is refused at once, never waited
// on; a hostile file cannot make memory balloon; settings that could not be read stay.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/bounded_cli_run.h"
#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

TEST(CliUserFiles, FifosFoldersAndHostileFilesEndAtOnceInLittleMemory) {
  const std::string dir = test::tempDir() + "/user_files";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string fifo = dir + "/numbers.pcm", out = dir + "/out.wav";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string line = dir + "/line.txt", ini = dir + "/big.ini";
  std::ofstream(line) << std::string(32u << 20, '1');
  {
    std::ofstream big(ini);  // 4 MiB of sections: parsed, they took 100 MB
    for (int i = 0; i < 200000; ++i) big << "[S" << i << "]\nk" << i << "=v\n";
  }
  const std::string fifoText = "' is a FIFO, not a regular file.";
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  } cases[] = {
      {{"random", "--source", "file:" + fifo}, 1, "random source file '" + fifo + fifoText},
      {{"write-rn", "--source", "file:" + fifo, "--count", "3", dir + "/v.txt"},
       1,
       "random source file '" + fifo + fifoText},
      {{"make-evp", kDemo, "-o", out, "--source", "file:" + fifo},
       1,
       "random source file '" + fifo + fifoText},
      {{"labels", kDemo, "--import", fifo, "-o", out}, 1, "label file '" + fifo + fifoText},
      {{"labels", kDemo, "--import", dir, "-o", out},
       1,
       "The label file '" + dir + "' is a folder, not a file."},
      {{"random", "--source", "file:" + line}, 1, "is not a valid integer number."},
      {{"settings", "--settings", ini}, 0, "The settings file '" + ini + "' is too large."},
  };
  for (const auto& c : cases) {
    const auto run = test::runCliBounded(c.args, 20);
    ASSERT_FALSE(run.timedOut) << c.args[0] << " " << c.args[2];
    EXPECT_EQ(run.cli.exitCode, c.exitCode) << run.cli.err;
    EXPECT_NE(run.cli.err.find(c.message), std::string::npos) << run.cli.err;
    EXPECT_LT(run.peakKiB, 64 * 1024) << c.args[0] << " " << c.args[2];
  }
  std::filesystem::remove_all(dir);
}

// As root the file belongs to "nobody", who runs the command: modes do not stop root.
TEST(CliUserFiles, AnUnreadableSettingsFileIsNotWrittenOverBySettingsWrite) {
  const std::string dir = test::tempDir() + "/unreadable_settings";
  std::filesystem::create_directories(dir);
  const std::string file = dir + "/voxloom.ini", keys = "[SEGMENTS]\nSegmentDuration=90\n";
  std::ofstream(file) << keys;
  const int user = ::geteuid() == 0 ? 65534 : -1;
  if (user >= 0) {
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    ::chmod(dir.c_str(), 0777);
  }
  ::chmod(file.c_str(), 0200);
  const auto run = test::runCliBounded({"settings", "--settings", file, "--write", file}, 10, user);
  EXPECT_EQ(run.cli.exitCode, 1);
  EXPECT_EQ(run.cli.err, "Error: Can't read the settings file '" + file +
                             "'. The default settings are used, and the file is not written "
                             "over.\n");
  ::chmod(file.c_str(), 0644);
  EXPECT_EQ(test::readBytes(file), keys);
}

}  // namespace
}  // namespace voxloom
