#include "core/engine/playback_engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/app/command_state.h"
#include "core/ports/queued_event_loop.h"
#include "core/random/random_sources.h"
#include "tests/support/engine_peers.h"
#include "tests/support/manual_timer.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_in.h"
#include "tests/support/sim_wave_out.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

// A mono 16-bit signal at 8000 Hz whose samples tell their own frame, so that every
// block shows where it came from.
void makeRampSignal(AudioDocument& doc, Frames frames) {
  std::vector<int> samples(static_cast<std::size_t>(frames));
  for (Frames i = 0; i < frames; ++i) samples[static_cast<std::size_t>(i)] = i % 30000;
  test::makeSignal(doc, 1, 16, 8000, samples);
}

class PlaybackEngineTest : public ::testing::Test {
 protected:
  PlaybackEngineTest() {
    makeRampSignal(doc, 40000);
    options.zeroCrossAdjust.checked = false;
    random.pseudo.seedPseudoRandom(7);
    engine.setTimer(&timer);
    engine.callouts.showSegment = [this](std::uintptr_t user) { shown.push_back(user); };
    engine.callouts.pauseChanged = [this](bool paused) { pauseMarks.push_back(paused); };
    capture.onAppend = [](const NextBlock& block) { EXPECT_TRUE(block.recordable); };
  }

  // Returns `n` blocks, delivering each notification before the next returns.
  void complete(int n) {
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(device.completeNext());
      loop.processPending();
    }
  }
  void stopAndDrain() {
    engine.stopPlayback();
    loop.processPending();
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
  test::ManualTimer timer;
  PlayTimeControls playTime;
  int commandState = kStateIdle;
  test::CaptureLog capture;
  test::IdlePeers peers;
  PlaybackEngine engine{device,
                        prompter,
                        SequencerContext{table, options, doc, random, renderer},
                        commandState,
                        [this](RunEvent event) {
                          // As the window's controller keeps it: Stop refreshes nothing.
                          commandState = commandStateAfter(event, commandState);
                          if (event != RunEvent::Stopping) states.push_back(commandState);
                        },
                        playTime,
                        peers,
                        capture};

  std::vector<int> states;
  std::vector<std::uintptr_t> shown;
  std::vector<bool> pauseMarks;
  std::vector<std::int32_t>& appended = capture.appended;
  std::vector<std::pair<std::int32_t, int>>& finished = capture.finished;
};

TEST(EvpSlotCount, FollowsTheShortestDurationWithinTwoToTwenty) {
  SegmentOptions o;
  EXPECT_EQ(evpSlotCount(o, 0), 2);  // From 80, To off
  o.duration.value = 10;
  EXPECT_EQ(evpSlotCount(o, 0), 20);
  o.duration.value = 5;
  EXPECT_EQ(evpSlotCount(o, 0), 20);  // 40 lowered
  o.duration.value = 150;
  EXPECT_EQ(evpSlotCount(o, 0), 2);  // 1 raised
  o.duration.value = 80;
  o.duration2.value = 30;
  EXPECT_EQ(evpSlotCount(o, 0), 2);  // "To" unchecked: not in effect
  o.segTo.checked = true;
  o.duration2.enabled = true;
  EXPECT_EQ(evpSlotCount(o, 0), 6);
  o.useCueList = {true, true};
  o.duration.value = 5;
  EXPECT_EQ(evpSlotCount(o, 3), 2);
  EXPECT_EQ(evpSlotCount(o, 0), 20);  // no cues: the check box does not count
}

TEST_F(PlaybackEngineTest, MakeEvpFillsThePausedRingAndRefillsEachReturnedSlotInOrder) {
  options.duration.value = 10;  // 80 frames, 20 slots
  ASSERT_EQ(engine.makeEvp(), 0);
  EXPECT_EQ(states, std::vector<int>{kStateMakingEvp});
  EXPECT_EQ(device.calls, (std::vector<std::string>{"open -1 8000", "pause", "restart"}));
  EXPECT_EQ(engine.bufferCount(), 20);
  EXPECT_EQ(engine.outstanding(), 20);
  EXPECT_EQ(table.minFrames, 80);
  ASSERT_EQ(device.written.size(), 20u);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], device.written[0].user);

  complete(25);
  EXPECT_EQ(engine.outstanding(), 20);
  EXPECT_EQ(engine.segmentSerial(), 45);
  EXPECT_EQ(engine.slotIndex(), 5);
  // Each handler hands on the block that now sounds: the one queued 20 blocks earlier
  // than the newest, i.e. the next in queue order.
  ASSERT_EQ(shown.size(), 26u);
  for (std::size_t k = 1; k < shown.size(); ++k) EXPECT_EQ(shown[k], device.written[k].user);
  EXPECT_EQ(appended.size(), 45u);

  // The blocks are exactly what the sequencer makes from the same seed.
  AudioDocument same;
  makeRampSignal(same, 40000);
  SegmentTable t2;
  StopRequest s2;
  RandomSources r2{s2, prompter, noPlayback};
  RendererState rs2;
  r2.pseudo.seedPseudoRandom(7);
  SequencerContext c2{t2, options, same, r2, rs2};
  updateMinFrames(t2, options, same);
  updateMaxFrames(t2, options, same);
  for (std::size_t k = 0; k < device.written.size(); ++k) {
    const NextBlock expected = makeNextBlock(c2, 0, false);
    ASSERT_EQ(device.written[k].bytes,
              std::vector<std::uint8_t>(expected.data, expected.data + expected.bytes))
        << "block " << k;
  }
}

TEST_F(PlaybackEngineTest, StopAfterThirtyBlocksDrainsThenClosesAndFinishesTheCapture) {
  options.duration.value = 50;  // 4 slots
  ASSERT_EQ(engine.makeEvp(), 0);
  complete(26);
  ASSERT_EQ(engine.segmentSerial(), 30);

  engine.stopPlayback();
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_EQ(states.back(), kStateMakingEvp);  // no refresh before the last block is back
  EXPECT_TRUE(device.isOpen);
  EXPECT_TRUE(finished.empty());

  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_FALSE(engine.isOpen());
  EXPECT_EQ(states.back(), kStateIdle);
  EXPECT_EQ(finished, (std::vector<std::pair<std::int32_t, int>>{{30, 4}}));
  EXPECT_EQ(appended.size(), 30u);
  EXPECT_EQ(device.written.size(), 30u);  // returned blocks after Stop are not refilled
  for (const auto& buffer : renderer.renderBuffers) EXPECT_EQ(buffer, nullptr);
}

TEST_F(PlaybackEngineTest, PauseHoldsTheDeviceAndStopReleasesIt) {
  ASSERT_EQ(engine.makeEvp(), 0);
  engine.togglePause();
  EXPECT_TRUE(engine.isPaused());
  EXPECT_TRUE(device.isPaused);
  EXPECT_FALSE(device.completeNext());

  stopAndDrain();
  EXPECT_FALSE(engine.isPaused());
  EXPECT_EQ(pauseMarks, (std::vector<bool>{true, false}));
  EXPECT_FALSE(device.isOpen);

  ASSERT_EQ(engine.makeEvp(), 0);
  EXPECT_FALSE(engine.isPaused());
  EXPECT_FALSE(device.isPaused);
  engine.togglePause();
  engine.togglePause();
  EXPECT_FALSE(device.isPaused);
  EXPECT_EQ(device.calls.back(), "restart");
}

TEST_F(PlaybackEngineTest, ASourceFailingOnTheFirstBlockQueuesItRecordsNothingAndEnds) {
  // The internet source without an HTTP client cannot deliver.
  random.randomKind = RandomSourceKind::Internet;
  ASSERT_EQ(engine.makeEvp(), 0);
  EXPECT_EQ(device.written.size(), 1u);
  EXPECT_TRUE(appended.empty());
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(states, (std::vector<int>{kStateMakingEvp, kStateIdle}));
  EXPECT_EQ(finished, (std::vector<std::pair<std::int32_t, int>>{{1, 2}}));

  // The next run clears the stop request.
  random.randomKind = RandomSourceKind::PseudoRng;
  ASSERT_EQ(engine.makeEvp(), 0);
  EXPECT_EQ(engine.outstanding(), 2);
}

TEST_F(PlaybackEngineTest, ASourceFailingMidRunStopsAfterTheBlockInProgress) {
  ASSERT_EQ(engine.makeEvp(), 0);
  complete(3);
  random.randomKind = RandomSourceKind::Internet;
  complete(1);
  EXPECT_EQ(engine.segmentSerial(), 6);
  EXPECT_EQ(appended.size(), 5u);
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_EQ(finished.back(), std::make_pair(6, 2));
}

TEST_F(PlaybackEngineTest, DeviceFailuresShowTheDeviceTextAndLeaveEverythingIdle) {
  device.failOpen(kWaveBadFormat, "format refused", /*onQuery=*/true);
  EXPECT_EQ(engine.makeEvp(), 1);
  device.failOpen(kWaveNoDriver, "no audio system");
  EXPECT_EQ(engine.playDocument(), 1);
  EXPECT_EQ(prompter.log(), (std::vector<std::string>{"Wave Out Error: format refused",
                                                      "Wave Out Error: no audio system"}));
  EXPECT_TRUE(states.empty());
  EXPECT_FALSE(engine.isOpen());

  device.failOpen(kWaveOk, "");
  engine.playbackDevice = 5;  // beyond the list
  EXPECT_EQ(engine.makeEvp(), 1);
  EXPECT_EQ(prompter.shown.back().title, "Wave Out Error");

  engine.playbackDevice = 1;
  device.failWrite(kWaveNoMemory);
  EXPECT_EQ(engine.playDocument(), 1);
  EXPECT_EQ(states, (std::vector<int>{kStatePlaying, kStateIdle}));
  EXPECT_FALSE(device.isOpen);
  EXPECT_FALSE(engine.isOpen());
}

TEST_F(PlaybackEngineTest, MakeEvpIsRefusedWhenNoSegmentCanBeCut) {
  makeRampSignal(doc, 1);
  EXPECT_EQ(engine.makeEvp(), 1);
  EXPECT_EQ(prompter.log(), std::vector<std::string>{std::string("Error: ") +
                                                     pickFailureText(PickStatus::SignalTooShort)});
  EXPECT_TRUE(device.calls.empty());
}

TEST_F(PlaybackEngineTest, PlayQueuesTheWholeFileAsOneBlockAndClosesWhenItReturns) {
  ASSERT_EQ(engine.playDocument(), 0);
  ASSERT_EQ(device.written.size(), 1u);
  EXPECT_EQ(device.written[0].bytes.size(), static_cast<std::size_t>(doc.dataBytes));
  EXPECT_EQ(states, std::vector<int>{kStatePlaying});
  complete(1);
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(states, (std::vector<int>{kStatePlaying, kStateIdle}));
}

TEST_F(PlaybackEngineTest, OpensAtTheSpeedAdjustedRateOnTheChosenDevice) {
  engine.speedPercent = 150;
  engine.playbackDevice = 1;
  ASSERT_EQ(engine.playDocument(), 0);
  EXPECT_EQ(device.calls.front(), "open 1 12000");
  EXPECT_EQ(doc.format.samplesPerSec, 8000u);
}

TEST_F(PlaybackEngineTest, PlayTimeStopsGenerationOnlyWhenSelected) {
  ASSERT_EQ(engine.makeEvp(), 0);
  EXPECT_FALSE(timer.isActive());
  stopAndDrain();

  playTime.itemIndex = 1;
  ASSERT_EQ(engine.makeEvp(), 0);
  EXPECT_EQ(timer.startedMs, 15000);
  ASSERT_TRUE(timer.fire());
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(commandState, kStateIdle);

  ASSERT_EQ(engine.makeEvp(), 0);
  stopAndDrain();
  EXPECT_FALSE(timer.isActive());  // Stop switches it off
}

TEST_F(PlaybackEngineTest, PauseHoldsThePlayTimeAndContinueResumesWhatWasLeft) {
  playTime.itemIndex = 1;
  ASSERT_EQ(engine.makeEvp(), 0);
  timer.elapsedMs = 4000;
  engine.togglePause();
  EXPECT_FALSE(timer.isActive());  // a paused run cannot run out of time
  EXPECT_FALSE(timer.fire());
  EXPECT_TRUE(device.isOpen);

  engine.togglePause();
  EXPECT_TRUE(timer.isActive());
  EXPECT_EQ(timer.startedMs, 11000);
  timer.elapsedMs = 10000;
  engine.togglePause();
  engine.togglePause();
  EXPECT_EQ(timer.startedMs, 1000);
  ASSERT_TRUE(timer.fire());
  loop.processPending();
  EXPECT_EQ(commandState, kStateIdle);

  // Stop while paused forgets the held time: the next run starts from the full time.
  ASSERT_EQ(engine.makeEvp(), 0);
  engine.togglePause();
  stopAndDrain();
  EXPECT_FALSE(timer.isActive());
  ASSERT_EQ(engine.makeEvp(), 0);
  EXPECT_EQ(timer.startedMs, 15000);
  engine.togglePause();
  engine.togglePause();
  EXPECT_EQ(timer.startedMs, 15000);
}

TEST_F(PlaybackEngineTest, LogCancelOrCaptureRefusalAbandonsMakeEvp) {
  random.log.logEnabled = true;
  random.log.logFileName = "/nonexistent-dir/log.txt";
  prompter.answers = {Answer::Retry, Answer::Cancel};
  EXPECT_EQ(engine.makeEvp(), 1);
  EXPECT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].title, "Error");
  EXPECT_EQ(prompter.shown[0].buttons, MessageButtons::RetryCancel);
  EXPECT_TRUE(device.calls.empty());

  random.log.logEnabled = false;
  capture.proceed = false;
  EXPECT_EQ(engine.makeEvp(), 1);
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(states, (std::vector<int>{kStateMakingEvp, kStateIdle}));
}

TEST_F(PlaybackEngineTest, ReplayQueuesTheEntriesItHasAndEndsWhenTheyAreBack) {
  std::vector<ReplayEntry> entries = {
      {100, 50, false, 1}, {400, 30, true, 2}, {39990, 40, false, 3}};
  std::size_t next = 0;
  ASSERT_EQ(engine.playEntries([&]() -> std::optional<ReplayEntry> {
    if (next >= entries.size()) return std::nullopt;
    return entries[next++];
  }),
            0);
  EXPECT_EQ(states, std::vector<int>{kStateSessionPlay});
  ASSERT_EQ(device.written.size(), 3u);
  EXPECT_EQ(device.written[0].bytes.size(), 100u);
  EXPECT_EQ(device.written[1].bytes.size(), 60u);  // rendered, a pure fade-in
  EXPECT_EQ(device.written[2].bytes.size(), 20u);  // cut at the end of the signal
  complete(2);
  EXPECT_TRUE(device.isOpen);
  complete(1);
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(states.back(), kStateIdle);

  // Nothing to replay ends at once.
  ASSERT_EQ(engine.playEntries([] { return std::optional<ReplayEntry>{}; }), 0);
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(states.back(), kStateIdle);
}

// A device that goes away mid-run hands every block back and then reports the loss.
// Whatever the run, it must end exactly as Stop ends it and say why under the output
// error title, and the next run must work on the device once it is back.
TEST_F(PlaybackEngineTest, MakeEvpOnALostDeviceEndsAsStopDoesAndShowsTheDeviceText) {
  options.duration.value = 50;  // 4 slots
  playTime.itemIndex = 1;
  ASSERT_EQ(engine.makeEvp(), 0);
  complete(6);
  ASSERT_EQ(engine.segmentSerial(), 10);
  engine.togglePause();

  ASSERT_TRUE(device.loseDevice(kWaveDeviceLost, "The headset was unplugged."));
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_FALSE(engine.isOpen());
  EXPECT_EQ(engine.outstanding(), 0);
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_EQ(states, (std::vector<int>{kStateMakingEvp, kStateIdle}));
  EXPECT_FALSE(engine.isPaused());
  EXPECT_EQ(pauseMarks, (std::vector<bool>{true, false}));
  EXPECT_FALSE(timer.isActive());
  EXPECT_EQ(prompter.log(), std::vector<std::string>{"Wave Out Error: The headset was unplugged."});
  EXPECT_EQ(prompter.shown.back().icon, MessageIcon::Error);
  // The returned slots were offered again and refused: those blocks never sounded and are
  // not part of the EVP, so the capture is trimmed as after Stop.
  EXPECT_EQ(device.written.size(), 10u);
  EXPECT_EQ(appended.size(), 10u);
  EXPECT_EQ(engine.segmentSerial(), 10);
  EXPECT_EQ(finished, (std::vector<std::pair<std::int32_t, int>>{{10, 4}}));
  for (const auto& buffer : renderer.renderBuffers) EXPECT_EQ(buffer, nullptr);
  for (int slot = 0; slot < kPlaybackSlots; ++slot) EXPECT_FALSE(engine.header(slot).inQueue);

  ASSERT_EQ(engine.makeEvp(), 0);
  EXPECT_EQ(engine.outstanding(), 4);
  complete(2);
  stopAndDrain();
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(PlaybackEngineTest, PlayAndReplayOnALostDeviceCloseThenShowTheDeviceText) {
  ASSERT_EQ(engine.playDocument(), 0);
  ASSERT_TRUE(device.loseDevice(kWaveDeviceLost, "Sink removed."));
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_FALSE(engine.isOpen());
  EXPECT_EQ(states, (std::vector<int>{kStatePlaying, kStateIdle}));
  EXPECT_EQ(prompter.log(), std::vector<std::string>{"Wave Out Error: Sink removed."});

  states.clear();
  std::vector<ReplayEntry> entries;
  for (int i = 0; i < 30; ++i) entries.push_back({i * 1000, 200, i % 2 == 1, i + 1});
  std::size_t next = 0;
  const std::size_t writtenBefore = device.written.size();
  ASSERT_EQ(engine.playEntries([&]() -> std::optional<ReplayEntry> {
    if (next >= entries.size()) return std::nullopt;
    return entries[next++];
  }),
            0);
  complete(3);
  ASSERT_TRUE(device.isOpen);
  ASSERT_TRUE(device.loseDevice(kWaveDeviceLost, "Sink removed again."));
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_FALSE(engine.isOpen());
  EXPECT_EQ(engine.outstanding(), 0);
  EXPECT_EQ(states, (std::vector<int>{kStateSessionPlay, kStateIdle}));
  EXPECT_EQ(device.written.size() - writtenBefore, 23u);  // 20 at the start, 3 refills
  EXPECT_EQ(prompter.log().back(), "Wave Out Error: Sink removed again.");
  EXPECT_EQ(prompter.shown.size(), 2u);
  for (const auto& buffer : renderer.renderBuffers) EXPECT_EQ(buffer, nullptr);
}

TEST_F(PlaybackEngineTest, ABlockReturningDuringAWaitingDrawIsRefilledAfterIt) {
  // The sound-card source pumps the loop while it waits for its block, so the next
  // notification arrives inside the refill of the one before.
  test::SimWaveIn in{loop};
  // The draw pumps this loop; each round the sound card delivers a block if one waits.
  struct FeedingLoop : EventLoop {
    QueuedEventLoop& inner;
    test::SimWaveIn& in;
    FeedingLoop(QueuedEventLoop& l, test::SimWaveIn& i) : inner(l), in(i) {}
    void post(std::function<void()> call) override { inner.post(std::move(call)); }
    void processPending() override {
      if (in.isStarted && in.queuedCount() > 0) in.supply(std::vector<std::uint8_t>(64, 0x11));
      inner.processPending();
    }
  } feeding{loop, in};
  random.soundCard.device = &in;
  random.soundCard.loop = &feeding;
  ASSERT_EQ(random.selectRandomSource(RandomSourceKind::SoundCard, "", "", false),
            SelectOutcome::Selected);
  options.duration.value = 10;
  ASSERT_EQ(engine.makeEvp(), 0);
  const int slots = engine.bufferCount();
  ASSERT_TRUE(device.completeNext());
  ASSERT_TRUE(device.completeNext());
  loop.processPending();
  EXPECT_TRUE(prompter.shown.empty()) << prompter.log().front();
  EXPECT_EQ(engine.outstanding(), slots);
  EXPECT_EQ(engine.segmentSerial(), slots + 2);
  EXPECT_EQ(engine.slotIndex(), 2);
  stopAndDrain();
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_FALSE(in.isOpen);  // Stop closes the sound card too
}

TEST_F(PlaybackEngineTest, EachMakeEvpRunStartsTheHealthTestsAfresh) {
  options.duration.value = 10;
  for (int i = 0; i < 1000; ++i) random.health.endDraw();  // a long earlier run
  ASSERT_EQ(engine.makeEvp(), 0);
  const std::int64_t firstRun = random.health.draws();
  EXPECT_GT(firstRun, 0);
  EXPECT_LT(firstRun, 1000);
  EXPECT_EQ(random.health.kind(), random.randomKind);
  stopAndDrain();
}

}  // namespace
}  // namespace voxloom
