#pragma once

#include <cstdint>
#include <vector>

#include "core/random/random_source_kind.h"

namespace voxloom {

enum class HealthState {
  Deterministic,      // pseudo generator, fractal equation: nothing to test
  NotTested,          // the manual slider
  WarmingUp,          // the first full window has not been seen yet
  Ok,
  FailingRepetition,  // the repetition count test failed at the last value seen
  FailingProportion,  // the adaptive proportion test failed in the last window
};

struct HealthFailure {
  std::int64_t draw = 0;  // 1 for the first draw of the run
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
  void noteValue(std::uint32_t value);
  // `count` raw bits of a bit source, the first the most significant of `bits`.
  void noteBits(std::uint32_t bits, int count);
  // A draw ended; failures are numbered by the draw during which they happened.
  void endDraw() { ++draws_; }

  RandomSourceKind kind() const { return kind_; }
  HealthState state() const;
  std::int64_t draws() const { return draws_; }
  std::int64_t failureCount() const;
  // The first kKeptFailures failures of the run.
  const std::vector<HealthFailure>& failures() const;

 private:
  RandomSourceKind kind_ = RandomSourceKind::PseudoRng;
  std::int64_t draws_ = 0;
};

// "deterministic", "not tested", "warming up", "ok", "failing: repetition",
// "failing: proportion".
const char* healthStateText(HealthState state);

}  // namespace voxloom
