// Play and Make EVP through the real SDL device on SDL's disk driver: what the engine
// queues is what comes out, in queue order.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/app/command_state.h"
#include "core/app/playback_parts.h"
#include "platform/sdl/sdl_wave_out.h"
#include "tests/platform/disk_audio.h"
#include "tests/support/engine_peers.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom::test {
namespace {

using namespace std::chrono_literals;

// The test signal never contains a zero byte, so stripping zero bytes from the output
// removes exactly the silence the device played between and around the blocks.
std::vector<std::uint8_t> withoutZeros(std::vector<std::uint8_t> bytes) {
  bytes.erase(std::remove(bytes.begin(), bytes.end(), 0), bytes.end());
  return bytes;
}

class PlaybackDiskTest : public ::testing::Test {
 protected:
  PlaybackDiskTest() {
    const WaveFormat format = pcmFormat(1, 8000, 16);
    doc.format = format;
    const auto bytes = patternBytes(8000 * 2, 5);  // one second
    doc.allocateSamples(static_cast<Bytes>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), doc.samples.get());
    doc.setUpDocument("pattern.wav", true);
    engine = &parts.attachDevice(out, loop, nullptr, peers, capture);
  }

  bool waitUntilClosed(std::chrono::milliseconds timeout = 5s) {
    return loop.processUntil([this] { return !engine->isOpen(); }, timeout);
  }

  DiskAudio disk;  // first: SDL must start with the disk driver
  QueuedEventLoop loop;
  SdlWaveOut out{loop};
  ScriptedPrompter prompter;
  AudioDocument doc;
  int commandState = kStateIdle;
  StopRequest stop;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
  PlaybackParts parts{prompter, doc, random, commandState, [this](RunEvent event) {
                        commandState = commandStateAfter(event, commandState);
                      }};
  test::IdlePeers peers;
  test::CaptureLog capture;
  PlaybackEngine* engine = nullptr;
};

TEST_F(PlaybackDiskTest, PlayWritesTheWholeSignal) {
  ASSERT_EQ(engine->playDocument(), 0);
  EXPECT_EQ(commandState, kStatePlaying);
  ASSERT_TRUE(waitUntilClosed());
  EXPECT_EQ(commandState, kStateIdle);
  const std::vector<std::uint8_t> signal(doc.samples.get(), doc.samples.get() + doc.dataBytes);
  EXPECT_EQ(withoutZeros(disk.readOutput()), signal);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(PlaybackDiskTest, MakeEvpPlaysTheQueuedBlocksInOrder) {
  parts.options.duration.value = 20;  // 10 slots of 20 ms
  std::vector<std::uint8_t> queued;
  capture.onAppend = [&](const NextBlock& block) {
    queued.insert(queued.end(), block.data, block.data + block.bytes);
  };
  parts.random.pseudo.seedPseudoRandom(11);
  ASSERT_EQ(engine->makeEvp(), 0);
  EXPECT_EQ(engine->bufferCount(), 10);
  ASSERT_TRUE(loop.processUntil([&] { return engine->segmentSerial() >= 25; }, 5s));
  engine->stopPlayback();
  ASSERT_TRUE(waitUntilClosed());
  EXPECT_EQ(commandState, kStateIdle);

  const std::vector<std::uint8_t> played = withoutZeros(disk.readOutput());
  // Everything up to the block that was sounding at Stop came out, nothing else.
  ASSERT_GE(played.size(), queued.size() / 25 * 10);
  ASSERT_LE(played.size(), queued.size());
  EXPECT_TRUE(std::equal(played.begin(), played.end(), queued.begin()));
}

}  // namespace
}  // namespace voxloom::test
