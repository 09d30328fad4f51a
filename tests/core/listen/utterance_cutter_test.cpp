#include "core/listen/utterance_cutter.h"

#include <gtest/gtest.h>

#include <random>

#include "core/listen/word_list.h"

namespace voxloom {
namespace {

struct Piece {
  std::size_t length;
  std::int64_t start;
};

// Loud noise with silent stretches [from, to) in it.
std::vector<std::int16_t> noiseWithGaps(
    std::size_t length, const std::vector<std::pair<std::size_t, std::size_t>>& gaps) {
  std::mt19937 rng(7);
  std::vector<std::int16_t> s(length);
  for (auto& x : s) x = static_cast<std::int16_t>(static_cast<int>(rng() % 20001) - 10000);
  for (const auto& [from, to] : gaps)
    for (std::size_t i = from; i < to; ++i) s[i] = 0;
  return s;
}

std::vector<Piece> cut(const std::vector<std::int16_t>& samples, std::size_t block,
                       const UtteranceCutOptions& options) {
  std::vector<Piece> pieces;
  UtteranceCutter cutter(options);
  const auto emit = [&](std::span<const std::int16_t> s, std::int64_t start) {
    pieces.push_back({s.size(), start});
  };
  for (std::size_t at = 0; at < samples.size(); at += block)
    cutter.push(std::span(samples).subspan(at, std::min(block, samples.size() - at)), emit);
  cutter.finish(emit);
  return pieces;
}

TEST(UtteranceCutter, CutsInTheQuietBetweenTheBounds) {
  const UtteranceCutOptions options{1000, 3000, 40};
  struct Case {
    const char* name;
    std::vector<std::int16_t> samples;
    std::vector<Piece> expected;  // lengths only checked within `tolerance`
    std::size_t tolerance;
  } cases[] = {
      {"short: one piece at the end", noiseWithGaps(2500, {}), {{2500, 0}}, 0},
      {"nothing: no piece", {}, {}, 0},
      {"a gap inside the bounds",
       noiseWithGaps(4000, {{1800, 2000}}),
       {{1900, 0}, {2100, 1900}},
       100},
      // Before the lower bound a gap is no reason to cut: utterances stay long enough.
      {"a gap too early",
       noiseWithGaps(4000, {{300, 500}, {2400, 2600}}),
       {{2500, 0}, {1500, 2500}},
       100},
      {"two gaps: the first of equal ones",
       noiseWithGaps(5000, {{1200, 1300}, {2500, 2600}}),
       {{1250, 0}, {1300, 1250}, {2450, 2550}},
       60},
  };
  for (const Case& c : cases) {
    for (const std::size_t block : {1u, 333u, 10000u}) {
      const auto pieces = cut(c.samples, block, options);
      ASSERT_EQ(pieces.size(), c.expected.size()) << c.name << ", blocks of " << block;
      for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(pieces[i].length),
                    static_cast<double>(c.expected[i].length), static_cast<double>(c.tolerance))
            << c.name << " piece " << i;
        EXPECT_NEAR(static_cast<double>(pieces[i].start), static_cast<double>(c.expected[i].start),
                    static_cast<double>(c.tolerance))
            << c.name << " piece " << i;
      }
    }
  }
}

// An hour at 16 kHz goes through in pieces that follow each other without gap or
// overlap, none longer than the upper bound, and never more is held than that.
TEST(UtteranceCutter, AnHourIsHeldAtMostOneUtteranceAtATime) {
  const UtteranceCutOptions options;
  UtteranceCutter cutter(options);
  std::int64_t next = 0;
  std::size_t longest = 0;
  const auto emit = [&](std::span<const std::int16_t> s, std::int64_t start) {
    EXPECT_EQ(start, next);
    next = start + static_cast<std::int64_t>(s.size());
    longest = std::max(longest, s.size());
  };
  const std::vector<std::int16_t> second = noiseWithGaps(16000, {{7000, 7400}});
  for (int i = 0; i < 3600; ++i) cutter.push(second, emit);
  cutter.finish(emit);
  EXPECT_EQ(next, 3600 * 16000);
  EXPECT_LE(longest, options.maxSamples);
  EXPECT_LE(cutter.peakHeld(), options.maxSamples);
}

TEST(WordList, ReadsOnePhraseALine) {
  struct Case {
    const char* text;
    std::vector<std::string> phrases;
  } cases[] = {
      {"", {}},
      {"\xEF\xBB\xBFHello\r\nWorld\r\n", {"hello", "world"}},
      {"\n\n  mister   John\tDashwood  \n\n", {"mister john dashwood"}},
      {"ghost\nGhost\nghost \n", {"ghost"}},
      {"last line without end", {"last line without end"}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseWordList(c.text), c.phrases) << c.text;
}

TEST(WordList, SpokenWordDropsFillersAndPronunciationMarks) {
  struct Case {
    const char* token;
    const char* word;
  } cases[] = {
      {"<s>", ""},
      {"</s>", ""},
      {"<sil>", ""},
      {"[NOISE]", ""},
      {"++BREATH++", ""},
      {"read(2)", "read"},
      {"word(12)", "word"},
      {"r(a)b", "r(a)b"},
      {"(2)", "(2)"},
      {"amiable ", "amiable"},
      {"mister john", "mister john"},
  };
  for (const Case& c : cases) EXPECT_EQ(spokenWord(c.token), c.word) << c.token;
}

}  // namespace
}  // namespace voxloom
