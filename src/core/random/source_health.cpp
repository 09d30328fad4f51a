#include "core/random/source_health.h"

#include "core/random/health/entropy_claims.h"

namespace voxloom {

void SourceHealth::start(RandomSourceKind kind) {
  kind_ = kind;
  draws_ = 0;
  failureCount_ = 0;
  failures_.clear();
  failedInWindow_ = false;
  lastRepetition_ = true;
  run_ = 0;
  seen_ = 0;
  matches_ = 0;
  const auto claim = entropyClaimOf(kind);
  tested_ = claim.has_value();
  if (!tested_) {
    const bool deterministic =
        kind == RandomSourceKind::PseudoRng || kind == RandomSourceKind::Fractal;
    state_ = deterministic ? HealthState::Deterministic : HealthState::NotTested;
    return;
  }
  state_ = HealthState::WarmingUp;
  rctCutoff_ = voxloom::repetitionCutoff(claim->bitsPerValue);
  window_ = voxloom::proportionWindow(claim->binary);
  aptCutoff_ = voxloom::proportionCutoff(window_, claim->bitsPerValue);
}

void SourceHealth::fail(bool repetition) {
  ++failureCount_;
  if (failures_.size() < kKeptFailures) failures_.push_back({draws_ + 1, repetition});
  lastRepetition_ = repetition;
  failedInWindow_ = true;
  state_ = repetition ? HealthState::FailingRepetition : HealthState::FailingProportion;
}

void SourceHealth::endWindow() {
  seen_ = 0;
  if (!failedInWindow_) state_ = HealthState::Ok;
  failedInWindow_ = false;
}

const char* healthStateText(HealthState state) {
  switch (state) {
    case HealthState::Deterministic:
      return "deterministic";
    case HealthState::NotTested:
      return "not tested";
    case HealthState::WarmingUp:
      return "warming up";
    case HealthState::Ok:
      return "ok";
    case HealthState::FailingRepetition:
      return "failing: repetition";
    case HealthState::FailingProportion:
      return "failing: proportion";
  }
  return "not tested";
}

}  // namespace voxloom
