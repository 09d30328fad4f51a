// Files the user names as inputs: what is no regular file is refused at once (never
// waited on), and a hostile file cannot make memory balloon.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/support/bounded_cli_run.h"
#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

using test::runCliBounded;

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

class CliUserFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = test::tempDir() + "/user_files";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    fifo = dir + "/numbers.pcm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  // A file of `count` copies of `piece`, written in slices.
  std::string repeated(const std::string& name, const std::string& piece, std::size_t count) {
    const std::string path = dir + "/" + name;
    std::ofstream out(path, std::ios::binary);
    std::string slice;
    for (int i = 0; i < 4096; ++i) slice += piece;
    for (std::size_t i = 0; i < count / 4096; ++i) out << slice;
    for (std::size_t i = 0; i < count % 4096; ++i) out << piece;
    return path;
  }

  std::string dir, fifo;
};

TEST_F(CliUserFiles, AFifoOrFolderIsRefusedAtOnceWithItsKind) {
  const std::string out = dir + "/out.wav";
  const std::string values = dir + "/values.txt";
  const std::string isFifo = "' is a FIFO, not a regular file.";
  const std::string isFolder = "' is a folder, not a file.";
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"random", "--source", "file:" + fifo, "--count", "3"},
       "The random source file '" + fifo + isFifo},
      {{"random", "--source", "file:" + dir, "--count", "3"},
       "The random source file '" + dir + isFolder},
      {{"write-rn", "--source", "file:" + fifo, "--count", "3", values},
       "The random source file '" + fifo + isFifo},
      {{"make-evp", kDemo, "-o", out, "--source", "file:" + fifo, "--seconds", "1"},
       "The random source file '" + fifo + isFifo},
      {{"labels", kDemo, "--import", fifo, "-o", out}, "The label file '" + fifo + isFifo},
      {{"labels", kDemo, "--import", dir, "-o", out}, "The label file '" + dir + isFolder},
      {{"labels", fifo}, "The WAV file '" + fifo + isFifo},
  };
  for (const auto& c : cases) {
    const auto run = runCliBounded(c.args, 10);
    std::string what;
    for (const std::string& a : c.args) what += a + " ";
    ASSERT_FALSE(run.timedOut) << what << ": waited on the FIFO";
    EXPECT_EQ(run.cli.exitCode, 1) << what;
    EXPECT_NE(run.cli.err.find(c.message), std::string::npos) << what << "\n" << run.cli.err;
    EXPECT_EQ(run.cli.err.find("too large"), std::string::npos) << what;
  }
}

// Each hostile file is a few MiB; valid files of that size need about their size (the
// program itself takes some 20 MB). Read whole, they took 100 MB and more.
TEST_F(CliUserFiles, HostileFilesKeepMemoryNearTheirSize) {
  const std::string out = dir + "/out.wav";
  const std::string oneLine = repeated("one_line.txt", "1234567890123456", 2u << 20);  // 32 MiB
  // 4 MiB of sections of one key each: the parser took some 25 times that.
  const std::string settings = dir + "/big.ini";
  {
    std::ofstream ini(settings, std::ios::binary);
    for (int i = 0; i < 200000; ++i) ini << "[S" << i << "]\nk" << i << "=v\n";
  }
  const struct {
    const char* what;
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  } cases[] = {
      {"a random number file of one long line",
       {"random", "--source", "file:" + oneLine, "--count", "3"},
       1,
       "is not a valid integer number."},
      {"a settings file beyond its limit",
       {"settings", "--settings", settings},
       0,
       "Error: The settings file '" + settings + "' is too large."},
  };
  for (const auto& c : cases) {
    const auto run = runCliBounded(c.args, 30);
    ASSERT_FALSE(run.timedOut) << c.what;
    EXPECT_EQ(run.cli.exitCode, c.exitCode) << c.what << "\n" << run.cli.err;
    EXPECT_NE(run.cli.err.find(c.message), std::string::npos) << c.what << "\n" << run.cli.err;
    EXPECT_LT(run.peakKiB, 64 * 1024) << c.what;
    std::printf("%s: %ld KiB\n", c.what, run.peakKiB);
  }
}

// A settings file that could not be read is not written over by --write onto itself
// (as root, the unreadable case runs as the user "nobody", who owns the file).
TEST_F(CliUserFiles, ASettingsFileThatCouldNotBeReadIsNotWrittenOver) {
  const std::string keys = "[SEGMENTS]\nSegmentDuration=90\n";
  const std::string file = dir + "/voxloom.ini";
  const bool root = ::geteuid() == 0;
  const struct {
    const char* what;
    std::string text;
    mode_t mode;
    std::string reason;
  } cases[] = {
      {"too large", keys + std::string((1u << 20) + 1, ';'), 0644,
       "The settings file '" + file + "' is too large."},
      {"not readable", keys, 0200, "Can't read the settings file '" + file + "'."},
  };
  for (const auto& c : cases) {
    std::ofstream(file, std::ios::binary) << c.text;
    ::chmod(file.c_str(), c.mode);
    const int user = root && c.mode == 0200 ? 65534 : -1;
    if (user >= 0) {
      ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
      ::chmod(dir.c_str(), 0777);
    }
    const auto run = runCliBounded({"settings", "--settings", file, "--write", file}, 10, user);
    EXPECT_EQ(run.cli.exitCode, 1) << c.what;
    EXPECT_EQ(run.cli.err, "Error: " + c.reason +
                               " The default settings are used, and the file is not written "
                               "over.\n")
        << c.what;
    EXPECT_NE(run.cli.out.find("\"SegmentDuration\":\"80\""), std::string::npos) << c.what;
    ::chmod(file.c_str(), 0644);
    EXPECT_EQ(test::readBytes(file), c.text) << c.what;
  }
}

}  // namespace
}  // namespace voxloom
