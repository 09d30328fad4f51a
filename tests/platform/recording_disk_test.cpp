// The recording engine on the real SDL capture adapter, fed by the disk driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/app/command_state.h"
#include "core/engine/recording_engine.h"
#include "platform/sdl/sdl_wave_in.h"
#include "tests/platform/disk_audio.h"
#include "tests/support/engine_peers.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom::test {
namespace {

using namespace std::chrono_literals;

class AnswerStart : public RecParamDialog {
 public:
  bool askRecParam(RecParamState& state) override {
    state.sampleRateText = "22050";
    state.normalize = false;
    return true;
  }
};

// Samples that fit a boost of 2 now and then and clip elsewhere.
std::vector<int> sourceSamples(std::size_t count) {
  std::vector<int> samples(count);
  for (std::size_t i = 0; i < count; ++i) samples[i] = static_cast<int>((i * 7919) % 40000) - 20000;
  return samples;
}

std::vector<std::uint8_t> bytesOf(const std::vector<int>& samples) {
  std::vector<std::uint8_t> bytes;
  for (int s : samples) {
    bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
  }
  return bytes;
}

class RecordingDiskTest : public ::testing::Test {
 protected:
  RecordingDiskTest() {
    engine.attachDevice(in);
    engine.dialog = &dialog;
  }

  // Records at least `buffers` whole buffers, then stops as F8 does.
  void record(int buffers) {
    ASSERT_EQ(engine.startRecording(), 0) << prompter.log().front();
    ASSERT_TRUE(loop.processUntil(
        [&] { return engine.dataBytes() >= std::int64_t{buffers} * engine.bufferBytes(); }, 5s));
    engine.stopRecording();
    ASSERT_TRUE(loop.processUntil([&] { return !engine.isRecording(); }, 3s));
  }
  std::vector<int> documentSamples() const {
    std::vector<int> out;
    for (Frames f = 0; f < doc.frameCount; ++f) out.push_back(doc.sampleAt(doc.channelBase(0), f));
    return out;
  }

  DiskAudio disk;  // first: SDL must start with the disk driver
  QueuedEventLoop loop;
  SdlWaveIn in{loop};
  ScriptedPrompter prompter;
  AnswerStart dialog;
  AudioDocument doc;
  int commandState = kStateIdle;
  NothingToAsk gate;
  RecordingEngine engine{
      doc, prompter, commandState,
      [this](RunEvent event) { commandState = commandStateAfter(event, commandState); }, gate};
};

TEST_F(RecordingDiskTest, RecordsTheInputFileIntoTheDocument) {
  const std::vector<int> source = sourceSamples(22050);
  disk.setInput(bytesOf(source));
  record(2);
  ASSERT_TRUE(doc.isLoaded);
  EXPECT_EQ(doc.format.samplesPerSec, 22050u);
  EXPECT_GE(doc.dataBytes, 2 * 4410);
  const std::vector<int> got = documentSamples();
  ASSERT_LE(got.size(), source.size());
  EXPECT_TRUE(std::equal(got.begin(), got.end(), source.begin()));
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(RecordingDiskTest, BoostIsAppliedToWhatTheDeviceDelivers) {
  const std::vector<int> source = sourceSamples(22050);
  disk.setInput(bytesOf(source));
  engine.level.state.boostChecked = true;
  engine.level.state.boostPosition = 83;  // +7 dB: factor 2
  record(2);
  ASSERT_TRUE(doc.isLoaded);
  const std::vector<int> got = documentSamples();
  ASSERT_GE(got.size(), 4410u);
  for (std::size_t i = 0; i < got.size(); ++i)
    ASSERT_EQ(got[i], std::clamp(source[i] * 2, -32768, 32767)) << i;
  EXPECT_EQ(engine.level.state.bar, 300);  // the clipped samples reach full scale
}

}  // namespace
}  // namespace voxloom::test
