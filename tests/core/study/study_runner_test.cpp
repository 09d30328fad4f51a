#include "core/study/study_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "tests/support/fake_speech_listener.h"

namespace voxloom {
namespace {

TEST(ReverseEachBlock, EachBlockKeepsItsSamplesBackwards) {
  struct Case {
    const char* name;
    int channels;
    std::vector<std::int64_t> blocks;
    std::vector<std::int16_t> expected;  // from samples 0, 1, 2, ...
  };
  const std::vector<Case> cases = {
      {"mono", 1, {3, 1, 4}, {2, 1, 0, 3, 7, 6, 5, 4}},
      {"stereo frames stay whole", 2, {2, 2}, {2, 3, 0, 1, 6, 7, 4, 5}},
      {"frames after the blocks stay", 1, {2, 3}, {1, 0, 4, 3, 2, 5, 6, 7}},
      {"a block past the end stops there", 1, {5, 9}, {4, 3, 2, 1, 0, 7, 6, 5}},
      {"empty blocks", 1, {0, 8, 0}, {7, 6, 5, 4, 3, 2, 1, 0}},
  };
  for (const Case& c : cases) {
    std::vector<std::int16_t> samples(8);
    std::iota(samples.begin(), samples.end(), std::int16_t{0});
    reverseEachBlock(samples, c.channels, c.blocks);
    EXPECT_EQ(samples, c.expected) << c.name;
  }
}

TEST(StudyRunner, AFailedRunStopsTheStudyAndIsNamed) {
  test::FakeSpeechListenerFactory factory;
  const StudyPlan plan{30, 1, {}, false};
  int rendered = 0;
  const auto render = [&](StudyArm arm, int run, std::uint32_t) {
    ++rendered;
    RunSound s;
    s.rate = 8000;
    s.samples.assign(800, 1);
    if (run == 4 && arm == StudyArm::Control) s.error = "The random source stopped.";
    return s;
  };
  const StudyRunResult r = runStudy(plan, render, factory, 3);
  EXPECT_EQ(r.error, "Run 4 (control): The random source stopped.");
  EXPECT_EQ(rendered, 10);  // nothing after the failure is made
}

class BrokenFactory final : public SpeechListenerFactory {
 public:
  std::unique_ptr<SpeechListener> make(std::string& error) override {
    error = "The model folder '/nowhere' is missing.";
    return nullptr;
  }
};

class FailingListener final : public SpeechListener {
 public:
  ListenResult listen(PcmSource&, const ListenRequest&) override {
    ListenResult r;
    r.error = "The decoder gave up.";
    return r;
  }
};

class FailingFactory final : public SpeechListenerFactory {
 public:
  std::unique_ptr<SpeechListener> make(std::string&) override {
    return std::make_unique<FailingListener>();
  }
};

TEST(StudyRunner, ListenerFailuresAreTheStudysError) {
  const StudyPlan plan{3, 1, {}, false};
  const auto render = [](StudyArm, int, std::uint32_t) {
    RunSound s;
    s.rate = 8000;
    s.samples.assign(800, 1);
    return s;
  };
  BrokenFactory broken;
  EXPECT_EQ(runStudy(plan, render, broken, 2).error, "The model folder '/nowhere' is missing.");
  FailingFactory failing;
  EXPECT_EQ(runStudy(plan, render, failing, 1).error, "Run 0 (evp): The decoder gave up.");
}

}  // namespace
}  // namespace voxloom
