#include "platform/sdl/sdl_wave_out.h"

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

struct OutFormatCase {
  std::uint16_t channels;
  std::uint32_t rate;
  std::uint16_t bits;
};

class SdlWaveOutTest : public ::testing::Test {
 protected:
  // Opens out for format, recording the user value of every notification.
  void openDevice(const WaveFormat& format) {
    ASSERT_EQ(out.open(kWaveDefaultDevice, format,
                       [this](WaveHeader& header) { returned.push_back(header.user); }),
              kWaveOk)
        << out.errorText(kWaveError);
  }
  void writeBuffer(WaveHeader& header, std::vector<std::uint8_t>& bytes, std::uintptr_t user) {
    header = WaveHeader{};
    header.data = bytes.data();
    header.bufferLength = static_cast<std::uint32_t>(bytes.size());
    header.user = user;
    ASSERT_EQ(out.prepare(header), kWaveOk);
    ASSERT_EQ(out.write(header), kWaveOk);
  }
  bool waitForReturns(std::size_t count, std::chrono::milliseconds timeout = 3s) {
    return loop.processUntil([&] { return returned.size() >= count; }, timeout);
  }

  DiskAudio disk;  // first: SDL must start with the disk driver
  QueuedEventLoop loop;
  SdlWaveOut out{loop};
  std::vector<std::uintptr_t> returned;
};

class SdlWaveOutFormatTest : public SdlWaveOutTest,
                             public ::testing::WithParamInterface<OutFormatCase> {};

TEST_P(SdlWaveOutFormatTest, PlaysQueuedBytesUnchangedAndReturnsEachBufferOnceInOrder) {
  const WaveFormat format = pcmFormat(GetParam().channels, GetParam().rate, GetParam().bits);
  const std::uint8_t silence = GetParam().bits == 8 ? 0x80 : 0x00;
  // About 60 ms each; the third is empty and must still come back in its place.
  const std::size_t bytes =
      format.avgBytesPerSec * 60 / 1000 / format.blockAlign * format.blockAlign;
  std::vector<std::vector<std::uint8_t>> data{
      patternBytes(bytes, 1), patternBytes(bytes, 2), {}, patternBytes(bytes / 3 * 2, 3)};
  std::array<WaveHeader, 4> headers;
  openDevice(format);
  for (std::size_t i = 0; i < data.size(); ++i) writeBuffer(headers[i], data[i], 10 + i);

  ASSERT_TRUE(waitForReturns(4));
  loop.waitAndProcess(100ms);  // a duplicate would show up now
  EXPECT_EQ(returned, (std::vector<std::uintptr_t>{10, 11, 12, 13}));
  for (const WaveHeader& header : headers) {
    EXPECT_TRUE(header.done);
    EXPECT_FALSE(header.inQueue);
    EXPECT_EQ(out.unprepare(const_cast<WaveHeader&>(header)), kWaveOk);
  }
  ASSERT_EQ(out.close(), kWaveOk);

  std::vector<std::uint8_t> expected;
  for (const auto& block : data) expected.insert(expected.end(), block.begin(), block.end());
  const std::vector<std::uint8_t> played = withoutLeadingSilence(disk.readOutput(), silence);
  ASSERT_GE(played.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin()));
  EXPECT_EQ(out.underrunCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, SdlWaveOutFormatTest,
                         ::testing::Values(OutFormatCase{1, 11025, 8}, OutFormatCase{2, 44100, 16},
                                           OutFormatCase{1, 22050, 16}, OutFormatCase{2, 8000, 8}));

TEST_F(SdlWaveOutTest, ResetReturnsEveryQueuedBufferAtOnceInOrder) {
  const WaveFormat format = pcmFormat(1, 22050, 16);
  std::vector<std::uint8_t> second(44100);  // a second each: far longer than the test
  std::vector<std::uint8_t> first = patternBytes(44100, 4);
  std::vector<std::uint8_t> third = patternBytes(44100, 5);
  std::array<WaveHeader, 3> headers;
  openDevice(format);
  writeBuffer(headers[0], first, 1);
  writeBuffer(headers[1], second, 2);
  writeBuffer(headers[2], third, 3);
  std::this_thread::sleep_for(50ms);
  loop.processPending();
  EXPECT_TRUE(returned.empty());

  const auto before = std::chrono::steady_clock::now();
  ASSERT_EQ(out.reset(), kWaveOk);
  // Flags are set by reset itself; notifications come through the loop only.
  for (const WaveHeader& header : headers) EXPECT_TRUE(header.done);
  EXPECT_TRUE(returned.empty());
  loop.processPending();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 200ms);
  EXPECT_EQ(returned, (std::vector<std::uintptr_t>{1, 2, 3}));
  EXPECT_EQ(out.close(), kWaveOk);
}

TEST_F(SdlWaveOutTest, ZeroLengthBufferReturnsAtOnceButNotBeforeEarlierOnes) {
  openDevice(pcmFormat(1, 22050, 16));
  ASSERT_EQ(out.pause(), kWaveOk);
  std::vector<std::uint8_t> empty;
  std::vector<std::uint8_t> sound = patternBytes(4410, 6);
  std::array<WaveHeader, 3> headers;
  writeBuffer(headers[0], empty, 1);
  loop.processPending();
  EXPECT_EQ(returned, (std::vector<std::uintptr_t>{1}));  // even while paused

  writeBuffer(headers[1], sound, 2);
  writeBuffer(headers[2], empty, 3);
  std::this_thread::sleep_for(30ms);
  loop.processPending();
  EXPECT_EQ(returned.size(), 1u);
  ASSERT_EQ(out.restart(), kWaveOk);
  ASSERT_TRUE(waitForReturns(3));
  EXPECT_EQ(returned, (std::vector<std::uintptr_t>{1, 2, 3}));
  EXPECT_EQ(out.close(), kWaveOk);
}

TEST_F(SdlWaveOutTest, PauseHoldsQueuedSoundUntilRestart) {
  const WaveFormat format = pcmFormat(2, 44100, 16);
  std::vector<std::uint8_t> sound = patternBytes(format.avgBytesPerSec / 20, 7);  // 50 ms
  WaveHeader header;
  openDevice(format);
  ASSERT_EQ(out.pause(), kWaveOk);
  writeBuffer(header, sound, 1);
  std::this_thread::sleep_for(150ms);
  loop.processPending();
  EXPECT_TRUE(returned.empty());
  EXPECT_TRUE(withoutLeadingSilence(disk.readOutput(), 0).empty()) << "sound while paused";

  ASSERT_EQ(out.restart(), kWaveOk);
  ASSERT_TRUE(waitForReturns(1));
  ASSERT_EQ(out.close(), kWaveOk);
  const auto played = withoutLeadingSilence(disk.readOutput(), 0);
  ASSERT_GE(played.size(), sound.size());
  EXPECT_TRUE(std::equal(sound.begin(), sound.end(), played.begin()));
  EXPECT_EQ(out.underrunCount(), 0u) << "a pause is no underrun";
}

TEST_F(SdlWaveOutTest, DoublePlaybackRateHalvesTheSoundAndItsTime) {
  const WaveFormat format = pcmFormat(1, 22050, 16);
  std::vector<std::uint8_t> sound = patternBytes(format.avgBytesPerSec * 2 / 5, 8);  // 400 ms
  WaveHeader header;
  openDevice(format);
  ASSERT_EQ(out.setPlaybackRate(0x20000), kWaveOk);
  const auto before = std::chrono::steady_clock::now();
  writeBuffer(header, sound, 1);
  ASSERT_TRUE(waitForReturns(1));
  const auto took = std::chrono::steady_clock::now() - before;
  ASSERT_EQ(out.close(), kWaveOk);
  EXPECT_LT(took, 350ms);
  EXPECT_GT(took, 120ms);

  // The resampled sound is about half as long; the resampler's edges blur the count.
  std::vector<std::uint8_t> played = withoutLeadingSilence(disk.readOutput(), 0);
  while (played.size() > 1 && played.back() == 0) played.pop_back();
  EXPECT_NEAR(static_cast<double>(played.size()), sound.size() / 2.0, sound.size() * 0.05);
}

TEST_F(SdlWaveOutTest, CountsAGapBetweenBuffersAsUnderrunButNotTheSilenceAfterTheEnd) {
  const WaveFormat format = pcmFormat(1, 22050, 16);
  std::vector<std::uint8_t> first = patternBytes(2205, 9);  // 50 ms
  std::vector<std::uint8_t> second = patternBytes(2205, 10);
  std::array<WaveHeader, 2> headers;
  openDevice(format);
  writeBuffer(headers[0], first, 1);
  ASSERT_TRUE(waitForReturns(1));
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(out.underrunCount(), 0u);
  writeBuffer(headers[1], second, 2);  // late: the device played silence meanwhile
  ASSERT_TRUE(waitForReturns(2));
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(out.underrunCount(), 1u);
  EXPECT_EQ(out.close(), kWaveOk);
}

TEST_F(SdlWaveOutTest, RefusesWhatCannotWorkWithATextForEachCode) {
  const WaveFormat good = pcmFormat(2, 44100, 16);
  WaveFormat wide = pcmFormat(2, 44100, 24);
  EXPECT_EQ(out.query(kWaveDefaultDevice, good), kWaveOk);
  EXPECT_EQ(out.query(kWaveDefaultDevice, wide), kWaveBadFormat);
  EXPECT_EQ(out.query(static_cast<int>(out.deviceNames().size()), good), kWaveBadDevice);
  EXPECT_EQ(out.open(-2, good, nullptr), kWaveBadDevice);
  WaveHeader header;
  EXPECT_EQ(out.write(header), kWaveNotOpen);
  for (WaveResult code : {kWaveBadFormat, kWaveBadDevice, kWaveNotOpen, kWaveStillPlaying, 999}) {
    const std::string text = out.errorText(code);
    EXPECT_FALSE(text.empty());
    EXPECT_LE(text.size(), kWaveErrorTextMax);
  }

  // A device SDL cannot open: its own explanation is the text.
  disk.setOutputPath("/nonexistent-voxloom-dir/out.raw");
  const WaveResult failed = out.open(kWaveDefaultDevice, good, nullptr);
  ASSERT_NE(failed, kWaveOk);
  EXPECT_NE(out.errorText(failed).find("nonexistent-voxloom-dir"), std::string::npos)
      << out.errorText(failed);
  EXPECT_EQ(out.close(), kWaveNotOpen);
}

// SDL stops calling back once a device is gone and only its status tells. The status is
// taken over here, so the disk device can "disappear" while its buffers are queued.
TEST_F(SdlWaveOutTest, ALostDeviceReturnsEveryBufferThenReportsAndRefusesMore) {
  std::atomic<bool> gone{false};
  out.setStatusQuery([&gone](SDL_AudioDeviceID id) {
    return gone.load() ? SDL_AUDIO_STOPPED : SDL_GetAudioDeviceStatus(id);
  });
  constexpr std::uintptr_t kLoss = 999;
  std::vector<WaveResult> failures;
  const WaveFormat format = pcmFormat(1, 22050, 16);
  ASSERT_EQ(out.open(
                kWaveDefaultDevice, format,
                [this](WaveHeader& header) { returned.push_back(header.user); },
                [&](WaveResult code) {
                  failures.push_back(code);
                  returned.push_back(kLoss);
                }),
            kWaveOk);
  // Two seconds each: nothing returns by itself during the test. Paused, as Make EVP
  // fills its ring, to show that our own pause does not hide the loss.
  std::vector<std::vector<std::uint8_t>> data{
      patternBytes(format.avgBytesPerSec * 2, 1), patternBytes(format.avgBytesPerSec * 2, 2), {}};
  std::array<WaveHeader, 3> headers;
  ASSERT_EQ(out.pause(), kWaveOk);
  for (std::size_t i = 0; i < data.size(); ++i) writeBuffer(headers[i], data[i], 10 + i);
  loop.waitAndProcess(60ms);
  ASSERT_TRUE(returned.empty());

  gone = true;
  ASSERT_TRUE(waitForReturns(4));
  loop.waitAndProcess(60ms);  // a second report would show up now
  EXPECT_EQ(returned, (std::vector<std::uintptr_t>{10, 11, 12, kLoss}));
  EXPECT_EQ(failures, std::vector<WaveResult>{kWaveDeviceLost});
  EXPECT_EQ(out.errorText(kWaveDeviceLost), "The audio device was removed.");
  for (WaveHeader& header : headers) {
    EXPECT_TRUE(header.done);
    EXPECT_FALSE(header.inQueue);
    EXPECT_EQ(out.unprepare(header), kWaveOk);
  }
  std::vector<std::uint8_t> more = patternBytes(64, 3);
  WaveHeader late;
  late.data = more.data();
  late.bufferLength = static_cast<std::uint32_t>(more.size());
  ASSERT_EQ(out.prepare(late), kWaveOk);
  EXPECT_EQ(out.write(late), kWaveDeviceLost);
  EXPECT_FALSE(late.inQueue);
  EXPECT_EQ(out.reset(), kWaveOk);
  EXPECT_EQ(out.close(), kWaveOk);

  // The device is back: a new open plays and reports nothing.
  gone = false;
  returned.clear();
  openDevice(format);
  std::vector<std::uint8_t> sound = patternBytes(format.avgBytesPerSec / 20, 4);
  writeBuffer(headers[0], sound, 20);
  ASSERT_TRUE(waitForReturns(1));
  EXPECT_EQ(returned, std::vector<std::uintptr_t>{20});
  EXPECT_EQ(failures.size(), 1u);
  EXPECT_EQ(out.close(), kWaveOk);
}

TEST_F(SdlWaveOutTest, CloseRefusedWhileBuffersQueued) {
  std::vector<std::uint8_t> sound = patternBytes(44100, 11);
  WaveHeader header;
  openDevice(pcmFormat(1, 22050, 16));
  writeBuffer(header, sound, 1);
  EXPECT_EQ(out.write(header), kWaveStillPlaying);
  EXPECT_EQ(out.unprepare(header), kWaveStillPlaying);
  EXPECT_EQ(out.close(), kWaveStillPlaying);
  ASSERT_EQ(out.reset(), kWaveOk);
  EXPECT_EQ(out.close(), kWaveOk);
  loop.processPending();  // notifications posted before close still arrive
  EXPECT_EQ(returned, (std::vector<std::uintptr_t>{1}));
}

}  // namespace
}  // namespace voxloom::test

namespace voxloom::test {
namespace {

TEST_F(SdlWaveOutTest, RateChangedWhilePlayingSpeedsUpTheRestOfTheBuffer) {
  const WaveFormat format = pcmFormat(1, 22050, 16);
  std::vector<std::uint8_t> sound = patternBytes(format.avgBytesPerSec * 3 / 5, 12);  // 600 ms
  WaveHeader header;
  openDevice(format);
  const auto before = std::chrono::steady_clock::now();
  writeBuffer(header, sound, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(out.setPlaybackRate(0x20000), kWaveOk);
  ASSERT_TRUE(waitForReturns(1));
  const auto took = std::chrono::steady_clock::now() - before;
  ASSERT_EQ(out.close(), kWaveOk);
  // 100 ms at the old speed, the rest at double speed: about 350 ms, not 600.
  EXPECT_LT(took, std::chrono::milliseconds(480));
  EXPECT_GT(took, std::chrono::milliseconds(250));
}

}  // namespace
}  // namespace voxloom::test

namespace voxloom::test {
namespace {

TEST(ByteRingTest, DropNewestTakesBackOnlyTheUnreadTail) {
  ByteRing ring(8);
  const std::vector<std::uint8_t> bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  ASSERT_EQ(ring.write(bytes.data(), 6), 6u);
  std::array<std::uint8_t, 8> out{};
  ASSERT_EQ(ring.read(out.data(), 4), 4u);
  ASSERT_EQ(ring.write(bytes.data() + 6, 4), 4u);  // wraps: 5 6 7 8 9 10
  EXPECT_EQ(ring.dropNewest(3), 3u);
  EXPECT_EQ(ring.size(), 3u);
  EXPECT_EQ(ring.read(out.data(), 8), 3u);
  EXPECT_EQ(out[0], 5);
  EXPECT_EQ(out[2], 7);
  EXPECT_EQ(ring.dropNewest(5), 0u);
  ASSERT_EQ(ring.write(bytes.data(), 2), 2u);
  EXPECT_EQ(ring.dropNewest(5), 2u);
  EXPECT_EQ(ring.space(), 8u);
}

TEST_F(SdlWaveOutTest, FirstSoundTimeIsWhenTheDeviceTookTheFirstQueuedBytes) {
  const WaveFormat format = pcmFormat(2, 44100, 16);
  std::vector<std::uint8_t> sound = patternBytes(format.avgBytesPerSec / 20, 13);  // 50 ms
  WaveHeader header;
  openDevice(format);
  ASSERT_EQ(out.pause(), kWaveOk);
  writeBuffer(header, sound, 1);
  std::this_thread::sleep_for(60ms);  // silence only: no sound yet
  EXPECT_EQ(out.firstSoundAt().time_since_epoch().count(), 0);

  const auto restarted = std::chrono::steady_clock::now();
  ASSERT_EQ(out.restart(), kWaveOk);
  ASSERT_TRUE(waitForReturns(1));
  const auto back = std::chrono::steady_clock::now();
  const auto first = out.firstSoundAt();
  EXPECT_GE(first, restarted);
  EXPECT_LE(first, back);
  ASSERT_EQ(out.close(), kWaveOk);
}

// Half a second of short buffers at the normal rate fits in the ring at once; more than
// that must still reach the device whole, in order and without a gap.
TEST_F(SdlWaveOutTest, ManyShortBuffersBeyondTheRingPlayUnchangedAndGapless) {
  const WaveFormat format = pcmFormat(1, 22050, 16);
  constexpr std::size_t kBuffers = 60;  // 20 ms each, 1.2 s in all
  std::vector<std::vector<std::uint8_t>> data;
  for (std::size_t i = 0; i < kBuffers; ++i) {
    // An odd length and an empty one among them.
    const std::size_t size = i == 17 ? 881 : i == 30 ? 0 : 882;
    data.push_back(patternBytes(size, static_cast<std::uint8_t>(20 + i)));
  }
  std::vector<WaveHeader> headers(kBuffers);
  openDevice(format);
  ASSERT_EQ(out.pause(), kWaveOk);
  for (std::size_t i = 0; i < kBuffers; ++i) writeBuffer(headers[i], data[i], i + 1);
  ASSERT_EQ(out.restart(), kWaveOk);
  ASSERT_TRUE(waitForReturns(kBuffers, 5s));
  ASSERT_EQ(out.close(), kWaveOk);

  std::vector<std::uintptr_t> order(kBuffers);
  for (std::size_t i = 0; i < kBuffers; ++i) order[i] = i + 1;
  EXPECT_EQ(returned, order);
  std::vector<std::uint8_t> expected;
  for (const auto& block : data) expected.insert(expected.end(), block.begin(), block.end());
  const std::vector<std::uint8_t> played = withoutLeadingSilence(disk.readOutput(), 0);
  ASSERT_GE(played.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin()));
  EXPECT_EQ(out.underrunCount(), 0u);
}

// The short buffers sit in the ring already when the rate changes: the unplayed part
// must be taken back and resampled, not played out at the old rate first.
TEST_F(SdlWaveOutTest, RateChangeAfterManyShortBuffersIsHeardAtOnceInOrder) {
  const WaveFormat format = pcmFormat(1, 22050, 16);
  constexpr std::size_t kBuffers = 30;  // 20 ms each, 600 ms in all
  std::vector<std::vector<std::uint8_t>> data;
  for (std::size_t i = 0; i < kBuffers; ++i) {
    const std::size_t size = i == 11 ? 881 : i == 20 ? 0 : 882;
    data.push_back(patternBytes(size, static_cast<std::uint8_t>(90 + i)));
  }
  std::vector<WaveHeader> headers(kBuffers);
  openDevice(format);
  const auto before = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < kBuffers; ++i) writeBuffer(headers[i], data[i], i + 1);
  std::this_thread::sleep_for(100ms);
  ASSERT_EQ(out.setPlaybackRate(0x20000), kWaveOk);
  ASSERT_TRUE(waitForReturns(kBuffers));
  const auto took = std::chrono::steady_clock::now() - before;
  ASSERT_EQ(out.close(), kWaveOk);
  // 100 ms at the old speed and the ring's few callbacks, the rest at double speed.
  EXPECT_LT(took, 480ms);
  EXPECT_GT(took, 250ms);
  std::vector<std::uintptr_t> order(kBuffers);
  for (std::size_t i = 0; i < kBuffers; ++i) order[i] = i + 1;
  EXPECT_EQ(returned, order);
}

}  // namespace
}  // namespace voxloom::test
