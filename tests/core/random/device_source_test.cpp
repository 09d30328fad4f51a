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

// Hands out scripted reads; an empty script is silence.
class ScriptedDevice : public ByteDevice {
 public:
  std::deque<DeviceReadResult> reads;
  std::deque<std::vector<std::uint8_t>> bytes;  // one entry per Data read
  DeviceOpenResult openResult;
  std::function<void()> onRead;  // a Stop arriving mid-wait
  int readCalls = 0;
  bool open_ = false;

  DeviceOpenResult open(const std::string&) override {
    open_ = openResult.ok();
    return openResult;
  }
  bool isOpen() const override { return open_; }
  DeviceReadResult read(std::uint8_t* buffer, std::size_t, int) override {
    ++readCalls;
    if (onRead) onRead();
    if (reads.empty()) return {DeviceReadStatus::Timeout, 0, {}};
    DeviceReadResult r = reads.front();
    reads.pop_front();
    if (r.status == DeviceReadStatus::Data) {
      r.bytes = bytes.front().size();
      std::memcpy(buffer, bytes.front().data(), r.bytes);
      bytes.pop_front();
    }
    return r;
  }
  void close() override { open_ = false; }
  void data(std::vector<std::uint8_t> b) {
    reads.push_back({DeviceReadStatus::Data, 0, {}});
    bytes.push_back(std::move(b));
  }
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

  ScriptedDevice device;
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
  DrawTrace trace;
};

TEST_F(DeviceSourceTest, WordsSpanReadsAndAStopKeepsTheBytesAlreadyRead) {
  ASSERT_EQ(select("/dev/hwrng"), SelectOutcome::Selected);
  EXPECT_EQ(random.menu.deviceCaption, "D&evice [/dev/hwrng] ...");
  EXPECT_EQ(random.randomFilePath, "");  // the device is no random file
  device.data({0x12, 0x34, 0x56, 0x78, 0xFF, 0xFF});
  device.data({0xFF, 0xFE, 0x80});
  random.drawRandom(256);
  random.drawRandom(256);
  // The third word waits; Stop ends the wait without a message.
  device.onRead = [this] { random.stopSourceWaits(); };
  EXPECT_EQ(random.drawRandom(256), 0);
  EXPECT_TRUE(stop.stopRequested);
  EXPECT_TRUE(prompter.shown.empty());

  stop.stopRequested = false;
  device.onRead = nullptr;
  device.data({0x00, 0x00, 0x01});
  random.drawRandom(256);
  EXPECT_EQ(trace.raw, (std::vector<std::string>{"305419896", "-2", "-2147483647"}));
  EXPECT_EQ(trace.mapped, (std::vector<std::int32_t>{0x12, 0xFF, 0, 0x80}));
}

TEST_F(DeviceSourceTest, FailuresSayWhyAndStopOrKeepThePreviousSource) {
  ASSERT_EQ(select("/dev/hwrng"), SelectOutcome::Selected);
  device.reads.push_back({DeviceReadStatus::Error, 0, "Input/output error"});
  random.drawRandom(10);
  EXPECT_TRUE(stop.stopRequested);
  EXPECT_FALSE(device.isOpen());  // the next run opens it afresh
  EXPECT_EQ(prompter.shown.back().text,
            "Reading the random device '/dev/hwrng' failed: "
            "Input/output error. Playback has been stopped.");

  random.selectRandomSource(RandomSourceKind::PseudoRng, "", "", false);
  struct Case {
    DeviceOpenResult result;
    std::string start;
  };
  const std::vector<Case> cases = {
      {{DeviceOpenError::PermissionDenied, "Permission denied"},
       "You may not read the random device '/dev/ttyACM0' (Permission denied).\nAdd your user"},
      {{DeviceOpenError::RegularFile, ""},
       "'/dev/ttyACM0' is an ordinary file, not a device. Files are read by the file source"},
      {{DeviceOpenError::NotFound, "No such file or directory"},
       "The random device '/dev/ttyACM0' can't be opened: No such file or directory."},
  };
  for (const Case& c : cases) {
    device.openResult = c.result;
    EXPECT_EQ(select("/dev/ttyACM0"), SelectOutcome::Failed);
    EXPECT_EQ(prompter.shown.back().text.rfind(c.start, 0), 0u) << prompter.shown.back().text;
    EXPECT_EQ(random.randomKind, RandomSourceKind::PseudoRng);
    EXPECT_EQ(random.device.path, "/dev/hwrng");
  }
}

}  // namespace
}  // namespace voxloom
