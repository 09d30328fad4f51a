#include "core/audio/audio_document.h"

#include <gtest/gtest.h>

namespace voxloom {
namespace {

void makePcm(AudioDocument& doc, int channels, int bits, Bytes bytes, Rate rate = 44100) {
  doc.format.formatTag = 1;
  doc.format.channels = static_cast<std::uint16_t>(channels);
  doc.format.bitsPerSample = static_cast<std::uint16_t>(bits);
  doc.format.samplesPerSec = static_cast<std::uint32_t>(rate);
  doc.allocateSamples(bytes);
  std::fill_n(doc.samples.get(), bytes, 0);
}

TEST(TimeText, FormatsHoursMinutesAndRoundedSeconds) {
  EXPECT_EQ(timeText(0), "0:00:00.000");
  EXPECT_EQ(timeText(75.5), "0:01:15.500");
  EXPECT_EQ(timeText(3725.25), "1:02:05.250");
  // The print format rounds; nothing is carried into the minutes.
  EXPECT_EQ(timeText(59.9999), "0:00:60.000");
  EXPECT_EQ(timeText(1.0 / 0.0), "0:00:00.000");
}

TEST(AudioDocument, EightBitSamplesSaturateAndCenterOn128) {
  AudioDocument doc;
  makePcm(doc, 1, 8, 4);
  doc.setUpDocument("a.wav", true);
  std::uint8_t* base = doc.channelBase(0);
  doc.putSample(base, 0, 200);
  doc.putSample(base, 1, -300);
  doc.putSample(base, 2, -5);
  EXPECT_EQ(doc.samples[0], 255);
  EXPECT_EQ(doc.samples[1], 0);
  EXPECT_EQ(doc.samples[2], 123);
  EXPECT_EQ(doc.sampleAt(base, 1), -128);
  doc.samples[3] = 128;
  EXPECT_EQ(doc.sampleAt(base, 3), 0);
}

TEST(AudioDocument, SixteenBitStereoChannelsAreInterleaved) {
  AudioDocument doc;
  makePcm(doc, 2, 16, 8);
  doc.setUpDocument("a.wav", true);
  doc.putSample(doc.channelBase(0), 1, 40000);
  doc.putSample(doc.channelBase(1), 1, -40000);
  doc.putSample(doc.channelBase(1), 0, -2);
  EXPECT_EQ(doc.sampleAt(doc.channelBase(0), 1), 32767);
  EXPECT_EQ(doc.sampleAt(doc.channelBase(1), 1), -32768);
  EXPECT_EQ(doc.samples[2], 0xFE);  // -2 little-endian in the right channel of frame 0
  EXPECT_EQ(doc.samples[3], 0xFF);
  EXPECT_EQ(doc.sampleAt(doc.channelBase(0), 0), 0);
}

TEST(AudioDocument, OtherWidthsReadZeroAndWriteNothing) {
  AudioDocument doc;
  makePcm(doc, 1, 24, 6);
  doc.frameBytes = 3;
  doc.samples[0] = 7;
  doc.putSample(doc.channelBase(0), 0, 1000);
  EXPECT_EQ(doc.samples[0], 7);
  EXPECT_EQ(doc.sampleAt(doc.channelBase(0), 0), 0);
}

TEST(AudioDocument, SetUpDescribesTheSignal) {
  AudioDocument doc;
  makePcm(doc, 2, 16, 176400);
  doc.cues.resize(3);
  doc.setUpDocument("/home/me/take1.wav", true);
  EXPECT_TRUE(doc.isLoaded);
  EXPECT_FALSE(doc.isModified);
  EXPECT_EQ(doc.frameBytes, 4);
  EXPECT_EQ(doc.frameCount, 44100);
  EXPECT_EQ(doc.nominalRate, 44100);
  EXPECT_EQ(doc.texts.windowTitle, "take1.wav - Voxloom 2.5");
  EXPECT_EQ(doc.texts.applicationTitle, "take1.wav - Voxloom 2.5");
  EXPECT_EQ(doc.texts.status[0], "Sample: 44100 Hz \u00B7 16 Bit \u00B7 Stereo");
  EXPECT_EQ(doc.texts.status[1], "Cues: 3");
  EXPECT_EQ(doc.texts.status[2], "Time: 0:00:01.000");
}

TEST(AudioDocument, PartialTrailingFrameStaysInTheBuffer) {
  AudioDocument doc;
  makePcm(doc, 2, 16, 10, 8000);
  doc.setUpDocument("", true);
  EXPECT_EQ(doc.frameCount, 2);
  EXPECT_EQ(doc.dataBytes, 10);
  EXPECT_EQ(doc.texts.windowTitle, "New File - Voxloom 2.5");
  EXPECT_EQ(doc.texts.status[0], "Sample: 8000 Hz \u00B7 16 Bit \u00B7 Stereo");
}

TEST(AudioDocument, KeepsItsOwnRateWhenAskedTo) {
  AudioDocument doc;
  makePcm(doc, 1, 8, 100, 11025);
  doc.nominalRate = 100;
  doc.setUpDocument("Live Audio Source", false);
  EXPECT_EQ(doc.nominalRate, 100);
  EXPECT_EQ(doc.texts.status[2], "Time: 0:00:01.000");
  EXPECT_EQ(doc.texts.status[0], "Sample: 100 Hz \u00B7 8 Bit \u00B7 Mono");
}

TEST(AudioDocument, ResetRestoresDefaultsButKeepsTheRate) {
  AudioDocument doc;
  makePcm(doc, 1, 16, 100);
  doc.cues.resize(2);
  doc.setUpDocument("x.wav", true);
  doc.markModified();
  doc.resetDocument();
  EXPECT_FALSE(doc.isLoaded);
  EXPECT_FALSE(doc.isModified);
  EXPECT_EQ(doc.samples, nullptr);
  EXPECT_EQ(doc.cueCount(), 0);
  EXPECT_EQ(doc.dataBytes, 0);
  EXPECT_EQ(doc.format, WaveFormat{});
  EXPECT_EQ(doc.nominalRate, 44100);
  EXPECT_EQ(doc.texts.windowTitle, "Voxloom 2.5");
  EXPECT_EQ(doc.texts.applicationTitle, "Voxloom");
  EXPECT_EQ(doc.texts.status, (std::array<std::string, 3>{"Sample:", "Cues:", "Time:"}));
}

TEST(Paths, SplitFolderAndName) {
  EXPECT_EQ(fileNamePart("/a/b/c.wav"), "c.wav");
  EXPECT_EQ(fileNamePart("C:\\x\\y.wav"), "y.wav");
  EXPECT_EQ(fileNamePart("plain.wav"), "plain.wav");
  EXPECT_EQ(folderPart("/a/b/c.wav"), "/a/b");
  EXPECT_EQ(folderPart("/c.wav"), "/");
  EXPECT_EQ(folderPart("c.wav"), "");
}

}  // namespace
}  // namespace voxloom
