#pragma once

#include "core/random/random_log.h"
#include "core/random/random_source.h"
#include "core/random/source_health.h"

namespace voxloom {

// Writes each raw value to the random log and keeps the draw in the log's trace (the
// block being made, for its provenance).
class LoggedSource final : public RandomSource {
 public:
  LoggedSource(RandomSource& inner, RandomLog& log) : inner_(inner), log_(log) {}

  const char* name() const override { return inner_.name(); }
  std::string open() override { return inner_.open(); }
  RawDraw draw(std::int32_t n) override;
  void close() override { inner_.close(); }

 private:
  RandomSource& inner_;
  RandomLog& log_;
};

// What the health tests count of a raw value, as the source's entropy claim names it.
enum class HealthUnit {
  None,   // deterministic or untested sources: nothing is counted
  Whole,  // the value itself (its low `bits` bits)
  Bits,   // each bit, the most significant first
  Bytes,  // each byte of a 32-bit word, the most significant first
};

// Runs the continuous health tests on each raw value and numbers the draws; a failure is
// noted in the log after the value that caused it.
class HealthCheckedSource final : public RandomSource {
 public:
  HealthCheckedSource(RandomSource& inner, HealthUnit unit, SourceHealth& health, RandomLog& log)
      : inner_(inner), unit_(unit), health_(health), log_(log) {}

  const char* name() const override { return inner_.name(); }
  std::string open() override { return inner_.open(); }
  RawDraw draw(std::int32_t n) override;
  void close() override { inner_.close(); }

 private:
  void note(const RawDraw& d);

  RandomSource& inner_;
  HealthUnit unit_;
  SourceHealth& health_;
  RandomLog& log_;
};

}  // namespace voxloom
