#include "core/app/health_indicator.h"

#include <gtest/gtest.h>

#include <string>

namespace voxloom {
namespace {

HealthReading reading(HealthState state, std::int64_t failures, bool logged = true) {
  return {state, failures, failures > 0 ? 42 : 0, true, logged};
}

TEST(HealthIndicatorText, NamesTheStateAndCountsThisRunsFailures) {
  const std::pair<HealthReading, const char*> cases[] = {
      {reading(HealthState::Deterministic, 0), "Health: deterministic"},
      {reading(HealthState::NotTested, 0), "Health: not tested"},
      {reading(HealthState::WarmingUp, 0), "Health: warming up"},
      {reading(HealthState::Ok, 2), "Health: ok (2 failures)"},  // recovered: the count stays
      {reading(HealthState::FailingRepetition, 3), "Health: failing: repetition (3 failures)"},
      {reading(HealthState::FailingProportion, 1), "Health: failing: proportion (1 failure)"},
      {reading(HealthState::Deterministic, 5), "Health: deterministic"},  // cannot fail
  };
  for (const auto& [r, text] : cases) EXPECT_EQ(healthIndicatorText(r), text);
}

TEST(HealthNoticeText, NamesTheDrawAndWhetherTheLogKeepsTheFailure) {
  EXPECT_EQ(healthNoticeText(reading(HealthState::Ok, 0)), "");
  EXPECT_EQ(healthNoticeText(reading(HealthState::FailingRepetition, 1)),
            "The random source failed its repetition health test at draw 42. The EVP goes on; "
            "the failure is written to the random log.");
  const std::string unlogged = healthNoticeText(reading(HealthState::Ok, 1, false));
  EXPECT_EQ(unlogged.find("written to the random log"), std::string::npos);
  EXPECT_EQ(healthNoticeBrief(reading(HealthState::Ok, 2)),
            "Repetition health test failed at draw 42");
}

// The notice comes once per Make EVP run, at its first failure, also when only the run's
// last refresh sees it, and never outside a run.
TEST(HealthIndicator, GivesTheNoticeOncePerRun) {
  struct Step {
    std::int64_t failures;
    bool makingEvp, notice, alarm;
  };
  const Step steps[] = {
      {1, false, false, true},  // a failure outside a run (Write RN): red, no notice
      {0, true, false, false},  // run 1 starts, its count afresh
      {1, true, true, true},    // first failure
      {4, true, false, true},   // more: no second notice
      {4, false, false, true},  // run ends; red until the next run
      {0, true, false, false},  // run 2
      {2, false, true, true},   // its failures seen only by the refresh at its end
  };
  HealthIndicator indicator;
  int i = 0;
  for (const Step& s : steps) {
    const auto shown = indicator.refresh(reading(HealthState::Ok, s.failures), s.makingEvp);
    EXPECT_EQ(!shown.notice.empty(), s.notice) << "step " << i;
    EXPECT_EQ(shown.alarm, s.alarm) << "step " << i++;
  }
}

}  // namespace
}  // namespace voxloom
