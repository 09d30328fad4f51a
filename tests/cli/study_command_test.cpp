#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/ports/speech_listener.h"
#include "core/study/study_plan.h"
#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::runCli;

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";
const std::string kNotBuilt = std::string("voxloom-cli: ") + kListenerNotBuiltText + "\n";

// A folder of this test's own with nothing at it yet; runs before may have left one.
std::string freshFolder(const std::string& name) {
  const std::string path = test::tempDir() + "/cli_study_" + name;
  std::filesystem::remove_all(path);
  return path;
}

TEST(CliStudy, WrongUsageIsRefusedBeforeAnything) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const std::string plot = test::freshTempPath("cli_study_usage.svg");
  const std::vector<Case> cases = {
      {{"study", "--runs", "2", "--control", "reversed"}, "study takes one input WAV file"},
      {{"study", kDemo, "--control", "reversed"}, "study needs --runs N"},
      {{"study", kDemo, "--runs", "0", "--control", "reversed"}, "--runs needs a whole number"},
      {{"study", kDemo, "--runs", "2"}, "study needs --control"},
      {{"study", kDemo, "--runs", "2", "--control", "forward"}, "unknown control 'forward'"},
      {{"study", kDemo, "--runs", "2", "--control", "source:nope"}, "unknown random source"},
      {{"study", kDemo, "--runs", "2", "--control", "reversed", "--shard", "2/2"}, "--shard needs"},
      {{"study", kDemo, "--runs", "2", "--control", "reversed", "--jobs", "0"}, "--jobs needs"},
      {{"study", kDemo, "--runs", "2", "--control", "reversed", "--bogus"},
       "unknown option --bogus"},
      {{"study", kDemo, "--runs", "2", "--control", "reversed", "--plot", kDemo},
       "the plot and the input are the same file"},
      {{"study", "--merge"}, "needs the folders of the shards"},
      {{"study", "--merge", "a", "--runs", "3"}, "takes only folders, --out and --plot"},
      {{"study", "--merge", "a", "--shard", "0/2"}, "takes only folders, --out and --plot"},
  };
  for (const Case& c : cases) {
    const auto r = runCli(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(plot));
}

TEST(CliStudy, WithoutTheListenerSaysSoAndWritesNothing) {
  if (VOXLOOM_LISTENER_BUILT) GTEST_SKIP() << "this build has a machine listener";
  const std::string out = freshFolder("study_unbuilt");
  const auto r = runCli({"study", kDemo, "--runs", "2", "--control", "reversed", "--out", out});
  EXPECT_EQ(r.err, kNotBuilt);
  EXPECT_FALSE(std::filesystem::exists(out));
}

// A folder as a shard of a study leaves it, with runs that heard `words` words each.
std::string shardFolder(const std::string& name, StudyHeader header,
                        const std::vector<std::pair<int, int>>& runsAndWords) {
  const std::string dir = freshFolder(name);
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/study.json") << studyHeaderJson(header) << '\n';
  std::ofstream runs(dir + "/runs.jsonl");
  for (const auto& [run, words] : runsAndWords) {
    for (StudyArm arm : {StudyArm::Evp, StudyArm::Control}) {
      RunRecord r;
      r.run = run;
      r.arm = arm;
      r.rate = 16000;
      r.frames = 16000 * 15 + run;
      for (int i = 0; i < words + (arm == StudyArm::Evp ? run : 0); ++i)
        r.words.push_back({"word", i * 0.5, i * 0.5 + 0.25, 0.5});
      runs << runRecordJson(r) << '\n';
    }
  }
  return dir;
}

TEST(CliStudy, MergedShardsGiveTheWholeStudysSummaryAndRefuseOthers) {
  const StudyHeader whole{{"in.wav", "--runs", "4", "--control", "reversed"}, 4, 3, {0, 1}};
  StudyHeader half0 = whole;
  half0.shard = {0, 2};
  StudyHeader half1 = whole;
  half1.shard = {1, 2};
  const std::string all = shardFolder("whole", whole, {{0, 1}, {1, 2}, {2, 3}, {3, 1}});
  const std::string s0 = shardFolder("s0", half0, {{0, 1}, {2, 3}});
  const std::string s1 = shardFolder("s1", half1, {{1, 2}, {3, 1}});

  const auto expected = runCli({"study", "--merge", all});
  ASSERT_EQ(expected.exitCode, 0) << expected.err;
  EXPECT_EQ(expected.out.rfind("{\"evp\":{\"runs\":4,", 0), 0u) << expected.out;
  const std::string out = freshFolder("merged");
  const std::string plot = test::freshTempPath("cli_study_merged.svg");
  const auto merged = runCli({"study", "--merge", s1, s0, "--out", out, "--plot", plot});
  ASSERT_EQ(merged.exitCode, 0) << merged.err;
  EXPECT_EQ(merged.out, expected.out);
  EXPECT_EQ(test::readBytes(out + "/summary.json"), expected.out);
  EXPECT_EQ(test::readBytes(out + "/runs.jsonl"), test::readBytes(all + "/runs.jsonl"));
  EXPECT_EQ(test::readBytes(out + "/study.json"), test::readBytes(all + "/study.json"));
  // The plot is drawn (not written by hand) and the same every time.
  const std::string svg = test::readBytes(plot);
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("control: reversed"), std::string::npos);
  ASSERT_EQ(runCli({"study", "--merge", s0, s1, "--plot", plot}).exitCode, 0);
  EXPECT_EQ(test::readBytes(plot), svg);

  StudyHeader otherSeed = half1;
  otherSeed.seed = 4;
  StudyHeader otherControl = half1;
  otherControl.options.back() = "source:fractal";
  const std::string broken = shardFolder("broken", half1, {});
  std::ofstream(broken + "/runs.jsonl") << "{\"run\":1}\n";
  struct Case {
    std::vector<std::string> folders;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{s0}, "Run 1 (evp) is missing"},
      {{s0, s1, s1}, "run 1 (evp) is in both '" + s1 + "' and '" + s1 + "'"},
      {{s0, shardFolder("seed", otherSeed, {{1, 2}, {3, 1}})}, "is not a shard of the study in"},
      {{s0, shardFolder("ctl", otherControl, {{1, 2}, {3, 1}})}, "is not a shard of the study in"},
      {{s0, shardFolder("stray", half1, {{1, 2}, {2, 3}})}, "which is not part of its shard 1/2"},
      {{s0, broken}, "Line 1 of '" + broken + "/runs.jsonl' is not a run of a study."},
      {{s0, freshFolder("nothing")}, "is not the description of a study"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"study", "--merge"};
    args.insert(args.end(), c.folders.begin(), c.folders.end());
    const auto r = runCli(args);
    EXPECT_EQ(r.exitCode, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(CliStudy, SameSummaryWhateverTheThreadsAndShards) {
  if (!VOXLOOM_LISTENER_BUILT) GTEST_SKIP() << "this build has no machine listener";
  const std::vector<std::string> study = {"study",    kDemo,       "--runs", "3",      "--control",
                                          "reversed", "--seconds", "3",      "--seed", "11"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = study;
    args.insert(args.end(), more.begin(), more.end());
    return runCli(args);
  };
  const auto one = with({"--jobs", "1"});
  ASSERT_EQ(one.exitCode, 0) << one.err;
  EXPECT_EQ(with({"--jobs", "3"}).out, one.out);
  const std::string s0 = freshFolder("real_s0");
  const std::string s1 = freshFolder("real_s1");
  ASSERT_EQ(with({"--shard", "0/2", "--out", s0}).exitCode, 0);
  ASSERT_EQ(with({"--shard", "1/2", "--out", s1, "--jobs", "2"}).exitCode, 0);
  EXPECT_EQ(runCli({"study", "--merge", s0, s1}).out, one.out);
}

}  // namespace
}  // namespace voxloom
