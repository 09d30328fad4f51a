#include "core/listen/utterance_cutter.h"

#include <gtest/gtest.h>

#include <random>

#include "core/listen/word_list.h"

namespace voxloom {
namespace {

// Loud noise with silent stretches [from, to) in it.
std::vector<std::int16_t> noiseWithGaps(std::size_t length,
                                        std::vector<std::pair<std::size_t, std::size_t>> gaps) {
  std::mt19937 rng(7);
  std::vector<std::int16_t> s(length);
  for (auto& x : s) x = static_cast<std::int16_t>(static_cast<int>(rng() % 20001) - 10000);
  for (const auto& [from, to] : gaps) std::fill(s.begin() + from, s.begin() + to, 0);
  return s;
}

TEST(UtteranceCutter, CutsInTheFirstSilenceBetweenTheBounds) {
  struct Case {
    const char* name;
    std::vector<std::int16_t> samples;
    std::vector<std::size_t> starts;  // of the pieces, give or take 60 samples
  } cases[] = {
      {"short: one piece at the end", noiseWithGaps(2500, {}), {0}},
      {"nothing: no piece", {}, {}},
      {"a gap inside the bounds", noiseWithGaps(4000, {{1800, 2000}}), {0, 1850}},
      // Before the lower bound a gap is no reason to cut: utterances stay long enough.
      {"a gap too early", noiseWithGaps(4000, {{300, 500}, {2400, 2600}}), {0, 2450}},
      {"two gaps", noiseWithGaps(5000, {{1200, 1300}, {2500, 2600}}), {0, 1250, 2550}},
  };
  for (const Case& c : cases) {
    for (const std::size_t block : {1u, 333u, 10000u}) {
      UtteranceCutter cutter({1000, 3000, 40});
      std::vector<std::size_t> starts;
      std::size_t end = 0;
      const auto emit = [&](std::span<const std::int16_t> s, std::int64_t start) {
        EXPECT_EQ(static_cast<std::size_t>(start), end) << c.name << ": no gap, no overlap";
        starts.push_back(static_cast<std::size_t>(start));
        end = static_cast<std::size_t>(start) + s.size();
      };
      for (std::size_t at = 0; at < c.samples.size(); at += block)
        cutter.push(std::span(c.samples).subspan(at, std::min(block, c.samples.size() - at)), emit);
      cutter.finish(emit);
      EXPECT_EQ(end, c.samples.size()) << c.name;
      ASSERT_EQ(starts.size(), c.starts.size()) << c.name << ", blocks of " << block;
      for (std::size_t i = 0; i < starts.size(); ++i)
        EXPECT_NEAR(double(starts[i]), double(c.starts[i]), 60) << c.name << " piece " << i;
    }
  }
}

TEST(WordList, ReadsOnePhraseALineAndCleansTokens) {
  const std::pair<const char*, std::vector<std::string>> lists[] = {
      {"", {}},
      {"\xEF\xBB\xBFHello\r\nWorld\r\n", {"hello", "world"}},
      {"\n\n  mister   John\tDashwood  \n\n", {"mister john dashwood"}},
      {"ghost\nGhost\nghost \nlast", {"ghost", "last"}},
      {"# names\n  #x\nmary # jo", {"mary # jo"}},  // a comment line starts with '#'
  };
  for (const auto& [text, phrases] : lists) EXPECT_EQ(parseWordList(text), phrases) << text;
  const std::pair<const char*, const char*> tokens[] = {
      {"<s>", ""},          {"</s>", ""},
      {"<sil>", ""},        {"[NOISE]", ""},
      {"++BREATH++", ""},   {"read(2)", "read"},
      {"word(12)", "word"}, {"r(a)b", "r(a)b"},
      {"(2)", "(2)"},       {"amiable ", "amiable"},
  };
  for (const auto& [token, word] : tokens) EXPECT_EQ(spokenWord(token), word) << token;
}

}  // namespace
}  // namespace voxloom
