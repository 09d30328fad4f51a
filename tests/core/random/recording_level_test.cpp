#include "core/random/recording_level.h"

#include <gtest/gtest.h>

#include "core/audio/recording_params.h"
#include "tests/support/manual_timer.h"

namespace voxloom {
namespace {

TEST(RecordingParams, FormatAndBufferSizeFollowTheDialog) {
  const WaveFormat mono = recordingFormat(22050, 0, 1);
  EXPECT_EQ(mono.formatTag, 1);
  EXPECT_EQ(mono.channels, 1);
  EXPECT_EQ(mono.bitsPerSample, 16);
  EXPECT_EQ(mono.blockAlign, 2);
  EXPECT_EQ(mono.avgBytesPerSec, 44100u);
  EXPECT_EQ(mono.extraSize, 0);
  EXPECT_EQ(recordBufferBytes(100, mono), 4410);

  const WaveFormat stereo = recordingFormat(44100, 1, 1);
  EXPECT_EQ(stereo.blockAlign, 4);
  EXPECT_EQ(recordBufferBytes(200, stereo), 35280);
  // The division comes first: 100 ms of 11025 Hz is 1102 whole frames.
  EXPECT_EQ(recordBufferBytes(100, recordingFormat(11025, 1, 0)), 2204);
  // Too few frames for one buffer, or more than a buffer can hold: no size.
  EXPECT_EQ(recordBufferBytes(100, recordingFormat(5, 0, 0)), std::nullopt);
  EXPECT_EQ(recordBufferBytes(1000, recordingFormat(2000000000, 1, 1)), std::nullopt);
}

TEST(RecordingParams, SampleRateTextMustBeAPositiveWholeNumber) {
  EXPECT_EQ(parseSampleRate("22050"), 22050);
  EXPECT_EQ(parseSampleRate(" 44100 "), 44100);
  EXPECT_EQ(parseSampleRate("+8000"), 8000);
  for (const char* bad : {"", "  ", "abc", "22050Hz", "22.05", "0", "-8000", "99999999999"})
    EXPECT_EQ(parseSampleRate(bad), std::nullopt) << bad;
}

TEST(RecLevel, BoostGainTruncatesThePowerOfTen) {
  RecLevelState level;
  const std::pair<int, int> expected[] = {{0, 1},    {6, 1},    {7, 2},     {10, 3},    {20, 10},
                                          {40, 100}, {50, 316}, {60, 1000}, {90, 31622}};
  for (auto [db, gain] : expected) {
    level.boostPosition = RecLevelState::kBoostPositionMax - db;
    EXPECT_EQ(level.boostDecibels(), db);
    EXPECT_EQ(level.boostGain(), gain) << db << " dB";
  }
}

TEST(RecLevel, BarAndLampFollowThePeak) {
  RecLevelState level;
  level.showLevel(16384, 16);
  EXPECT_EQ(level.bar, 150);
  EXPECT_EQ(level.lamp, 0);

  level.showLevel(32767, 16);
  EXPECT_EQ(level.bar, 299);
  EXPECT_EQ(level.lamp, 1);
  EXPECT_EQ(level.lampColour, LampColour::Yellow);

  level.showLevel(-32768, 16);
  EXPECT_EQ(level.bar, 300);
  EXPECT_EQ(level.lampColour, LampColour::Red);

  // A quieter buffer never lowers the bar; the decay does.
  level.showLevel(100, 16);
  EXPECT_EQ(level.bar, 300);

  RecLevelState eight;
  eight.showLevel(-128, 8);
  EXPECT_EQ(eight.bar, 300);
  eight.bar = 0;
  eight.showLevel(116, 8);  // 116 x 300 / 128 = 271: lit, yellow
  EXPECT_EQ(eight.bar, 271);
  EXPECT_EQ(eight.lamp, 1);
}

TEST(RecLevel, DecayEmptiesAFullBarInOneSecondThenDarkensTheLamp) {
  test::ManualTimer timer;
  LevelMeter meter;
  meter.setTimer(&timer);
  int shown = 0;
  meter.changed = [&] { ++shown; };
  meter.showLevel(-32768, 16);
  EXPECT_EQ(timer.startedMs, 10);
  EXPECT_EQ(shown, 1);

  int ticks = 0;
  while (meter.state.bar > 0 && timer.fire()) ++ticks;
  EXPECT_EQ(ticks, 100);
  EXPECT_EQ(meter.state.lamp, 1);  // still lit until the next step finds the bar down
  EXPECT_TRUE(timer.fire());
  EXPECT_EQ(meter.state.lamp, 0);
  EXPECT_FALSE(timer.isActive());

  // Another peak while the decay runs does not start a second timer.
  meter.showLevel(3000, 16);
  const int starts = timer.starts;
  meter.showLevel(6000, 16);
  EXPECT_EQ(timer.starts, starts);
}

}  // namespace
}  // namespace voxloom
