#include "core/engine/cross_fade.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/engine/cross_fade_renderer.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

constexpr int kLinear = static_cast<int>(FadeMode::Linear);
constexpr int kSine = static_cast<int>(FadeMode::Sine);
constexpr int kSineHalf = static_cast<int>(FadeMode::SineHalfWave);
constexpr int kTrapezoid50 = static_cast<int>(FadeMode::Trapezoid50);

void expectGains(int mode, double t, double in, double out) {
  const FadeGains g = fadeGains(mode, t);
  EXPECT_DOUBLE_EQ(g.gainIn, in) << "mode " << mode << " t " << t;
  EXPECT_DOUBLE_EQ(g.gainOut, out) << "mode " << mode << " t " << t;
}

TEST(FadeGainsTest, ShapesUseTheirOwnConstants) {
  expectGains(kLinear, 0, 0, 1);
  expectGains(kLinear, 1, 1, 0);
  expectGains(kLinear, 0.5, 0.5, 0.5);
  expectGains(12, 0.25, 0.25, 0.75);  // unknown modes fade like Linear
  expectGains(-1, 0.25, 0.25, 0.75);

  EXPECT_DOUBLE_EQ(fadeGains(kSine, 0).gainOut, 0.9999999999966269);
  EXPECT_DOUBLE_EQ(fadeGains(kSine, 1).gainIn, 0.9999999999966269);
  expectGains(kSine, 0.5, 0.5, 0.4999963267948967);
  expectGains(kSineHalf, 0.5, 0.7071080798594735, 0.7071028851534585);
  EXPECT_NEAR(fadeGains(kSineHalf, 1).gainOut, -0.0000073464, 1e-10);

  expectGains(static_cast<int>(FadeMode::Trapezoid10), 0.05, 0.5, 0.5);
  expectGains(static_cast<int>(FadeMode::Trapezoid10), 0.5, 1, 0);
  expectGains(static_cast<int>(FadeMode::Trapezoid90), 0.9, 1, 0);
  expectGains(static_cast<int>(FadeMode::Trapezoid90), 0.45, 0.5, 0.5);
  ASSERT_EQ(kFadeMenuItems.size(), 12u);
  EXPECT_STREQ(kFadeMenuItems[5].caption, "Trapezoid &30%");
}

class RendererTest : public ::testing::Test {
 protected:
  // Renders and returns the block's samples, channels interleaved.
  std::vector<int> render(Frames start, Frames length, int slot = 0) {
    Frames s = start;
    const std::uint8_t* block = renderCrossFade(state, doc, slot, s, length);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(block, state.renderBuffers[static_cast<std::size_t>(slot)].get());
    std::vector<int> out;
    for (Frames i = 0; i < length; ++i) {
      for (int c = 0; c < doc.format.channels; ++c) {
        out.push_back(doc.sampleAt(block + c * (doc.frameBytes / 2), i));
      }
    }
    return out;
  }

  AudioDocument doc;
  RendererState state;
};

TEST_F(RendererTest, FirstBlockFadesInThenTheContinuationFadesOut) {
  test::makeConstantSignal(doc, 100, 32767);
  EXPECT_EQ(render(10, 3), (std::vector<int>{0, 16383, 32767}));
  EXPECT_EQ(state.prevEnd, 13);

  // Sine at t = 0: the continuation (frames 13..) contributes 32767 * 0.99999999999 -> 32766.
  state.fadeMode = kSine;
  const std::vector<int> second = render(50, 5);
  EXPECT_EQ(second.front(), 32766);
  EXPECT_EQ(second.back(), 32766);
  EXPECT_EQ(state.prevEnd, 55);
}

TEST_F(RendererTest, ProductsTruncateTowardZeroAndSumsSaturate) {
  test::makeConstantSignal(doc, 100, 32767);
  state.prevEnd = 20;
  EXPECT_EQ(render(0, 3)[1], 32766);  // Linear: 16383 + 16383
  state.prevEnd = 20;
  state.fadeMode = kSineHalf;
  EXPECT_EQ(render(0, 3)[1], 32767);  // about 23169 + 23169, saturated
  test::makeConstantSignal(doc, 100, -32768);
  state.prevEnd = 20;
  EXPECT_EQ(render(0, 3)[1], -32768);

  test::makeConstantSignal(doc, 100, -3);
  state.fadeMode = kLinear;
  state.prevEnd = 20;
  EXPECT_EQ(render(0, 3)[1], -2);  // -1.5 -> -1, twice; flooring would give -4

  test::makeSignal(doc, 1, 8, 8000, std::vector<int>(50, 127));
  state.fadeMode = kSineHalf;
  state.prevEnd = 20;
  EXPECT_EQ(render(0, 3)[1], 127);
}

TEST_F(RendererTest, TrapezoidFinishesWithinItsShare) {
  std::vector<int> s(400, 1000);
  std::fill(s.begin() + 200, s.end(), 2000);
  test::makeSignal(doc, 1, 16, 8000, s);
  state.fadeMode = kTrapezoid50;
  state.prevEnd = 200;
  const std::vector<int> out = render(0, 101);
  EXPECT_EQ(out[0], 2000);
  EXPECT_EQ(out[25], 500 + 1000);
  for (Frames i = 50; i <= 100; ++i) ASSERT_EQ(out[static_cast<std::size_t>(i)], 1000) << i;
}

TEST_F(RendererTest, StereoFadesBothChannelsWithTheSameGains) {
  std::vector<int> s;
  for (int f = 0; f < 20; ++f) {
    s.push_back(f * 100);
    s.push_back(-f * 100);
  }
  test::makeSignal(doc, 2, 16, 8000, s);
  state.prevEnd = 10;
  // Frame i (t = i / 4): in = frame 2 + i, out = frame 10 + i.
  const std::vector<int> out = render(2, 5);
  EXPECT_EQ(out, (std::vector<int>{1000, -1000, 900, -900, 800, -800, 700, -700, 600, -600}));
}

TEST_F(RendererTest, ReadsOutsideTheSignalAreSilence) {
  test::makeConstantSignal(doc, 10, 1000);
  state.prevEnd = 8;  // frames 8, 9 exist; 10.. do not
  EXPECT_EQ(render(0, 5), (std::vector<int>{1000, 1000, 500, 750, 1000}));
  state.prevEnd = -1;
  EXPECT_EQ(render(8, 5), (std::vector<int>{0, 250, 0, 0, 0}));
  state.prevEnd = -1;
  EXPECT_EQ(render(-2, 3), (std::vector<int>{0, 0, 1000}));
  state.prevEnd = 1000000;
  EXPECT_EQ(render(40, 3), (std::vector<int>{0, 0, 0}));
  // Near the largest frame number the ends must not wrap into the signal.
  const Frames last = std::numeric_limits<Frames>::max();
  EXPECT_EQ(render(last, 3), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(state.prevEnd, std::int64_t{last} + 3);
  EXPECT_EQ(render(2, 3), (std::vector<int>{0, 500, 1000}));  // nothing fades out
  state.prevEnd = 8;
  EXPECT_EQ(render(last - 1, 2), (std::vector<int>{1000, 0}));
  EXPECT_EQ(state.prevEnd, std::int64_t{last} + 1);
}

TEST_F(RendererTest, OneFrameAndEmptyBlocks) {
  test::makeConstantSignal(doc, 10, 1000);
  state.prevEnd = 5;
  EXPECT_EQ(render(3, 1), (std::vector<int>{1000}));  // the new segment at full level
  EXPECT_EQ(state.prevEnd, 4);
  Frames start = 7;
  EXPECT_NE(renderCrossFade(state, doc, 1, start, 0), nullptr);
  EXPECT_EQ(state.prevEnd, 7);
  EXPECT_EQ(start, 0);
}

TEST_F(RendererTest, EachSlotKeepsItsOwnBuffer) {
  test::makeConstantSignal(doc, 100, 1000);
  const std::vector<int> first = render(0, 3, 0);
  render(10, 3, 19);
  EXPECT_NE(state.renderBuffers[0].get(), state.renderBuffers[19].get());
  EXPECT_EQ(doc.sampleAt(state.renderBuffers[0].get(), 2), first[2]);
  Frames start = 5;
  const Frames before = state.prevEnd;
  EXPECT_EQ(renderCrossFade(state, doc, 20, start, 3), nullptr);
  EXPECT_EQ(renderCrossFade(state, doc, -1, start, 3), nullptr);
  EXPECT_EQ(state.prevEnd, before);
  EXPECT_EQ(start, 5);
  state.freeRenderBuffers();
  EXPECT_EQ(state.renderBuffers[19], nullptr);
}

// The renderer written out literally, one sample at a time through the document's own
// sample access: the fast paths must give exactly these bytes.
std::vector<std::uint8_t> referenceRender(const AudioDocument& doc, int mode, Frames start,
                                          Frames length, Frames prevEnd) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(length * doc.frameBytes));
  const int channels = doc.format.channels >= 2 ? 2 : 1;
  auto sample = [&](int c, Frames f) {
    return f >= 0 && f < doc.frameCount ? doc.sampleAt(doc.channelBase(c), f) : 0;
  };
  for (Frames i = 0; i < length; ++i) {
    const double t = length > 1 ? static_cast<double>(i) / static_cast<double>(length - 1) : 1.0;
    const FadeGains g = fadeGains(mode, t);
    for (int c = 0; c < channels; ++c) {
      int value = static_cast<int>(std::trunc(sample(c, start + i) * g.gainIn));
      if (prevEnd != -1) value += static_cast<int>(std::trunc(sample(c, prevEnd + i) * g.gainOut));
      doc.putSample(out.data() + (c == 0 ? 0 : doc.frameBytes / 2), i, value);
    }
  }
  return out;
}

// Full-scale noise with the extremes in it, so saturation and truncation show.
void makeNoise(AudioDocument& doc, int channels, int bits, Frames frames, unsigned seed) {
  std::mt19937 rng(seed);
  const int low = bits == 8 ? -128 : -32768;
  const int high = bits == 8 ? 127 : 32767;
  std::uniform_int_distribution<int> value(low, high);
  std::vector<int> s(static_cast<std::size_t>(frames * channels));
  for (std::size_t k = 0; k < s.size(); ++k) {
    s[k] = k % 7 == 0 ? high : k % 11 == 0 ? low : value(rng);
  }
  test::makeSignal(doc, channels, bits, 44100, s);
}

struct PathCase {
  RenderPath path;
  const char* name;
};

std::vector<PathCase> pathsToCompare() {
  std::vector<PathCase> paths{{RenderPath::Scalar, "scalar"}};
  if (fastestRenderPath() >= RenderPath::Sse2) paths.push_back({RenderPath::Sse2, "sse2"});
  if (fastestRenderPath() >= RenderPath::Avx2) paths.push_back({RenderPath::Avx2, "avx2"});
  if (fastestRenderPath() >= RenderPath::Avx512) paths.push_back({RenderPath::Avx512, "avx512"});
  return paths;
}

TEST(RendererPathsTest, EveryPathMatchesTheLiteralArithmetic) {
  constexpr Frames kSignal = 700;
  const std::vector<Frames> lengths{1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 64, 101, 257};
  for (const PathCase& path : pathsToCompare()) {
    for (const int bits : {8, 16}) {
      for (const int channels : {1, 2}) {
        AudioDocument doc;
        makeNoise(doc, channels, bits, kSignal, static_cast<unsigned>(bits * 10 + channels));
        RendererState state;
        state.path = path.path;
        for (int mode = -1; mode <= kFadeModeCount; ++mode) {
          for (const Frames length : lengths) {
            // No outgoing part; one inside; one running off the end; the new segment
            // running off the end; both partly before the signal.
            const std::vector<std::pair<Frames, Frames>> placements{
                {3, -1},
                {11, 300},
                {5, kSignal - length / 2 - 1},
                {kSignal - length / 2 - 1, 123},
                {-length / 2, -length / 3 - 1},
                {kSignal - length, kSignal + 5}};
            for (const auto& [start, prevEnd] : placements) {
              state.fadeMode = mode;
              state.prevEnd = prevEnd;
              Frames s = start;
              const std::uint8_t* block = renderCrossFade(state, doc, 0, s, length);
              const std::vector<std::uint8_t> expected =
                  referenceRender(doc, mode, start, length, prevEnd);
              ASSERT_EQ(std::memcmp(block, expected.data(), expected.size()), 0)
                  << path.name << " bits " << bits << " channels " << channels << " mode " << mode
                  << " length " << length << " start " << start << " prevEnd " << prevEnd;
              ASSERT_EQ(state.prevEnd, start + length);
            }
          }
        }
      }
    }
  }
}

TEST(RendererPathsTest, LongBlocksAndReusedGainsMatchTheLiteralArithmetic) {
  for (const PathCase& path : pathsToCompare()) {
    for (const int channels : {1, 2}) {
      AudioDocument doc;
      makeNoise(doc, channels, 16, 150000, 7);
      RendererState state;
      state.path = path.path;
      // Longer than the cached gain table, so the gains come chunk by chunk.
      for (const auto& [mode, start, length, prevEnd] :
           std::vector<std::tuple<int, Frames, Frames, Frames>>{
               {static_cast<int>(FadeMode::Sine), 10, 70001, 75000},
               {kLinear, 1000, 3528, 20},
               {kSine, 2000, 3528, 7000},  // same length, other mode: new gains
               {kSine, 9000, 3528, 5528},  // same length and mode: cached gains
               {kSineHalf, 9000, 3529, 5528}}) {
        state.fadeMode = mode;
        state.prevEnd = prevEnd;
        Frames s = start;
        const std::uint8_t* block = renderCrossFade(state, doc, 1, s, length);
        const std::vector<std::uint8_t> expected =
            referenceRender(doc, mode, start, length, prevEnd);
        ASSERT_EQ(std::memcmp(block, expected.data(), expected.size()), 0)
            << path.name << " channels " << channels << " mode " << mode << " length " << length;
      }
    }
  }
}

}  // namespace
}  // namespace voxloom
