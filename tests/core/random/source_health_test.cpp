#include "core/random/source_health.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "core/random/health/entropy_claims.h"
#include "core/random/random_sources.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

TEST(SourceHealth, CutoffsMatchThePublishedTables) {
  struct Case {
    double h;
    int window;
    int proportion;
    int repetition;
  };
  const Case cases[] = {
      {1, 512, 311, 21}, {2, 512, 177, 11}, {4, 512, 62, 6}, {8, 512, 13, 4}, {0.5, 1024, 0, 41},
  };
  for (const Case& c : cases) {
    if (c.proportion != 0) {
      EXPECT_EQ(proportionCutoff(c.window, c.h), c.proportion) << c.h;
    }
    EXPECT_EQ(repetitionCutoff(c.h), c.repetition) << c.h;
  }
}

// One value a draw from the sound card claim (H = 2: repetition 11, proportion 177 of 512).
struct Pattern {
  const char* name;
  std::function<std::uint32_t(int)> value;  // by index from 0
  int values;
  std::vector<std::int64_t> firstFailures;  // draw numbers, repetition ones first if both
  std::int64_t failures;
  HealthState end;
};

TEST(SourceHealth, PatternsFailAtTheRightDraws) {
  std::mt19937 good(7);
  std::vector<std::uint32_t> noise(4000);
  for (auto& v : noise) v = good() & 0xFFFF;
  const std::vector<Pattern> cases = {
      // The 11th equal value fails repetition, then every 10 more; the 177th proportion.
      {"constant",
       [](int) { return 5u; },
       200,
       {11, 21, 31},
       19 + 1,
       HealthState::FailingRepetition},
      // 256 zeros in each window: the 177th is value 353.
      {"alternating",
       [](int i) { return std::uint32_t(i & 1); },
       1024,
       {353, 865},
       2,
       HealthState::FailingProportion},
      // 128 of each in a window: below the cut-off.
      {"4-cycle", [](int i) { return std::uint32_t(i & 3); }, 2048, {}, 0, HealthState::Ok},
      {"counting", [](int i) { return std::uint32_t(i); }, 2048, {}, 0, HealthState::Ok},
      {"good", [&](int i) { return noise[std::size_t(i)]; }, 4000, {}, 0, HealthState::Ok},
      // Stuck at draws 1001..1050; the window of draws 1025..1536 still holds failures,
      // the next one passes.
      {"good, stuck, good",
       [&](int i) { return i >= 1000 && i < 1050 ? 7u : noise[std::size_t(i)]; },
       4000,
       {1011, 1021, 1031, 1041},
       4,
       HealthState::Ok},
  };
  for (const Pattern& p : cases) {
    SCOPED_TRACE(p.name);
    SourceHealth h;
    h.start(RandomSourceKind::SoundCard);
    for (int i = 0; i < p.values; ++i) {
      h.noteValue(p.value(i));
      h.endDraw();
      if (i == 510) {
        EXPECT_NE(h.state(), HealthState::Ok);  // no full window yet
      }
    }
    EXPECT_EQ(h.failureCount(), p.failures);
    ASSERT_GE(h.failures().size(), p.firstFailures.size());
    for (std::size_t i = 0; i < p.firstFailures.size(); ++i)
      EXPECT_EQ(h.failures()[i].draw, p.firstFailures[i]) << i;
    EXPECT_EQ(h.state(), p.end) << healthStateText(h.state());
  }
}

TEST(SourceHealth, StateFollowsTheWindowsAndFailuresAreCapped) {
  SourceHealth h;
  h.start(RandomSourceKind::SoundCard);
  for (int i = 0; i < 511; ++i) h.noteValue(std::uint32_t(i));
  EXPECT_EQ(h.state(), HealthState::WarmingUp);
  h.noteValue(511);
  EXPECT_EQ(h.state(), HealthState::Ok);
  for (int i = 0; i < 11; ++i) h.noteValue(9);
  EXPECT_EQ(h.state(), HealthState::FailingRepetition);
  for (int i = 0; i < 100000; ++i) h.noteValue(9);
  EXPECT_EQ(h.failures().size(), SourceHealth::kKeptFailures);
  EXPECT_GT(h.failureCount(), 10000);
  h.start(RandomSourceKind::SoundCard);
  EXPECT_EQ(h.failureCount(), 0);
  EXPECT_TRUE(h.failures().empty());
  EXPECT_EQ(h.state(), HealthState::WarmingUp);
}

TEST(SourceHealth, BitsAreTestedMostSignificantFirst) {
  SourceHealth h;
  h.start(RandomSourceKind::ParallelPort);  // H = 0.5 a bit: 41 equal bits fail
  h.noteBits(0x80000000u, 32);              // a one, then 31 zeros
  h.endDraw();
  EXPECT_EQ(h.failureCount(), 0);
  h.noteBits(0, 32);  // the 41st zero in a row is the 10th bit of draw 2
  h.endDraw();
  ASSERT_EQ(h.failureCount(), 1);
  EXPECT_EQ(h.failures()[0].draw, 2);
  EXPECT_TRUE(h.failures()[0].repetition);
}

TEST(SourceHealth, FailuresAreNotedInTheRandomLog) {
  const std::string numbers = test::tempDir() + "/health_constant.txt";
  const std::string logPath = test::tempDir() + "/health_log.txt";
  std::ofstream(numbers) << "5\n";
  test::ScriptedPrompter prompter;
  StopRequest stop;
  NoPlayback noPlayback;
  RandomSources sources(stop, prompter, noPlayback);
  ASSERT_EQ(sources.selectRandomSource(RandomSourceKind::RandomFile, numbers, "", false),
            SelectOutcome::Selected);
  sources.log.logEnabled = true;
  sources.log.logStartNew = true;
  sources.log.logFileName = logPath;
  ASSERT_TRUE(sources.log.openRandomLog(prompter));
  for (int i = 0; i < 22; ++i) sources.drawRandom(10);
  ASSERT_TRUE(sources.log.closeRandomLog());
  const auto bytes = test::readWholeFile(logPath);
  const std::string text(bytes.begin(), bytes.end());
  // H = 1 for a file: the 21st equal value fails.
  std::string expected;
  for (int i = 1; i <= 22; ++i) {
    expected += "5\n";
    if (i == 21) expected += "; health test failed: repetition at draw 21\n";
  }
  EXPECT_EQ(text, expected);
}

}  // namespace
}  // namespace voxloom
