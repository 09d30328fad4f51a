// The playback engine tells where in the signal the block that starts to sound lies:
// the waveform view's highlight follows the sound, not the queue.
#include <gtest/gtest.h>

#include <vector>

#include "core/app/command_state.h"
#include "core/engine/playback_engine.h"
#include "core/ports/queued_event_loop.h"
#include "core/random/random_sources.h"
#include "tests/support/engine_peers.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_out.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

class BlockSoundingTest : public ::testing::Test {
 protected:
  BlockSoundingTest() {
    // Samples that tell their own frame.
    std::vector<int> samples(20000);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int>(i);
    test::makeSignal(doc, 1, 16, 8000, samples);
    options.zeroCrossAdjust.checked = false;
    random.pseudo.seedPseudoRandom(3);
    engine.blockSounding = [this](Frames start, Frames length) {
      sounding.emplace_back(start, length);
      records.push_back(engine.soundingRecord());
    };
  }
  void complete(int n) {
    for (int i = 0; i < n && device.completeNext(); ++i) loop.processPending();
  }
  // Where the k-th written block came from, read from its first sample.
  std::pair<Frames, Frames> writtenSource(std::size_t k) const {
    const auto& bytes = device.written[k].bytes;
    return {static_cast<Frames>(bytes[0] | (bytes[1] << 8)), static_cast<Frames>(bytes.size() / 2)};
  }

  AudioDocument doc;
  SegmentTable table;
  SegmentOptions options;
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
  RendererState renderer;
  QueuedEventLoop loop;
  test::SimWaveOut device{loop};
  PlayTimeControls playTime;
  int commandState = kStateIdle;
  NoEvpCapture capture;
  test::IdlePeers peers;
  PlaybackEngine engine{
      device,
      prompter,
      SequencerContext{table, options, doc, random, renderer},
      commandState,
      [this](RunEvent event) { commandState = commandStateAfter(event, commandState); },
      playTime,
      peers,
      capture};
  std::vector<std::pair<Frames, Frames>> sounding;
  std::vector<std::int32_t> records;
};

TEST_F(BlockSoundingTest, MakeEvpNamesEachBlockAsItStartsToSound) {
  options.duration.value = 10;  // 80 frames, 20 slots
  ASSERT_EQ(engine.makeEvp(), 0);
  ASSERT_EQ(sounding.size(), 1u);  // only the first sounds when the ring starts
  complete(30);
  ASSERT_EQ(sounding.size(), 31u);
  for (std::size_t k = 0; k < sounding.size(); ++k)
    EXPECT_EQ(sounding[k], writtenSource(k)) << "block " << k;
  engine.stopPlayback();
  complete(100);
  EXPECT_EQ(commandState, kStateIdle);
}

TEST_F(BlockSoundingTest, PlayNamesTheWholeSignalAndReplayItsEntries) {
  ASSERT_EQ(engine.playDocument(), 0);
  ASSERT_EQ(sounding.size(), 1u);
  EXPECT_EQ(sounding[0], std::make_pair(Frames{0}, Frames{20000}));
  complete(1);

  EXPECT_EQ(records, std::vector<std::int32_t>{-1});

  sounding.clear();
  records.clear();
  // The last entry reaches beyond the signal: only its part inside is named. Each block
  // tells the record it belongs to as it sounds, not as it is queued.
  std::vector<ReplayEntry> entries = {
      {100, 50, false, 1, 0}, {5000, 80, false, 2, 0}, {19990, 40, false, 3, 1}};
  std::size_t next = 0;
  ASSERT_EQ(engine.playEntries([&]() -> std::optional<ReplayEntry> {
    if (next >= entries.size()) return std::nullopt;
    return entries[next++];
  }),
            0);
  complete(10);
  EXPECT_EQ(sounding, (std::vector<std::pair<Frames, Frames>>{{100, 50}, {5000, 80}, {19990, 10}}));
  EXPECT_EQ(records, (std::vector<std::int32_t>{0, 0, 1}));
  EXPECT_EQ(commandState, kStateIdle);
}

}  // namespace
}  // namespace voxloom
