#include "core/study/study_plan.h"

#include <gtest/gtest.h>

#include <set>

#include "core/study/study_runner.h"
#include "tests/support/fake_speech_listener.h"

namespace voxloom {
namespace {

TEST(StudyShard, ParsesIndexOverCount) {
  struct Case {
    const char* text;
    std::optional<StudyShard> shard;
  };
  const Case cases[] = {
      {"0/1", StudyShard{0, 1}}, {"2/3", StudyShard{2, 3}}, {"3/3", std::nullopt},
      {"-1/2", std::nullopt},    {"1/0", std::nullopt},     {"1", std::nullopt},
      {"a/2", std::nullopt},     {"1/2x", std::nullopt},    {"/2", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseStudyShard(c.text), c.shard) << c.text;
}

TEST(StudyPlan, EveryRunAndArmHasItsOwnSeedUnlessTheControlSharesIt) {
  StudyPlan plan{50, 9, {}, false};
  std::set<std::uint32_t> seen;
  for (int run = 0; run < plan.runs; ++run)
    for (StudyArm arm : {StudyArm::Evp, StudyArm::Control}) seen.insert(plan.seedOf(run, arm));
  EXPECT_EQ(seen.size(), 100u);
  const StudyPlan other{50, 10, {1, 4}, false};
  EXPECT_NE(other.seedOf(3, StudyArm::Evp), plan.seedOf(3, StudyArm::Evp));
  StudyPlan sharded = plan;
  sharded.shard = {1, 4};
  EXPECT_EQ(sharded.seedOf(5, StudyArm::Control), plan.seedOf(5, StudyArm::Control));
  EXPECT_EQ(sharded.shardRuns(),
            (std::vector<int>{1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 45, 49}));
  plan.controlSharesSeed = true;
  EXPECT_EQ(plan.seedOf(7, StudyArm::Control), plan.seedOf(7, StudyArm::Evp));
}

RunRecord record(int run, StudyArm arm, int words, std::int64_t seconds) {
  RunRecord r;
  r.run = run;
  r.arm = arm;
  r.rate = 8000;
  r.frames = seconds * 8000;
  for (int i = 0; i < words; ++i)
    r.words.push_back({"w\"" + std::to_string(i), i * 1.0, i + 0.5, 0.25});
  return r;
}

TEST(StudySummary, FromHandCountedRuns) {
  // EVP 2 and 4 words a minute, control 0 and 1; U = 4 of 4, exact p = 2 * 1/6.
  const std::vector<RunRecord> records = {
      record(1, StudyArm::Control, 1, 60), record(0, StudyArm::Evp, 1, 30),
      record(1, StudyArm::Evp, 4, 60), record(0, StudyArm::Control, 0, 60)};
  const std::string json = studySummaryJson(summarizeStudy(records, 1));
  const std::string head =
      "{\"evp\":{\"runs\":2,\"mean_wpm\":3.000000,\"median_wpm\":3.000000,\"words\":5},"
      "\"control\":{\"runs\":2,\"mean_wpm\":0.500000,\"median_wpm\":0.500000,\"words\":1},"
      "\"difference\":2.500000,\"ci95\":[";
  EXPECT_EQ(json.substr(0, head.size()), head);
  EXPECT_NE(json.find("],\"p_value\":0.333333,\"exact_test\":true}"), std::string::npos) << json;

  // Arms far apart: 21 runs each, no ties (the p-value of the statistics table).
  std::vector<RunRecord> apart;
  for (int run = 0; run < 21; ++run) {
    apart.push_back(record(run, StudyArm::Evp, run, 60));
    apart.push_back(record(run, StudyArm::Control, run + 21, 60));
  }
  const std::string tiny = studySummaryJson(summarizeStudy(apart, 1));
  EXPECT_NE(tiny.find("\"p_value\":3.1254e-08,"), std::string::npos) << tiny;
}

// A sound that follows from its seed, and a control played backwards as the study's
// reversed control plays it.
RunSound seededSound(StudyArm arm, int, std::uint32_t seed) {
  RunSound s;
  s.rate = 8000;
  SplitMix64 g(seed);
  s.samples.resize(8000 * 3);
  for (auto& v : s.samples) v = static_cast<std::int16_t>(g.next());
  if (arm == StudyArm::Control) {
    const std::int64_t blocks[] = {8000, 8000, 8000};
    reverseEachBlock(s.samples, 1, blocks);
  }
  return s;
}

std::string linesOf(const std::vector<RunRecord>& records) {
  std::string out;
  for (const RunRecord& r : records) out += runRecordJson(r) + '\n';
  return out;
}

TEST(StudyRunner, SameRecordsWhateverTheThreadsAndShards) {
  test::FakeSpeechListenerFactory factory;
  const StudyPlan whole{9, 77, {}, true};
  const StudyRunResult one = runStudy(whole, seededSound, factory, 1);
  ASSERT_EQ(one.error, "");
  ASSERT_EQ(one.records.size(), 18u);
  std::int64_t words = 0;
  for (const RunRecord& r : one.records) words += static_cast<std::int64_t>(r.words.size());
  EXPECT_GT(words, 0);  // otherwise the comparisons below prove nothing
  for (int jobs : {2, 5, 64}) {
    EXPECT_EQ(linesOf(runStudy(whole, seededSound, factory, jobs).records), linesOf(one.records))
        << jobs << " threads";
  }

  std::vector<ShardOutput> shards;
  for (int i : {2, 0, 1}) {
    StudyPlan part = whole;
    part.shard = {i, 3};
    const StudyRunResult r = runStudy(part, seededSound, factory, 2);
    ASSERT_EQ(r.error, "");
    shards.push_back(
        {"s" + std::to_string(i), {{"in.wav"}, whole.runs, whole.seed, part.shard}, r.records});
  }
  const MergedStudy merged = mergeStudyShards(shards);
  ASSERT_EQ(merged.error, "");
  EXPECT_EQ(linesOf(merged.records), linesOf(one.records));
  EXPECT_EQ(studySummaryJson(summarizeStudy(merged.records, merged.header.seed)),
            studySummaryJson(summarizeStudy(one.records, whole.seed)));
}

}  // namespace
}  // namespace voxloom
