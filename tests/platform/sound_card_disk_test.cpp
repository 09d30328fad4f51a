// The sound-card random source on the real SDL capture adapter, fed by the disk driver.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/random/random_sources.h"
#include "platform/sdl/sdl_wave_in.h"
#include "tests/platform/disk_audio.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom::test {
namespace {

TEST(SoundCardDisk, DrawsAreSamplesOfTheInputInTheirOrder) {
  DiskAudio disk;  // first: SDL must start with the disk driver
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < 44100; ++i) {
    const int s = i - 22050;  // distinct and rising
    bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
  }
  disk.setInput(bytes);
  QueuedEventLoop loop;
  SdlWaveIn in{loop};
  StopRequest stop;
  ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random(stop, prompter, noPlayback);
  random.soundCard.device = &in;
  random.soundCard.loop = &loop;
  ASSERT_EQ(random.selectRandomSource(RandomSourceKind::SoundCard, "", "", false),
            SelectOutcome::Selected);
  int previous = -1000000;
  for (int i = 0; i < 5; ++i) {
    const int s = random.drawRandom(65536) - 32768;
    ASSERT_FALSE(stop.stopRequested) << (prompter.shown.empty() ? "" : prompter.log().front());
    EXPECT_GE(s, -22050);
    EXPECT_GT(s, previous);  // each block comes later in the input
    EXPECT_EQ(random.batch.count, 32);
    previous = s;
  }
  EXPECT_TRUE(random.soundCard.isOpen());
  random.stopSourceWaits();
  EXPECT_FALSE(random.soundCard.isOpen());
  EXPECT_TRUE(prompter.shown.empty());
}

TEST(SoundCardDisk, AMissingDeviceIsReportedNotAwaited) {
  DiskAudio disk;
  QueuedEventLoop loop;
  SdlWaveIn in{loop};
  StopRequest stop;
  ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random(stop, prompter, noPlayback);
  random.soundCard.device = &in;
  random.soundCard.loop = &loop;
  random.soundCard.deviceIndex = 99;
  random.selectRandomSource(RandomSourceKind::SoundCard, "", "", false);
  EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_TRUE(stop.stopRequested);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].title, "Record In Error");
  EXPECT_FALSE(prompter.shown[0].text.empty());
}

}  // namespace
}  // namespace voxloom::test
