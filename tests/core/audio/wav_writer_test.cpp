#include "core/audio/wav_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/audio/riff.h"
#include "core/audio/wav_reader.h"
#include "core/util/little_endian.h"
#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

void fillDocument(AudioDocument& doc, int channels, int bits, Rate rate, Bytes bytes) {
  doc.format.formatTag = 1;
  doc.format.channels = static_cast<std::uint16_t>(channels);
  doc.format.bitsPerSample = static_cast<std::uint16_t>(bits);
  doc.format.samplesPerSec = static_cast<std::uint32_t>(rate);
  doc.format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  doc.format.avgBytesPerSec = static_cast<std::uint32_t>(rate * channels * bits / 8);
  doc.allocateSamples(bytes);
  for (Bytes i = 0; i < bytes; ++i) doc.samples[i] = static_cast<std::uint8_t>(i * 13 + 1);
  doc.setUpDocument("/x/source.wav", true);
}

std::uint32_t at32(const std::vector<std::uint8_t>& b, std::size_t offset) {
  return getLe32(&b[offset]);
}

std::unique_ptr<AudioDocument> readBack(const std::string& path) {
  auto doc = std::make_unique<AudioDocument>();
  auto stream = ByteStream::openFile(path);
  EXPECT_TRUE(stream.has_value());
  if (stream) {
    EXPECT_EQ(loadWav(*stream, *doc, path).status, WavLoadStatus::Loaded);
  }
  return doc;
}

TEST(WavWriter, DocumentWithoutCuesHasTheFixedLayout) {
  AudioDocument doc;
  fillDocument(doc, 2, 16, 44100, 40);
  const std::string path = test::tempDir() + "/plain.wav";
  ASSERT_EQ(writeDocumentWav(path, doc), WavWriteStatus::Written);
  const auto b = test::readWholeFile(path);
  ASSERT_EQ(b.size(), 44u + 40 + 12 + 12);
  EXPECT_EQ(at32(b, 0), fourCC("RIFF"));
  EXPECT_EQ(at32(b, 4), b.size() - 8);
  EXPECT_EQ(at32(b, 8), fourCC("WAVE"));
  EXPECT_EQ(at32(b, 12), fourCC("fmt "));
  EXPECT_EQ(at32(b, 16), 16u);
  EXPECT_EQ(at32(b, 24), 44100u);
  EXPECT_EQ(at32(b, 36), fourCC("data"));
  EXPECT_EQ(at32(b, 40), 40u);
  EXPECT_EQ(b[44 + 39], doc.samples[39]);
  EXPECT_EQ(at32(b, 84), fourCC("cue "));
  EXPECT_EQ(at32(b, 88), 4u);
  EXPECT_EQ(at32(b, 92), 0u);
  EXPECT_EQ(at32(b, 96), fourCC("LIST"));
  EXPECT_EQ(at32(b, 100), 4u);
  EXPECT_EQ(at32(b, 104), fourCC("adtl"));
}

TEST(WavWriter, CuesSurviveARoundTrip) {
  AudioDocument doc;
  fillDocument(doc, 1, 16, 22050, 200);
  doc.cues.push_back({10, 20, 3, "abc", "a note", "rgn"});
  doc.cues.push_back({50, 0, 9, "four", "", ""});
  doc.cues.push_back({70, 0, 0, std::string(300, 'z'), "n\u00E9", "mark"});
  const std::string path = test::tempDir() + "/cues.wav";
  ASSERT_EQ(writeDocumentWav(path, doc), WavWriteStatus::Written);

  const auto again = readBack(path);
  ASSERT_EQ(again->cueCount(), 3);
  EXPECT_EQ(std::vector<std::uint8_t>(again->samples.get(), again->samples.get() + 200),
            std::vector<std::uint8_t>(doc.samples.get(), doc.samples.get() + 200));
  const CuePoint& a = again->cues[0];
  EXPECT_EQ(a.position, 10);
  EXPECT_EQ(a.length, 20);
  EXPECT_EQ(a.id, 3u);
  EXPECT_EQ(a.label, "abc");
  EXPECT_EQ(a.note, "a note");
  EXPECT_EQ(a.purpose, "rgn");
  // A cue that had no ltxt comes back with length 0 and the default purpose.
  EXPECT_EQ(again->cues[1].label, "four");
  EXPECT_EQ(again->cues[1].purpose, "rgn");
  // Identifier 0 is written, but never matches a text when read.
  EXPECT_EQ(again->cues[2].label, "");
  EXPECT_EQ(again->cues[2].position, 70);

  // Texts are padded to an even length: "abc" -> t = 4, "four" -> t = 6.
  const auto b = test::readWholeFile(path);
  const std::size_t list = 44 + 200 + 12 + 3 * 24;
  EXPECT_EQ(at32(b, list), fourCC("LIST"));
  const std::size_t labl = list + 12 + 28;
  EXPECT_EQ(at32(b, labl), fourCC("labl"));
  EXPECT_EQ(at32(b, labl + 4), 8u);
  const std::size_t note = labl + 16;
  EXPECT_EQ(at32(b, note), fourCC("note"));
  EXPECT_EQ(at32(b, note + 4), 4u + 8);  // "a note" + NUL = 7 -> 8
  const std::size_t ltxt2 = note + 12 + 8;
  EXPECT_EQ(at32(b, ltxt2 + 16), fourCC("    "));  // empty purpose
  EXPECT_EQ(at32(b, ltxt2 + 28 + 4), 4u + 6);      // "four" -> t = 6
  // The 300-character label is cut to 255: t = 256.
  const std::size_t ltxt3 = ltxt2 + 28 + (12 + 6) + (12 + 2);
  EXPECT_EQ(at32(b, ltxt3), fourCC("ltxt"));
  EXPECT_EQ(at32(b, ltxt3 + 28 + 4), 4u + 256);
  EXPECT_EQ(at32(b, list + 4), b.size() - list - 8);
}

TEST(WavWriter, OddDataIsWrittenWithoutPadAndReadsBack) {
  AudioDocument doc;
  fillDocument(doc, 1, 8, 8000, 7);
  doc.cues.push_back({6, 1, 1, "last", "", "rgn"});
  const std::string path = test::tempDir() + "/odd.wav";
  ASSERT_EQ(writeDocumentWav(path, doc), WavWriteStatus::Written);
  const auto b = test::readWholeFile(path);
  EXPECT_EQ(at32(b, 40), 7u);
  EXPECT_EQ(at32(b, 44 + 7), fourCC("cue "));
  const auto again = readBack(path);
  ASSERT_EQ(again->cueCount(), 1);
  EXPECT_EQ(again->cues[0].label, "last");
}

TEST(WavWriter, WritesTheSignalsOwnRate) {
  AudioDocument doc;
  fillDocument(doc, 1, 16, 44100, 4);
  doc.format.samplesPerSec = 22050;  // as left behind by playback at half speed
  const std::string path = test::tempDir() + "/rate.wav";
  ASSERT_EQ(writeDocumentWav(path, doc), WavWriteStatus::Written);
  EXPECT_EQ(at32(test::readWholeFile(path), 24), 44100u);
  EXPECT_EQ(doc.format.samplesPerSec, 44100u);
}

TEST(WavWriter, ReportsWhatCannotBeOpened) {
  AudioDocument doc;
  fillDocument(doc, 1, 16, 8000, 4);
  EXPECT_EQ(writeDocumentWav(test::tempDir() + "/no/such/folder/x.wav", doc),
            WavWriteStatus::CannotOpen);
  EXPECT_EQ(writeDocumentWav(test::tempDir(), doc), WavWriteStatus::CannotOpen);
  EXPECT_EQ(cannotOpenForWritingText("a.wav"), "Can't open WAV file 'a.wav' for writing.");
  EXPECT_EQ(cannotWriteText("a.wav"), "Can't write to WAV file 'a.wav'.");
}

// The RIFF size is a 32-bit field: cue and LIST chunks may push a large file past it.
TEST(WavWriter, RefusesWhatItsSizeFieldsCannotHold) {
  const std::vector<WavCue> cues = {{1, 0, 10, fourCC("rgn"), "label", "a note"},
                                    {2, 5, 0, fourCC("mark"), "", std::string(300, 'n')}};
  // cue: 12 + 2 x 24; LIST: 12, then per cue ltxt 28, labl and note 12 + the text with its
  // NUL padded to even (the note cut to 255 bytes).
  const std::uint64_t tail = 12 + 48 + 12 + (28 + 12 + 6 + 12 + 8) + (28 + 12 + 2 + 12 + 256);
  const std::uint64_t room = 0xFFFFFFFFull + 8 - 44 - tail;
  EXPECT_TRUE(wavFileFits(room, cues));
  EXPECT_FALSE(wavFileFits(room + 1, cues));
  EXPECT_TRUE(wavFileFits(room + tail - 12 - 12, {}));  // empty cue and LIST chunks
  EXPECT_FALSE(wavFileFits(room + tail - 12 - 12 + 1, {}));
  EXPECT_EQ(wavWriteFailureText(WavWriteStatus::TooLarge, "big.wav"),
            "Can't write WAV file 'big.wav': with its cue list it would be larger than a WAV "
            "file can be (4 GB).");
}

TEST(WavWriter, AFailedWriteKeepsThePreviousFile) {
  const std::string dir = test::tempDir();
  const std::string path = dir + "/keep.wav";
  const auto original = test::simpleWav(1, 8, 8000, 10);
  test::writeTempFile("keep.wav", original);

  // A child process whose files may not grow beyond 64 KiB tries to save 1 MB over it.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1 << 16, 1 << 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    AudioDocument doc;
    fillDocument(doc, 2, 16, 44100, 1 << 20);
    _exit(writeDocumentWav(path, doc) == WavWriteStatus::WriteFailed ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(test::readWholeFile(path), original);
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 1) << "the temporary file was left behind";
}

TEST(WavWriter, ReadsWhatSoxWrites) {
  const std::string path = test::tempDir() + "/sox.wav";
  const std::string command =
      "sox -n -r 11025 -c 2 -b 16 -e signed-integer '" + path + "' synth 0.1 sine 440 2>/dev/null";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "sox is not installed";
  const auto doc = readBack(path);
  EXPECT_EQ(doc->nominalRate, 11025);
  EXPECT_EQ(doc->format.channels, 2);
  EXPECT_EQ(doc->frameCount, 1103);
  int peak = 0;
  for (Frames f = 0; f < doc->frameCount; ++f)
    peak = std::max(peak, std::abs(doc->sampleAt(doc->channelBase(1), f)));
  EXPECT_GT(peak, 20000);
}

}  // namespace
}  // namespace voxloom
