#include "core/listen/wav_stream_source.h"

#include <gtest/gtest.h>

#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

using test::RiffBuilder;

std::vector<std::uint8_t> wavOf(int channels, int bits, const std::vector<std::uint8_t>& data,
                                int rate = 8000) {
  RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt ", RiffBuilder::fmtBody(channels, bits, rate));
  b.chunk("data", data);
  return b.closeRiff().bytes;
}

std::unique_ptr<WavStreamSource> sourceOf(const std::vector<std::uint8_t>& bytes,
                                          std::string& error) {
  return WavStreamSource::fromStream(ByteStream::fromMemory(bytes), "x.wav", error);
}

// Every sample, read `block` frames at a time.
std::vector<std::int16_t> readAll(PcmSource& source, std::size_t block) {
  std::vector<std::int16_t> all;
  std::vector<std::int16_t> buffer(block * static_cast<std::size_t>(source.channels()));
  for (std::size_t n; (n = source.read(buffer.data(), block)) > 0;)
    all.insert(all.end(), buffer.begin(), buffer.begin() + n * source.channels());
  return all;
}

TEST(WavStreamSource, ReadsSamplesOfEveryStandardLayout) {
  RiffBuilder claimsMore;  // a data size beyond the file: what is there is read
  claimsMore.code("RIFF").u32(0).code("WAVE").chunk("fmt ", RiffBuilder::fmtBody(1, 16, 8000));
  claimsMore.chunkWithSize("data", 1000000, {1, 0, 2, 0}).closeRiff();
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int channels;
    std::vector<std::int16_t> samples;
  } cases[] = {
      {"16-bit mono", wavOf(1, 16, {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80}), 1, {1, -1, -32768}},
      {"16-bit stereo",
       wavOf(2, 16, {0x10, 0x00, 0x20, 0x00, 0xF0, 0xFF, 0xE0, 0xFF}),
       2,
       {16, 32, -16, -32}},
      {"8-bit, offset by 128", wavOf(1, 8, {128, 0, 255}), 1, {0, -32768, 32512}},
      {"8-bit stereo", wavOf(2, 8, {129, 127}), 2, {256, -256}},
      {"no frames", wavOf(1, 16, {}), 1, {}},
      {"a half frame at the end", wavOf(1, 16, {0x05, 0x00, 0x07}), 1, {5}},
      {"data claims more", claimsMore.bytes, 1, {1, 2}},
  };
  for (const Case& c : cases) {
    for (const std::size_t block : {1u, 4096u}) {
      std::string error;
      const auto source = sourceOf(c.bytes, error);
      ASSERT_TRUE(source) << c.name << ": " << error;
      EXPECT_EQ(source->channels(), c.channels) << c.name;
      EXPECT_EQ(source->totalFrames() * c.channels, static_cast<std::int64_t>(c.samples.size()))
          << c.name;
      EXPECT_EQ(readAll(*source, block), c.samples) << c.name << ", blocks of " << block;
    }
  }
}

TEST(WavStreamSource, RefusesMalformedFilesWithAMessage) {
  const std::vector<std::uint8_t> pcm(8, 0);
  const auto withFmt = [&](std::vector<std::uint8_t> fmt) {
    RiffBuilder b;
    b.code("RIFF").u32(0).code("WAVE").chunk("fmt ", fmt).chunk("data", pcm);
    return b.closeRiff().bytes;
  };
  auto badAlign = RiffBuilder::fmtBody(2, 16, 8000);
  badAlign[12] = 2;  // block align of a mono file
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* says;
  } cases[] = {
      {"empty", {}, "'RIFF'"},
      {"no fmt",
       RiffBuilder().code("RIFF").u32(0).code("WAVE").chunk("data", pcm).closeRiff().bytes,
       "'fmt'"},
      {"no data",
       RiffBuilder()
           .code("RIFF")
           .u32(0)
           .code("WAVE")
           .chunk("fmt ", RiffBuilder::fmtBody(1, 16, 8000))
           .closeRiff()
           .bytes,
       "'data'"},
      {"float", withFmt(RiffBuilder::fmtBody(1, 32, 8000, 3)), "not a standard PCM"},
      {"rate 0", withFmt(RiffBuilder::fmtBody(1, 16, 0)), "not a standard PCM"},
      {"block align askew", withFmt(badAlign), "not a standard PCM"},
      {"fmt cut short", withFmt({1, 0, 1, 0}), "not a standard PCM"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(sourceOf(c.bytes, error)) << c.name;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
    EXPECT_NE(error.find("x.wav"), std::string::npos) << c.name << ": " << error;
  }
}

}  // namespace
}  // namespace voxloom
