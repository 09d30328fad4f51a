#include "core/random/device_source.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>

#include "core/random/draw_trace.h"
#include "core/random/random_sources.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

// Hands out scripted reads: a chunk of bytes, or a status without any.
class ScriptedDevice : public ByteDevice {
 public:
  struct Read {
    DeviceReadStatus status;
    std::vector<std::uint8_t> bytes;
    std::string error;
  };
  std::deque<Read> reads;
  DeviceOpenResult openResult;
  std::function<void()> onRead;  // runs before each read (a Stop arriving mid-wait)
  std::string openedPath;
  int readCalls = 0;
  bool open_ = false;

  DeviceOpenResult open(const std::string& path) override {
    openedPath = path;
    open_ = openResult.ok();
    return openResult;
  }
  bool isOpen() const override { return open_; }
  DeviceReadResult read(std::uint8_t* buffer, std::size_t size, int) override {
    ++readCalls;
    if (onRead) onRead();
    if (reads.empty()) return {DeviceReadStatus::Timeout, 0, {}};
    Read r = reads.front();
    reads.pop_front();
    const std::size_t n = std::min(size, r.bytes.size());
    if (n > 0) std::memcpy(buffer, r.bytes.data(), n);
    if (n < r.bytes.size())  // the rest waits for the next read
      reads.push_front({r.status, {r.bytes.begin() + static_cast<long>(n), r.bytes.end()}, {}});
    return {r.status, n, r.error};
  }
  void close() override { open_ = false; }
};

class DeviceSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    random.device.device = &device;
    random.log.trace = &trace;
  }
  SelectOutcome select(const std::string& path) {
    return random.selectRandomSource(RandomSourceKind::Device, path, "", false);
  }
  void data(std::vector<std::uint8_t> bytes) {
    device.reads.push_back({DeviceReadStatus::Data, std::move(bytes), {}});
  }

  ScriptedDevice device;
  StopRequest stop;
  test::ScriptedPrompter prompter;
  RandomSources random{stop, prompter};
  DrawTrace trace;
};

TEST_F(DeviceSourceTest, FourBytesMakeAWordHowEverTheyArrive) {
  ASSERT_EQ(select("/dev/hwrng"), SelectOutcome::Selected);
  EXPECT_EQ(random.randomKind, RandomSourceKind::Device);
  EXPECT_EQ(random.menu.deviceCaption, "D&evice [/dev/hwrng] ...");
  EXPECT_EQ(random.randomFilePath, "");              // the device is no random file
  data({0x12, 0x34, 0x56, 0x78, 0xFF, 0xFF, 0xFF});  // one word and a part
  data({0xFE});
  for (std::uint8_t b : {0x80, 0x00, 0x00, 0x01}) data({b});  // one byte a read
  for (int i = 0; i < 3; ++i) random.drawRandom(256);
  EXPECT_FALSE(stop.stopRequested);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(trace.raw, (std::vector<std::string>{"305419896", "-2", "-2147483647"}));
  // The top byte decides a draw of 256.
  EXPECT_EQ(trace.mapped, (std::vector<std::int32_t>{0x12, 0xFF, 0x80}));
}

TEST_F(DeviceSourceTest, SilenceEndAndErrorsStopTheRunWithTheirMessage) {
  struct Case {
    const char* name;
    std::vector<ScriptedDevice::Read> reads;
    std::string message;
  };
  const std::string path = "/tmp/rng";
  const std::vector<Case> cases = {
      {"silent", {}, deviceMessage(kDeviceSilentText, path)},
      {"silent after 2 bytes",
       {{DeviceReadStatus::Data, {1, 2}, {}}},
       deviceMessage(kDeviceSilentText, path)},
      {"writer closed",
       {{DeviceReadStatus::Data, {1}, {}}, {DeviceReadStatus::End, {}, {}}},
       deviceMessage(kDeviceEndText, path)},
      {"read error",
       {{DeviceReadStatus::Error, {}, "Input/output error"}},
       deviceMessage(kDeviceReadErrorText, path, "Input/output error")},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(select(path), SelectOutcome::Selected);
    stop.stopRequested = false;
    prompter.shown.clear();
    device.reads.assign(c.reads.begin(), c.reads.end());
    device.readCalls = 0;
    EXPECT_EQ(random.drawRandom(10), 0) << c.name;
    EXPECT_TRUE(stop.stopRequested) << c.name;
    ASSERT_EQ(prompter.shown.size(), 1u) << c.name;
    EXPECT_EQ(prompter.shown[0].text, c.message) << c.name;
    EXPECT_FALSE(device.isOpen()) << c.name;  // the next run opens it afresh
  }
  // 1 s of silence is 20 slices of 50 ms.
  EXPECT_EQ(cases[0].message,
            "The random device '/tmp/rng' sent no data for 1 second. Playback has been stopped.");

  // A new run reopens the device and reads from the start of what it sends.
  stop.stopRequested = false;
  data({0, 0, 0, 7});
  trace.raw.clear();
  random.drawRandom(10);
  EXPECT_TRUE(device.isOpen());
  EXPECT_EQ(trace.raw, (std::vector<std::string>{"7"}));
}

TEST_F(DeviceSourceTest, SilentDeviceGivesUpAfterTheTimeOutSlices) {
  ASSERT_EQ(select("/dev/ttyACM0"), SelectOutcome::Selected);
  random.drawRandom(10);
  EXPECT_EQ(device.readCalls, 1000 / DeviceSource::kSliceMs);
}

TEST_F(DeviceSourceTest, StopDuringAWaitEndsItQuietlyAndKeepsTheBytes) {
  ASSERT_EQ(select("/dev/hwrng"), SelectOutcome::Selected);
  data({0xAA, 0xBB});
  device.onRead = [this] {
    if (device.readCalls == 3) random.stopSourceWaits();
  };
  EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_TRUE(stop.stopRequested);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(device.readCalls, 3);
  EXPECT_TRUE(trace.raw.empty());

  stop.stopRequested = false;
  device.onRead = nullptr;
  data({0xCC, 0xDD});
  random.drawRandom(10);
  EXPECT_EQ(trace.raw, (std::vector<std::string>{std::to_string(std::int32_t(0xAABBCCDD))}));
}

TEST_F(DeviceSourceTest, AFailedOpenSaysWhyAndKeepsThePreviousSource) {
  struct Case {
    DeviceOpenResult result;
    std::string expectStart;
  };
  const std::vector<Case> cases = {
      {{DeviceOpenError::PermissionDenied, "Permission denied"},
       "You may not read the random device '/dev/hwrng' (Permission denied).\nAdd your user"},
      {{DeviceOpenError::RegularFile, "an ordinary file"},
       "'/dev/hwrng' is an ordinary file, not a device. Use Preferences > Random source > File"},
      {{DeviceOpenError::NotFound, "No such file or directory"},
       "The random device '/dev/hwrng' can't be opened: No such file or directory."},
  };
  for (const Case& c : cases) {
    prompter.shown.clear();
    device.openResult = c.result;
    EXPECT_EQ(select("/dev/hwrng"), SelectOutcome::Failed);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "Error");
    EXPECT_EQ(prompter.shown[0].text.rfind(c.expectStart, 0), 0u) << prompter.shown[0].text;
    EXPECT_EQ(random.randomKind, RandomSourceKind::PseudoRng);
    EXPECT_EQ(random.device.path, "");
  }
}

TEST_F(DeviceSourceTest, TheMenuItemAsksForTheDeviceStartingInDev) {
  random.device.path = "/dev/hwrng";
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::Device, "", "", true),
            SelectOutcome::Cancelled);
  ASSERT_EQ(prompter.openDialogs.size(), 1u);
  EXPECT_EQ(prompter.openDialogs[0].initialFolder, "/dev");
  EXPECT_EQ(prompter.openDialogs[0].fileName, "/dev/hwrng");
  EXPECT_EQ(random.randomKind, RandomSourceKind::PseudoRng);

  prompter.openFiles.push_back("/dev/ttyUSB0");
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::Device, "", "", true),
            SelectOutcome::Selected);
  EXPECT_EQ(device.openedPath, "/dev/ttyUSB0");
  EXPECT_EQ(random.device.path, "/dev/ttyUSB0");
  // Without a path and without asking (a stored setting), the kept device is opened.
  EXPECT_EQ(select(""), SelectOutcome::Selected);
  EXPECT_EQ(device.openedPath, "/dev/ttyUSB0");
}

}  // namespace
}  // namespace voxloom
