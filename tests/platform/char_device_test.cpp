#include "platform/linux/char_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/random/draw_trace.h"
#include "core/random/random_sources.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The device source on a FIFO made here, written by a thread as a generator program would.
class DeviceFifoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // ctest runs each test as a process of its own, maybe at the same time.
    dir = fs::path(::testing::TempDir()) / ("voxloom_device_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fifo = (dir / "rng").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    random.device.device = &device;
    random.log.trace = &trace;
  }
  void TearDown() override {
    if (writer.joinable()) writer.join();
    fs::remove_all(dir);
  }
  SelectOutcome select(const std::string& path) {
    return random.selectRandomSource(RandomSourceKind::Device, path, "", false);
  }
  // Opens the FIFO's write end (the reader is open already), writes `bytes` in chunks of
  // `chunk` with `pause` between them, then waits `hold` and closes.
  void write(std::vector<std::uint8_t> bytes, std::size_t chunk,
             std::chrono::milliseconds pause = {}, std::chrono::milliseconds hold = {}) {
    writer = std::thread([=, this] {
      const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) return;
      for (std::size_t i = 0; i < bytes.size(); i += chunk) {
        const std::size_t n = std::min(chunk, bytes.size() - i);
        if (::write(fd, bytes.data() + i, n) != static_cast<ssize_t>(n)) break;
        std::this_thread::sleep_for(pause);
      }
      std::this_thread::sleep_for(hold);
      ::close(fd);
    });
  }
  double drawSeconds(int draws) {
    const auto start = Clock::now();
    for (int i = 0; i < draws; ++i) random.drawRandom(1000);
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

  fs::path dir;
  std::string fifo;
  std::thread writer;
  CharDevice device;
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
  DrawTrace trace;
};

TEST_F(DeviceFifoTest, KnownBytesGiveTheirWordsThenTheClosedWriterEndsTheRun) {
  struct Case {
    const char* name;
    std::size_t chunk;
    int pauseMs;
  };
  for (const Case c : {Case{"all at once", 8, 0}, Case{"1 byte at a time", 1, 20}}) {
    stop.stopRequested = false;
    prompter.shown.clear();
    trace.raw.clear();
    ASSERT_EQ(select(fifo), SelectOutcome::Selected) << c.name;
    write({0x00, 0x00, 0x01, 0x00, 0xDE, 0xAD, 0xBE, 0xEF}, c.chunk,
          std::chrono::milliseconds(c.pauseMs));
    drawSeconds(3);
    writer.join();
    EXPECT_EQ(trace.raw, (std::vector<std::string>{"256", "-559038737"})) << c.name;
    EXPECT_TRUE(stop.stopRequested) << c.name;
    ASSERT_EQ(prompter.shown.size(), 1u) << c.name;
    EXPECT_EQ(prompter.shown[0].text, deviceMessage(kDeviceEndText, fifo)) << c.name;
  }
}

TEST_F(DeviceFifoTest, ASilentDeviceStopsTheRunAfterOneSecond) {
  // No writer yet, and a writer that opens but sends nothing: both are silence, not an end.
  for (const bool withWriter : {false, true}) {
    stop.stopRequested = false;
    prompter.shown.clear();
    ASSERT_EQ(select(fifo), SelectOutcome::Selected);
    if (withWriter) write({}, 1, {}, std::chrono::milliseconds(1500));
    const double seconds = drawSeconds(1);
    EXPECT_GE(seconds, 0.9);
    EXPECT_LT(seconds, 1.5);
    EXPECT_TRUE(stop.stopRequested);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, deviceMessage(kDeviceSilentText, fifo));
    if (writer.joinable()) writer.join();
  }
}

TEST_F(DeviceFifoTest, StopEndsAWaitPromptly) {
  ASSERT_EQ(select(fifo), SelectOutcome::Selected);
  std::thread stopper([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    random.device.cancelWait();
  });
  const double seconds = drawSeconds(1);
  stopper.join();
  EXPECT_LT(seconds, 0.3);
  EXPECT_TRUE(stop.stopRequested);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(DeviceFifoTest, DevZeroGivesZeroWords) {
  ASSERT_EQ(select("/dev/zero"), SelectOutcome::Selected);
  drawSeconds(3);
  EXPECT_FALSE(stop.stopRequested);
  EXPECT_EQ(trace.raw, (std::vector<std::string>{"0", "0", "0"}));
  EXPECT_EQ(trace.mapped, (std::vector<std::int32_t>{0, 0, 0}));
}

TEST_F(DeviceFifoTest, OpenFailuresAreNamed) {
  const std::string file = (dir / "numbers.pcm").string();
  std::ofstream(file) << "abcd";
  struct Case {
    std::string path;
    DeviceOpenError error;
  };
  std::vector<Case> cases = {
      {file, DeviceOpenError::RegularFile},
      {dir.string(), DeviceOpenError::NotADevice},
      {(dir / "missing").string(), DeviceOpenError::NotFound},
  };
  // root may read anything, so the permission case needs an ordinary user.
  if (geteuid() != 0) {
    ASSERT_EQ(chmod(fifo.c_str(), 0), 0);
    cases.push_back({fifo, DeviceOpenError::PermissionDenied});
  }
  for (const Case& c : cases) {
    EXPECT_EQ(device.open(c.path).error, c.error) << c.path;
    EXPECT_FALSE(device.isOpen()) << c.path;
  }
}

}  // namespace
}  // namespace voxloom
