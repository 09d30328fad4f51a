#pragma once

#include <cstdint>
#include <vector>

#include "core/random/random_source_kind.h"

namespace voxloom {

enum class HealthState {
  Deterministic,  // pseudo generator, fractal equation: nothing to test
  NotTested,      // the manual slider
  WarmingUp,      // the first full window has not been seen yet
  Ok,
  FailingRepetition,  // the repetition count test failed at the last value seen
  FailingProportion,  // the adaptive proportion test failed in the last window
};

struct HealthFailure {
  std::int64_t draw = 0;   // 1 for the first draw of the run
  bool repetition = true;  // else the adaptive proportion test
};

// Continuous health tests (repetition count, adaptive proportion) on the raw values of the
// current true-random source, with the cut-offs that the entropy its kind claims gives.
class SourceHealth {
 public:
  static constexpr std::size_t kKeptFailures = 1000;

  // A new run of `kind`: windows, counters and failures start afresh.
  void start(RandomSourceKind kind);
  // One raw value in the unit the kind's claim names (a sample, a byte, a service value).
  void noteValue(std::uint32_t value) {
    if (!tested_) return;
    if (value == last_) {
      if (++run_ >= rctCutoff_) {
        fail(true);
        run_ = 1;  // a stuck source fails again after every further cut-off's worth
      }
    } else {
      last_ = value;
      run_ = 1;
    }
    if (seen_ == 0) {
      first_ = value;
      matches_ = 1;
    } else if (value == first_ && ++matches_ == aptCutoff_) {
      fail(false);
    }
    if (++seen_ == window_) endWindow();
  }
  // `count` raw bits of a bit source, the first the most significant of `bits`.
  void noteBits(std::uint32_t bits, int count) {
    for (int i = count - 1; i >= 0; --i) noteValue((bits >> i) & 1u);
  }
  // A draw ended; failures are numbered by the draw during which they happened.
  void endDraw() { ++draws_; }

  RandomSourceKind kind() const { return kind_; }
  HealthState state() const { return state_; }
  std::int64_t draws() const { return draws_; }
  std::int64_t failureCount() const { return failureCount_; }
  // The first kKeptFailures failures of the run.
  const std::vector<HealthFailure>& failures() const { return failures_; }
  // Whether the latest failure was the repetition count test's.
  bool lastFailureRepetition() const { return lastRepetition_; }
  // The cut-offs in use (0 when the kind is not tested).
  int repetitionCutoff() const { return tested_ ? rctCutoff_ : 0; }
  int proportionCutoff() const { return tested_ ? aptCutoff_ : 0; }
  int proportionWindow() const { return tested_ ? window_ : 0; }

 private:
  void fail(bool repetition);
  void endWindow();

  RandomSourceKind kind_ = RandomSourceKind::PseudoRng;
  HealthState state_ = HealthState::Deterministic;
  bool tested_ = false;
  bool failedInWindow_ = false;
  bool lastRepetition_ = true;
  std::int64_t draws_ = 0;
  std::int64_t failureCount_ = 0;
  std::vector<HealthFailure> failures_;
  // Repetition count test: the last value and how often it came in a row.
  int rctCutoff_ = 0;
  std::uint32_t last_ = 0;
  int run_ = 0;
  // Adaptive proportion test: the window's first value and its count so far.
  int aptCutoff_ = 0;
  int window_ = 0;
  int seen_ = 0;
  int matches_ = 0;
  std::uint32_t first_ = 0;
};

// "deterministic", "not tested", "warming up", "ok", "failing: repetition",
// "failing: proportion".
const char* healthStateText(HealthState state);

}  // namespace voxloom
