#include "platform/sdl/sdl_wave_in.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "tests/platform/disk_audio.h"

namespace voxloom::test {
namespace {

using namespace std::chrono_literals;

class SdlWaveInTest : public ::testing::Test {
 protected:
  void addBuffer(WaveHeader& header, std::vector<std::uint8_t>& bytes, std::uintptr_t user) {
    header = WaveHeader{};
    header.data = bytes.data();
    header.bufferLength = static_cast<std::uint32_t>(bytes.size());
    header.user = user;
    ASSERT_EQ(in.prepare(header), kWaveOk);
    ASSERT_EQ(in.addBuffer(header), kWaveOk);
  }
  WaveNotify recordReturns() {
    return [this](WaveHeader& header) { returned.push_back(header.user); };
  }

  DiskAudio disk;  // first: SDL must start with the disk driver
  QueuedEventLoop loop;
  SdlWaveIn in{loop};
  std::vector<std::uintptr_t> returned;
};

TEST_F(SdlWaveInTest, RecordsTheInputBytesIntoTheBuffersInOrder) {
  const WaveFormat format = pcmFormat(2, 44100, 16);
  const std::vector<std::uint8_t> source = patternBytes(format.avgBytesPerSec / 2, 21);
  disk.setInput(source);
  // 40 ms and 60 ms, then an empty one that comes back in its place.
  std::vector<std::vector<std::uint8_t>> buffers{
      std::vector<std::uint8_t>(7056), std::vector<std::uint8_t>(10584), {}};
  std::array<WaveHeader, 3> headers;
  ASSERT_EQ(in.open(kWaveDefaultDevice, format, recordReturns()), kWaveOk)
      << in.errorText(kWaveError);
  for (std::size_t i = 0; i < buffers.size(); ++i) addBuffer(headers[i], buffers[i], i + 1);
  std::this_thread::sleep_for(50ms);
  loop.processPending();
  EXPECT_TRUE(returned.empty()) << "recorded before start";

  ASSERT_EQ(in.start(), kWaveOk);
  ASSERT_TRUE(loop.processUntil([&] { return returned.size() == 3; }, 3s));
  EXPECT_EQ(returned, (std::vector<std::uintptr_t>{1, 2, 3}));
  std::vector<std::uint8_t> recorded;
  for (std::size_t i = 0; i < buffers.size(); ++i) {
    EXPECT_EQ(headers[i].bytesRecorded, buffers[i].size());
    recorded.insert(recorded.end(), buffers[i].begin(), buffers[i].end());
  }
  EXPECT_TRUE(std::equal(recorded.begin(), recorded.end(), source.begin()));
  ASSERT_EQ(in.reset(), kWaveOk);
  EXPECT_EQ(in.close(), kWaveOk);
  EXPECT_EQ(in.overrunCount(), 0u);
}

TEST_F(SdlWaveInTest, ResetReturnsEveryBufferWithTheBytesRecordedSoFar) {
  const WaveFormat format = pcmFormat(1, 22050, 16);
  const std::vector<std::uint8_t> source = patternBytes(format.avgBytesPerSec * 3, 22);
  disk.setInput(source);
  std::vector<std::uint8_t> first(format.avgBytesPerSec * 2);  // two seconds
  std::vector<std::uint8_t> second(format.avgBytesPerSec);
  std::array<WaveHeader, 2> headers;
  ASSERT_EQ(in.open(kWaveDefaultDevice, format, recordReturns()), kWaveOk);
  addBuffer(headers[0], first, 1);
  addBuffer(headers[1], second, 2);
  ASSERT_EQ(in.start(), kWaveOk);
  std::this_thread::sleep_for(150ms);
  loop.processPending();
  EXPECT_TRUE(returned.empty());

  ASSERT_EQ(in.reset(), kWaveOk);
  EXPECT_TRUE(headers[0].done && headers[1].done);
  EXPECT_GT(headers[0].bytesRecorded, 0u);
  EXPECT_LT(headers[0].bytesRecorded, first.size());
  EXPECT_EQ(headers[1].bytesRecorded, 0u);
  EXPECT_TRUE(std::equal(first.begin(), first.begin() + headers[0].bytesRecorded, source.begin()));
  loop.processPending();
  EXPECT_EQ(returned, (std::vector<std::uintptr_t>{1, 2}));
  EXPECT_EQ(in.close(), kWaveOk);
}

// SDL stops calling back once a device is gone and only its status tells. The status is
// taken over here, so the disk device can "disappear" while capturing.
TEST_F(SdlWaveInTest, ALostDeviceReturnsEveryBufferWithItsBytesThenReportsAndRefusesMore) {
  std::atomic<bool> gone{false};
  in.setStatusQuery([&gone](SDL_AudioDeviceID id) {
    return gone.load() ? SDL_AUDIO_STOPPED : SDL_GetAudioDeviceStatus(id);
  });
  constexpr std::uintptr_t kLoss = 999;
  std::vector<WaveResult> failures;
  const WaveFormat format = pcmFormat(1, 22050, 16);
  const std::vector<std::uint8_t> source = patternBytes(format.avgBytesPerSec * 3, 24);
  disk.setInput(source);
  std::vector<std::uint8_t> first(format.avgBytesPerSec * 2);  // two seconds
  std::vector<std::uint8_t> second(format.avgBytesPerSec);
  std::array<WaveHeader, 2> headers;
  ASSERT_EQ(in.open(kWaveDefaultDevice, format, recordReturns(),
                    [&](WaveResult code) {
                      failures.push_back(code);
                      returned.push_back(kLoss);
                    }),
            kWaveOk);
  addBuffer(headers[0], first, 1);
  addBuffer(headers[1], second, 2);
  ASSERT_EQ(in.start(), kWaveOk);
  std::this_thread::sleep_for(150ms);
  loop.processPending();
  ASSERT_TRUE(returned.empty());

  gone = true;
  ASSERT_TRUE(loop.processUntil([&] { return returned.size() == 3; }, 3s));
  loop.waitAndProcess(60ms);  // a second report would show up now
  EXPECT_EQ(returned, (std::vector<std::uintptr_t>{1, 2, kLoss}));
  EXPECT_EQ(failures, std::vector<WaveResult>{kWaveDeviceLost});
  EXPECT_EQ(in.errorText(kWaveDeviceLost), "The audio device was removed.");
  EXPECT_TRUE(headers[0].done && headers[1].done);
  EXPECT_FALSE(headers[0].inQueue || headers[1].inQueue);
  EXPECT_GT(headers[0].bytesRecorded, 0u);
  EXPECT_LT(headers[0].bytesRecorded, first.size());
  EXPECT_EQ(headers[1].bytesRecorded, 0u);
  EXPECT_TRUE(std::equal(first.begin(), first.begin() + headers[0].bytesRecorded, source.begin()));
  EXPECT_EQ(in.unprepare(headers[0]), kWaveOk);
  ASSERT_EQ(in.prepare(headers[0]), kWaveOk);
  EXPECT_EQ(in.addBuffer(headers[0]), kWaveDeviceLost);
  EXPECT_FALSE(headers[0].inQueue);
  EXPECT_EQ(in.start(), kWaveDeviceLost);
  EXPECT_EQ(in.reset(), kWaveOk);
  EXPECT_EQ(in.close(), kWaveOk);

  // The device is back: a new open records and reports nothing.
  gone = false;
  returned.clear();
  disk.setInput(source);
  std::vector<std::uint8_t> small(64);
  ASSERT_EQ(in.open(kWaveDefaultDevice, format, recordReturns()), kWaveOk);
  addBuffer(headers[0], small, 3);
  ASSERT_EQ(in.start(), kWaveOk);
  ASSERT_TRUE(loop.processUntil([&] { return returned.size() == 1; }, 3s));
  EXPECT_EQ(headers[0].bytesRecorded, 64u);
  EXPECT_EQ(failures.size(), 1u);
  ASSERT_EQ(in.reset(), kWaveOk);
  EXPECT_EQ(in.close(), kWaveOk);
}

TEST_F(SdlWaveInTest, WithoutNotificationTheDoneFlagIsSetWhileTheLoopRuns) {
  const WaveFormat format = pcmFormat(1, 44100, 16);
  const std::vector<std::uint8_t> source = patternBytes(8820, 23);
  disk.setInput(source);
  std::vector<std::uint8_t> bytes(64);
  WaveHeader header;
  ASSERT_EQ(in.open(kWaveDefaultDevice, format, nullptr), kWaveOk);
  addBuffer(header, bytes, 0);
  ASSERT_EQ(in.start(), kWaveOk);
  ASSERT_TRUE(loop.processUntil([&] { return header.done; }, 3s));
  EXPECT_EQ(header.bytesRecorded, 64u);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), source.begin()));
  ASSERT_EQ(in.reset(), kWaveOk);
  EXPECT_EQ(in.close(), kWaveOk);
}

TEST_F(SdlWaveInTest, OpenFailureCarriesTheSystemText) {
  ::setenv("SDL_DISKAUDIOFILEIN", "/nonexistent-voxloom-dir/in.raw", 1);
  const WaveResult failed = in.open(kWaveDefaultDevice, pcmFormat(1, 22050, 16), nullptr);
  ASSERT_NE(failed, kWaveOk);
  EXPECT_NE(in.errorText(failed).find("nonexistent-voxloom-dir"), std::string::npos)
      << in.errorText(failed);
  EXPECT_EQ(in.query(kWaveDefaultDevice, pcmFormat(3, 22050, 16)), kWaveBadFormat);
}

}  // namespace
}  // namespace voxloom::test
