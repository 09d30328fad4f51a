#include "core/app/health_indicator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace voxloom {
namespace {

HealthReading reading(HealthState state, std::int64_t failures, std::int64_t firstDraw = 0,
                      bool repetition = true, bool logged = true) {
  HealthReading r;
  r.state = state;
  r.failureCount = failures;
  r.firstFailureDraw = firstDraw;
  r.firstFailureRepetition = repetition;
  r.logged = logged;
  return r;
}

TEST(HealthIndicatorText, NamesTheStateAndCountsThisRunsFailures) {
  struct Case {
    HealthState state;
    std::int64_t failures;
    const char* text;
  };
  const Case cases[] = {
      {HealthState::Deterministic, 0, "Health: deterministic"},
      {HealthState::NotTested, 0, "Health: not tested"},
      {HealthState::WarmingUp, 0, "Health: warming up"},
      {HealthState::Ok, 0, "Health: ok"},
      {HealthState::Ok, 2, "Health: ok (2 failures)"},  // recovered, the run's count stays
      {HealthState::FailingRepetition, 3, "Health: failing: repetition (3 failures)"},
      {HealthState::FailingProportion, 1, "Health: failing: proportion (1 failure)"},
      {HealthState::FailingRepetition, 0, "Health: failing: repetition"},
      {HealthState::Deterministic, 5, "Health: deterministic"},  // untested kinds: no count
  };
  for (const Case& c : cases) {
    EXPECT_EQ(healthIndicatorText(reading(c.state, c.failures)), c.text) << c.text;
  }
}

TEST(HealthIndicatorText, SourceNameDropsTheMenuMarks) {
  EXPECT_EQ(sourceIndicatorText(RandomSourceKind::PseudoRng), "Source: Pseudo RNG");
  EXPECT_EQ(sourceIndicatorText(RandomSourceKind::RandomFile), "Source: File");
  EXPECT_EQ(sourceIndicatorText(RandomSourceKind::ParallelPort), "Source: Parallel printer port");
  EXPECT_EQ(sourceIndicatorText(static_cast<RandomSourceKind>(99)), "Source: ?");
}

TEST(HealthNoticeText, NamesTheTestTheDrawAndWhereTheFailureIsKept) {
  EXPECT_EQ(healthNoticeText(reading(HealthState::Ok, 0)), "");
  EXPECT_EQ(healthNoticeText(reading(HealthState::FailingRepetition, 1, 42)),
            "The random source failed its repetition health test at draw 42. The EVP goes on; "
            "the failure is written to the random log.");
  const std::string unlogged =
      healthNoticeText(reading(HealthState::FailingProportion, 1, 7, false, false));
  EXPECT_NE(unlogged.find("proportion health test at draw 7."), std::string::npos);
  EXPECT_NE(unlogged.find("Log random numbers"), std::string::npos);
  EXPECT_EQ(unlogged.find("written to the random log"), std::string::npos);
  EXPECT_EQ(healthNoticeBrief(reading(HealthState::Ok, 2, 17, false)),
            "Proportion health test failed at draw 17");
  EXPECT_EQ(healthNoticeBrief(reading(HealthState::Ok, 0)), "");
}

// A sequence of refreshes: the notice comes once per Make EVP run, at its first failure,
// also when only the run's last refresh sees it, and never outside a run.
TEST(HealthIndicator, GivesTheNoticeOncePerRun) {
  struct Step {
    std::int64_t failures;
    bool makingEvp;
    bool notice;
    bool alarm;
  };
  const std::vector<Step> steps = {
      {0, false, false, false},  // idle
      {1, false, false, true},   // a failure outside a run (Write RN): red, no notice
      {0, true, false, false},   // run 1 starts, its count afresh
      {0, true, false, false},  {1, true, true, true},  // first failure
      {4, true, false, true},                           // more: no second notice
      {4, false, false, true},   // run ends; the panel stays red until the next run
      {0, true, false, false},   // run 2
      {0, false, false, false},  // ends clean
      {0, true, false, false},   // run 3
      {2, false, true, true},    // its failures seen only by the refresh at its end
      {3, false, false, true},   // after the run: nothing more
  };
  HealthIndicator indicator;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    const HealthIndicator::Shown shown =
        indicator.refresh(reading(HealthState::Ok, s.failures, 9), s.makingEvp);
    EXPECT_EQ(!shown.notice.empty(), s.notice) << "step " << i;
    EXPECT_EQ(shown.alarm, s.alarm) << "step " << i;
  }
}

TEST(HealthIndicator, FailingStateAloneTurnsThePanelRedWithoutANotice) {
  HealthIndicator indicator;
  indicator.refresh(reading(HealthState::Ok, 0), true);
  const HealthIndicator::Shown shown =
      indicator.refresh(reading(HealthState::FailingProportion, 0), true);
  EXPECT_TRUE(shown.alarm);
  EXPECT_TRUE(shown.notice.empty());  // nothing to report a draw of yet
}

}  // namespace
}  // namespace voxloom
