#include "core/audio/wav_reader.h"
#include "core/util/little_endian.h"

#include <gtest/gtest.h>

#include "core/audio/riff.h"
#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

using test::RiffBuilder;

struct Loaded {
  WavLoadOutcome outcome;
  std::unique_ptr<AudioDocument> doc = std::make_unique<AudioDocument>();
};

Loaded load(const std::vector<std::uint8_t>& bytes) {
  Loaded l;
  ByteStream stream = ByteStream::fromMemory(bytes);
  l.outcome = loadWav(stream, *l.doc, "/data/take1.wav");
  return l;
}

// RIFF WAVE with fmt (16-bit mono 8 kHz) and 8 bytes of data, ready for more chunks.
RiffBuilder wavHead(std::uint32_t dataBytes = 8) {
  RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(1, 16, 8000));
  b.chunk("data", std::vector<std::uint8_t>(dataBytes, 0x11));
  return b;
}

RiffBuilder listOf(const std::string& type, const std::vector<std::vector<std::uint8_t>>& parts) {
  RiffBuilder inner;
  inner.code(type);
  for (const auto& p : parts) inner.bytes.insert(inner.bytes.end(), p.begin(), p.end());
  RiffBuilder list;
  list.chunk("LIST", inner.bytes);
  return list;
}

std::vector<std::uint8_t> sub(const std::string& code, const std::vector<std::uint8_t>& body) {
  RiffBuilder b;
  b.chunk(code, body);
  if (body.size() % 2 == 1) b.zeros(1);
  return b.bytes;
}

RiffBuilder& append(RiffBuilder& b, const RiffBuilder& more) {
  b.bytes.insert(b.bytes.end(), more.bytes.begin(), more.bytes.end());
  return b;
}

TEST(FourCC, PacksAndUnpacksCodes) {
  EXPECT_EQ(fourCC("fmt"), fourCC("fmt "));
  EXPECT_EQ(fourCC("RIFF"), 0x46464952u);
  EXPECT_EQ(fourCCText(fourCC("rgn ")), "rgn");
  EXPECT_EQ(fourCCText(0), "");
  EXPECT_EQ(riffErrorText("fmt"), "Cannot find 'fmt' chunk.");
}

TEST(WavReader, ReadsSamplesCuesAndTheirTexts) {
  RiffBuilder b = wavHead(16);
  b.chunk("cue", RiffBuilder::cueBody({{1, 0}, {2, 5}}));
  append(b, listOf("adtl", {sub("ltxt", RiffBuilder::ltxtBody(2, 3, "mark")),
                            sub("labl", RiffBuilder::textBody(1, "one")),
                            sub("note", RiffBuilder::textBody(2, "second note")),
                            sub("labl", RiffBuilder::textBody(2, "two")),
                            sub("labl", RiffBuilder::textBody(9, "nobody"))}));
  const Loaded l = load(b.closeRiff().bytes);
  ASSERT_EQ(l.outcome.status, WavLoadStatus::Loaded);
  const AudioDocument& d = *l.doc;
  EXPECT_EQ(d.dataBytes, 16);
  EXPECT_EQ(d.frameCount, 8);
  EXPECT_EQ(d.samples[15], 0x11);
  ASSERT_EQ(d.cueCount(), 2);
  EXPECT_EQ(d.cues[0].label, "one");
  EXPECT_EQ(d.cues[0].purpose, "");
  EXPECT_EQ(d.cues[0].length, 0);
  EXPECT_EQ(d.cues[1].position, 5);
  EXPECT_EQ(d.cues[1].length, 3);
  EXPECT_EQ(d.cues[1].purpose, "mark");
  EXPECT_EQ(d.cues[1].label, "two");
  EXPECT_EQ(d.cues[1].note, "second note");
  EXPECT_EQ(d.texts.status[1], "Cues: 2");
}

TEST(WavReader, FormatChunkLengths) {
  // 16 bytes: no extra-size field, it stays 0.
  Loaded l = load(wavHead().closeRiff().bytes);
  EXPECT_EQ(l.outcome.status, WavLoadStatus::Loaded);
  EXPECT_EQ(l.doc->format.extraSize, 0);

  // An extensible 40-byte format is read in part, then refused for its tag.
  RiffBuilder ext;
  ext.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(2, 16, 44100, 0xFFFE, 22));
  ext.chunk("data", std::vector<std::uint8_t>(8));
  l = load(ext.closeRiff().bytes);
  EXPECT_EQ(l.outcome.status, WavLoadStatus::NotStandardPcm);
  EXPECT_FALSE(l.doc->isLoaded);
}

TEST(WavReader, RefusesWhatIsNotEightOrSixteenBitPcm) {
  for (int bits : {24, 32}) {
    RiffBuilder b;
    b.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(2, bits, 44100));
    b.chunk("data", std::vector<std::uint8_t>(48));
    const Loaded l = load(b.closeRiff().bytes);
    EXPECT_EQ(l.outcome.status, WavLoadStatus::NotStandardPcm) << bits;
    EXPECT_FALSE(l.doc->isLoaded);
    EXPECT_EQ(l.doc->samples, nullptr);
  }
  RiffBuilder three;
  three.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(3, 16, 8000));
  three.chunk("data", std::vector<std::uint8_t>(6));
  EXPECT_EQ(load(three.closeRiff().bytes).outcome.status, WavLoadStatus::NotStandardPcm);
}

// Rates are signed 32-bit numbers in the program: a larger rate would show as negative.
TEST(WavReader, RefusesRatesOfTwoToTheThirtyFirstOrMore) {
  for (const std::uint32_t rate : {0x80000000u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
    std::vector<std::uint8_t> fmt = RiffBuilder::fmtBody(1, 8, 8000);
    putLe32(&fmt[4], rate);
    RiffBuilder b;
    b.code("RIFF")
        .u32(0)
        .code("WAVE")
        .chunk("fmt", fmt)
        .chunk("data", std::vector<std::uint8_t>(4));
    const Loaded l = load(b.closeRiff().bytes);
    if (rate > 0x7FFFFFFFu) {
      EXPECT_EQ(l.outcome.status, WavLoadStatus::RateTooHigh) << rate;
      EXPECT_EQ(l.outcome.rateFound, rate);
      EXPECT_FALSE(l.doc->isLoaded);
      EXPECT_EQ(l.doc->samples, nullptr);  // refused before reading the samples
    } else {
      ASSERT_EQ(l.outcome.status, WavLoadStatus::Loaded);
      EXPECT_EQ(l.doc->nominalRate, 2147483647);
    }
  }
  EXPECT_EQ(rateTooHighText(2147483648u),
            "The sample rate of this WAV file (2147483648 Hz) is too high. Voxloom can only "
            "process WAV files with up to 2147483647 samples per second.");
}

TEST(WavReader, NamesTheMissingChunk) {
  EXPECT_EQ(load({}).outcome.chunk, "RIFF");
  EXPECT_EQ(load(std::vector<std::uint8_t>(100, 'x')).outcome.chunk, "RIFF");

  RiffBuilder noFmt;
  noFmt.code("RIFF").u32(0).code("WAVE").chunk("data", std::vector<std::uint8_t>(4));
  EXPECT_EQ(load(noFmt.closeRiff().bytes).outcome.chunk, "fmt");

  // data must follow fmt.
  RiffBuilder dataFirst;
  dataFirst.code("RIFF").u32(0).code("WAVE").chunk("data", std::vector<std::uint8_t>(4));
  dataFirst.chunk("fmt", RiffBuilder::fmtBody(1, 16, 8000));
  EXPECT_EQ(load(dataFirst.closeRiff().bytes).outcome.chunk, "data");

  // A chunk of size 0 ends the search.
  RiffBuilder zero;
  zero.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(1, 16, 8000));
  zero.chunk("junk", {}).chunk("data", std::vector<std::uint8_t>(4));
  const Loaded l = load(zero.closeRiff().bytes);
  EXPECT_EQ(l.outcome.status, WavLoadStatus::MissingChunk);
  EXPECT_EQ(l.outcome.chunk, "data");
}

TEST(WavReader, ReadsRiffFilesOfOtherTypes) {
  RiffBuilder b;
  b.code("RIFF").u32(0).code("AVI ").chunk("fmt", RiffBuilder::fmtBody(1, 8, 8000));
  b.chunk("data", {1, 2, 3});
  const Loaded l = load(b.closeRiff().bytes);
  EXPECT_EQ(l.outcome.status, WavLoadStatus::Loaded);
  EXPECT_EQ(l.doc->frameCount, 3);
}

TEST(WavReader, SkipsAnOddChunkAndItsPadByte) {
  RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(1, 8, 8000));
  b.chunk("junk", {1, 2, 3}).zeros(1).chunk("data", {9, 9});
  const Loaded l = load(b.closeRiff().bytes);
  ASSERT_EQ(l.outcome.status, WavLoadStatus::Loaded);
  EXPECT_EQ(l.doc->dataBytes, 2);
  EXPECT_EQ(l.doc->samples[0], 9);
}

TEST(WavReader, CueCountMustMatchTheChunkSize) {
  RiffBuilder good = wavHead();
  good.chunkWithSize("cue", 52, RiffBuilder::cueBody({{1, 0}, {2, 1}}));
  append(good, listOf("adtl", {}));
  Loaded l = load(good.closeRiff().bytes);
  EXPECT_FALSE(l.outcome.cueCountMismatch);
  EXPECT_EQ(l.doc->cueCount(), 2);

  RiffBuilder bad = wavHead();
  auto body = RiffBuilder::cueBody({{1, 0}, {2, 1}});
  body.resize(56);
  bad.chunkWithSize("cue", 56, body);
  append(bad, listOf("adtl", {}));
  l = load(bad.closeRiff().bytes);
  EXPECT_TRUE(l.outcome.cueCountMismatch);
  EXPECT_EQ(l.outcome.status, WavLoadStatus::Loaded);
  EXPECT_EQ(l.doc->cueCount(), 0);
  EXPECT_EQ(l.doc->dataBytes, 8);
}

TEST(WavReader, CuesNeedTheirListChunk) {
  RiffBuilder b = wavHead();
  b.chunk("cue", RiffBuilder::cueBody({{1, 0}}));
  const Loaded l = load(b.closeRiff().bytes);
  EXPECT_EQ(l.outcome.status, WavLoadStatus::Loaded);
  EXPECT_EQ(l.doc->cueCount(), 0);
}

TEST(WavReader, OnlyTheFirstListAfterTheCuesCounts) {
  RiffBuilder b = wavHead();
  b.chunk("cue", RiffBuilder::cueBody({{1, 0}}));
  append(b, listOf("INFO", {sub("INAM", RiffBuilder::textBody(0, "name"))}));
  append(b, listOf("adtl", {sub("labl", RiffBuilder::textBody(1, "lost"))}));
  const Loaded l = load(b.closeRiff().bytes);
  ASSERT_EQ(l.doc->cueCount(), 1);
  EXPECT_EQ(l.doc->cues[0].label, "");
}

TEST(WavReader, IdentifiersDecideWhoGetsTheTexts) {
  RiffBuilder b = wavHead();
  b.chunk("cue", RiffBuilder::cueBody({{0, 0}, {7, 1}, {7, 2}, {8, 3}}));
  append(b, listOf("adtl", {sub("ltxt", RiffBuilder::ltxtBody(0, 5, "x")),
                            sub("labl", RiffBuilder::textBody(0, "zero")),
                            sub("ltxt", RiffBuilder::ltxtBody(7, 4, "    ")),
                            sub("labl", RiffBuilder::textBody(7, "seven")),
                            sub("ltxt", RiffBuilder::ltxtBody(8, 2, ""))}));
  const Loaded l = load(b.closeRiff().bytes);
  const auto& c = l.doc->cues;
  ASSERT_EQ(c.size(), 4u);
  EXPECT_EQ(c[0].label, "");
  EXPECT_EQ(c[0].length, 0);
  EXPECT_EQ(c[0].purpose, "");
  EXPECT_EQ(c[1].label, "seven");
  EXPECT_EQ(c[1].purpose, "rgn");  // four blanks
  EXPECT_EQ(c[2].label, "");       // same identifier, second in line
  EXPECT_EQ(c[2].length, 0);
  EXPECT_EQ(c[3].purpose, "rgn");  // zero code
  EXPECT_EQ(c[3].length, 2);
}

TEST(WavReader, LabelTextsAreCutAndDecoded) {
  RiffBuilder b = wavHead();
  b.chunk("cue", RiffBuilder::cueBody({{1, 0}, {2, 0}}));
  RiffBuilder longLabel;
  longLabel.u32(1).raw(std::string(300, 'a'));  // no NUL at all
  RiffBuilder windows;
  windows.u32(2).raw("caf\xE9 \x93quoted\x94").zeros(1);
  append(b, listOf("adtl", {sub("labl", longLabel.bytes), sub("labl", windows.bytes)}));
  const Loaded l = load(b.closeRiff().bytes);
  ASSERT_EQ(l.doc->cueCount(), 2);
  EXPECT_EQ(l.doc->cues[0].label, std::string(256, 'a'));
  EXPECT_EQ(l.doc->cues[1].label, "caf\u00E9 \u201Cquoted\u201D");
}

TEST(WavReader, ShortTextBodiesLeaveTheRestZero) {
  RiffBuilder b = wavHead();
  b.chunk("cue", RiffBuilder::cueBody({{1, 0}}));
  RiffBuilder shortLtxt;
  shortLtxt.u32(1).u32(6);  // no purpose field at all
  append(b, listOf("adtl", {sub("ltxt", shortLtxt.bytes)}));
  const Loaded l = load(b.closeRiff().bytes);
  ASSERT_EQ(l.doc->cueCount(), 1);
  EXPECT_EQ(l.doc->cues[0].length, 6);
  EXPECT_EQ(l.doc->cues[0].purpose, "rgn");
}

TEST(WavReader, TruncatedDataYieldsOnlyTheBytesThere) {
  RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(2, 16, 8000));
  b.chunkWithSize("data", 1000000, std::vector<std::uint8_t>(10, 3));
  const Loaded l = load(b.closeRiff().bytes);
  ASSERT_EQ(l.outcome.status, WavLoadStatus::Loaded);
  EXPECT_EQ(l.doc->dataBytes, 10);
  EXPECT_EQ(l.doc->frameCount, 2);
}

TEST(WavReader, HugeCueCountsCostOnlyWhatTheFileHolds) {
  const std::uint32_t count = 50'000'000;
  RiffBuilder b = wavHead();
  b.code("cue").u32(count * 24 + 4).u32(count).u32(1).u32(0).code("data").u32(0).u32(0).u32(3);
  const Loaded l = load(b.closeRiff().bytes);
  EXPECT_EQ(l.outcome.status, WavLoadStatus::Loaded);
  EXPECT_LE(l.doc->cues.capacity(), 1u);
  EXPECT_EQ(l.doc->cueCount(), 0);  // no LIST follows
}

TEST(WavReader, OddDataSizeIsFollowedDirectlyByTheCues) {
  RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt", RiffBuilder::fmtBody(1, 8, 8000));
  b.chunk("data", {1, 2, 3});  // odd, no pad byte
  b.chunk("cue", RiffBuilder::cueBody({{1, 2}}));
  append(b, listOf("adtl", {sub("labl", RiffBuilder::textBody(1, "end"))}));
  const Loaded l = load(b.closeRiff().bytes);
  ASSERT_EQ(l.doc->cueCount(), 1);
  EXPECT_EQ(l.doc->cues[0].label, "end");
}

TEST(WavReader, ReadsFromFiles) {
  const std::string path = test::writeTempFile("f.wav", test::simpleWav(2, 16, 22050, 400));
  auto stream = ByteStream::openFile(path);
  ASSERT_TRUE(stream.has_value());
  AudioDocument doc;
  EXPECT_EQ(loadWav(*stream, doc, path).status, WavLoadStatus::Loaded);
  EXPECT_EQ(doc.frameCount, 100);
  EXPECT_EQ(doc.samples[399], static_cast<std::uint8_t>(399 * 7));
  EXPECT_FALSE(ByteStream::openFile(test::tempDir()).has_value());  // a directory
  EXPECT_FALSE(ByteStream::openFile(test::tempDir() + "/missing.wav").has_value());
}

}  // namespace
}  // namespace voxloom
