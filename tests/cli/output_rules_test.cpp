// What a run leaves in its files when a signal ends it, and what a values file holds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::runCli;
using test::startCli;
using test::waitForCli;

std::string freshFolder(const std::string& name) {
  const fs::path dir = fs::path(::testing::TempDir()) / ("output_rules_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

int temporaries(const std::string& folder) {
  return static_cast<int>(std::count_if(fs::directory_iterator(folder), {}, [](const auto& e) {
    return e.path().filename().string().starts_with(".voxloom-");
  }));
}

// Polls `ready` for up to two seconds.
template <typename F>
bool waitFor(F ready) {
  for (int i = 0; i < 200 && !ready(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return ready();
}

std::size_t lineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CliOutputRules, AKilledWriteRnLeavesThePreviousFile) {
  const std::string folder = freshFolder("write_rn");
  const std::string fifo = folder + "/rng";
  const std::string out = folder + "/numbers.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(out) << "1\n2\n3\n";
  const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
  const int cli = startCli({"write-rn", "--source", "device:" + fifo, "--count", "1000", out},
                           devNull, folder + "/err.txt");
  close(devNull);
  // Two words, then the source stalls in the middle of the run.
  int writer = -1;
  EXPECT_TRUE(waitFor([&] { return (writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }));
  EXPECT_EQ(write(writer, "abcdefgh", 8), 8);
  waitFor([&] { return temporaries(folder) > 0; });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kill(cli, SIGTERM);
  EXPECT_EQ(waitForCli(cli), -SIGTERM);
  close(writer);
  EXPECT_EQ(readBytes(out), "1\n2\n3\n");
  EXPECT_EQ(temporaries(folder), 0);
}

// The log of a run ended by a signal holds every value drawn, in whole lines: the same
// log as a complete run of that many draws, and at least the lines printed.
TEST(CliOutputRules, ALogEndedBySignalHoldsWholeLines) {
  struct Case {
    const char* name;
    bool pipe;  // the reader of standard output goes away (SIGPIPE) instead of SIGTERM
  };
  for (const Case& c : {Case{"term", false}, Case{"pipe", true}}) {
    const std::string folder = freshFolder(c.name);
    const std::string log = folder + "/log.txt";
    const std::string printed = folder + "/printed.txt";
    const std::vector<std::string> args = {"random", "--seed", "7", "--range", "10", "--log", log};
    int fds[2] = {-1, -1};
    if (c.pipe) {
      ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
    } else {
      fds[1] = open(printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    auto endless = args;
    endless.insert(endless.end(), {"--count", "1000000000000"});
    const int cli = startCli(endless, fds[1], folder + "/err.txt");
    close(fds[1]);
    std::string shown;
    if (c.pipe) {
      char first[2] = {};
      EXPECT_EQ(read(fds[0], first, 2), 2);  // one line, then the reader goes
      shown.assign(first, 2);
      close(fds[0]);
      EXPECT_EQ(waitForCli(cli), -SIGPIPE) << c.name;
    } else {
      waitFor([&] { return fs::file_size(printed) > 0; });
      kill(cli, SIGTERM);
      EXPECT_EQ(waitForCli(cli), -SIGTERM) << c.name;
      shown = readBytes(printed);
    }
    const std::string logged = readBytes(log);
    ASSERT_FALSE(logged.empty()) << c.name;
    EXPECT_GE(lineCount(logged), lineCount(shown)) << c.name;
    auto complete = args;
    complete[6] = folder + "/complete.txt";
    complete.insert(complete.end(), {"--count", std::to_string(lineCount(logged))});
    const auto r = runCli(complete);
    // Compared as booleans: a diff of megabytes would take gtest for ever.
    EXPECT_TRUE(logged == readBytes(complete[6])) << c.name << ": " << logged.size() << " bytes";
    EXPECT_TRUE(r.out.starts_with(shown)) << c.name;
  }
}

TEST(CliOutputRules, HealthNotesStayOutOfTheValuesFile) {
  const std::string out = freshFolder("health") + "/zeros.txt";
  const auto r = runCli({"write-rn", "--source", "device:/dev/zero", "--count", "100", out});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::string values = readBytes(out);
  EXPECT_EQ(values.size(), 200u);
  EXPECT_EQ(values.find_first_not_of("0\n"), std::string::npos) << values;
}

}  // namespace
}  // namespace voxloom
