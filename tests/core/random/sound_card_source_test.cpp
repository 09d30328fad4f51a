#include "core/random/sound_card_source.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/ports/queued_event_loop.h"
#include "core/random/random_sources.h"
#include "core/random/recording_level.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_in.h"

namespace voxloom {
namespace {

// The loop the draw pumps; before each round it lets the test act as the sound card.
class FeedingLoop : public EventLoop {
 public:
  std::function<void()> feed;
  void post(std::function<void()> call) override { inner_.post(std::move(call)); }
  void processPending() override {
    if (feed) feed();
    inner_.processPending();
  }

 private:
  QueuedEventLoop inner_;
};

std::vector<std::uint8_t> samplesBytes(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> b;
  for (std::int16_t s : samples) {
    b.push_back(static_cast<std::uint8_t>(s & 0xff));
    b.push_back(static_cast<std::uint8_t>((s >> 8) & 0xff));
  }
  return b;
}

class SoundCardSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    random.soundCard.device = &sim;
    random.soundCard.loop = &loop;
    random.soundCard.level = &level;
    random.soundCard.documentRate = [this] { return docRate; };
    // Every block the device is waiting for gets the next 32 samples.
    loop.feed = [this] {
      if (sim.isStarted && sim.queuedCount() > 0 && !blocks.empty()) {
        sim.supply(samplesBytes(blocks.front()));
        blocks.erase(blocks.begin());
      }
    };
    ASSERT_EQ(random.selectRandomSource(RandomSourceKind::SoundCard, "", "", false),
              SelectOutcome::Selected);
  }

  FeedingLoop loop;
  test::SimWaveIn sim{loop};
  LevelMeter level;
  std::uint32_t docRate = 0;
  std::vector<std::vector<std::int16_t>> blocks;
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
};

TEST_F(SoundCardSourceTest, TheRateFollowsBestQualityAndTheDocument) {
  struct Case {
    bool recBest;
    std::uint32_t docRate;
    std::vector<std::uint32_t> refused;
    std::string open;  // the open call, or "" when it fails
  };
  const std::vector<Case> cases = {
      {true, 22050, {}, "open -1 44100"},      {false, 22050, {}, "open -1 22050"},
      {false, 0, {}, "open -1 44100"},  // no document loaded
      {true, 22050, {44100}, "open -1 22050"}, {true, 22050, {44100, 22050}, ""},
  };
  for (const Case& c : cases) {
    random.menu.recBest = c.recBest;
    docRate = c.docRate;
    sim.refusedRates = c.refused;
    sim.calls.clear();
    prompter.shown.clear();
    stop.stopRequested = false;
    blocks = {std::vector<std::int16_t>(32, 7)};
    random.drawRandom(10);
    if (c.open.empty()) {
      EXPECT_TRUE(stop.stopRequested);
      ASSERT_EQ(prompter.shown.size(), 1u);
      EXPECT_EQ(prompter.shown[0].title, "Record In Error");
    } else {
      ASSERT_FALSE(sim.calls.empty());
      EXPECT_EQ(sim.calls[0], c.open);
      EXPECT_FALSE(stop.stopRequested);
      EXPECT_EQ(sim.openedFormat.channels, 1);
      EXPECT_EQ(sim.openedFormat.bitsPerSample, 16);
    }
    random.stopSourceWaits();
    EXPECT_FALSE(sim.isOpen);
  }
}

TEST_F(SoundCardSourceTest, EveryDrawRecordsAFreshBlockOnTheOpenDevice) {
  blocks = {std::vector<std::int16_t>(32, 100), std::vector<std::int16_t>(32, -32768)};
  EXPECT_EQ(random.drawRandom(65536), 32868);
  EXPECT_EQ(random.drawRandom(65536), 0);
  EXPECT_EQ(std::count(sim.calls.begin(), sim.calls.end(), "open -1 44100"), 1);
  EXPECT_TRUE(sim.isOpen);
  // A draw from another source closes the device.
  random.selectRandomSource(RandomSourceKind::PseudoRng, "", "", false);
  random.drawRandom(10);
  EXPECT_FALSE(sim.isOpen);
}

TEST_F(SoundCardSourceTest, ConvertFoldsTheBlockAndBoostClipsIt) {
  random.menu.convert = true;
  random.previousTrendSample = 5;
  blocks = {std::vector<std::int16_t>(32, 6), std::vector<std::int16_t>(32, 6)};
  random.drawRandom(2);
  EXPECT_EQ(random.drawRandom(2), 0);  // equal to the previous sample: the word 0
  random.previousTrendSample = 5;
  blocks = {std::vector<std::int16_t>(32, 6)};
  EXPECT_EQ(random.drawRandom(2), 1);  // all ones

  random.menu.convert = false;
  level.state.boostChecked = true;
  level.state.boostPosition = level.state.kBoostPositionMax - 20;  // 20 dB: gain 10
  blocks = {std::vector<std::int16_t>{-5000, 300}};
  blocks[0].resize(32, 0);
  random.drawRandom(10);
  EXPECT_EQ(random.batch.values16[0], -32768);
  EXPECT_EQ(random.batch.values16[1], 3000);
  EXPECT_EQ(level.state.bar, RecLevelState::kBarMax);  // the clipped peak
}

TEST_F(SoundCardSourceTest, ALostDeviceOrStopEndsTheWait) {
  // Unplugged while waiting: the loss is reported with the device's text.
  loop.feed = [this] {
    if (sim.isStarted && sim.queuedCount() > 0) sim.loseDevice(kWaveDeviceLost, "gone");
  };
  EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_TRUE(stop.stopRequested);
  ASSERT_EQ(prompter.log(), std::vector<std::string>{"Record In Error: gone"});
  EXPECT_FALSE(sim.isOpen);

  // Stop during the wait closes the device and ends the draw without a message.
  stop.stopRequested = false;
  prompter.shown.clear();
  loop.feed = [this] {
    if (sim.isStarted && sim.queuedCount() > 0) random.stopSourceWaits();
  };
  EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_TRUE(stop.stopRequested);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_FALSE(sim.isOpen);
}

TEST_F(SoundCardSourceTest, AShortBlockOrAMissingDeviceFails) {
  random.soundCard.timeoutMs = 50;
  loop.feed = nullptr;  // nothing ever arrives
  EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_EQ(prompter.log(),
            std::vector<std::string>{"Error: Couldn't read any wave data from the sound card."});
  EXPECT_FALSE(sim.isOpen);

  stop.stopRequested = false;
  prompter.shown.clear();
  sim.failOpen(kWaveBadDevice, "no input device");
  EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_EQ(prompter.log(), std::vector<std::string>{"Record In Error: no input device"});
}

}  // namespace
}  // namespace voxloom
