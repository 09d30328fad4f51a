#include "core/random/source_decorators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/random/source_adapters.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

// Hands out prepared draws in order, whatever the range.
class ScriptedSource final : public RandomSource {
 public:
  explicit ScriptedSource(std::vector<RawDraw> draws) : draws_(std::move(draws)) {}
  const char* name() const override { return "scripted"; }
  RawDraw draw(std::int32_t) override { return draws_.at(next_++); }

 private:
  std::vector<RawDraw> draws_;
  std::size_t next_ = 0;
};

RawDraw raw(std::uint32_t value, int bits, RawForm form, std::int32_t mapped) {
  RawDraw d;
  d.value = value;
  d.bits = bits;
  d.form = form;
  d.mapped = mapped;
  return d;
}

// The log file's lines, the trace and the draws returned must keep every value in order;
// a failed draw is logged nowhere but keeps its 0 in the trace.
TEST(SourceDecorators, KeepEveryValueInOrderAndNoteFailuresAfterTheirValue) {
  std::vector<RawDraw> script;
  for (int i = 0; i < 25; ++i) script.push_back(raw(7, 16, RawForm::Signed16, i));
  script.insert(script.begin() + 3, RawDraw{});  // a draw that failed
  script.push_back(raw(0xFFFF8000u, 16, RawForm::Signed16, 99));
  ScriptedSource source(script);
  test::ScriptedPrompter prompter;
  RandomLog log;
  log.logEnabled = true;
  log.logStartNew = true;
  log.logFileName = test::tempDir() + "/decorated.txt";
  ASSERT_TRUE(log.openRandomLog(prompter));
  DrawTrace trace;
  log.trace = &trace;
  SourceHealth health;
  health.start(RandomSourceKind::RandomFile);  // 1 bit per value: 21 equal ones fail
  LoggedSource logged(source, log);
  HealthCheckedSource checked(logged, HealthUnit::Whole, health, log);

  std::vector<std::int32_t> mapped;
  for (std::size_t i = 0; i < script.size(); ++i) mapped.push_back(checked.draw(10).mapped);
  ASSERT_TRUE(log.closeRandomLog());

  std::vector<std::int32_t> expectedMapped;
  std::vector<std::string> expectedRaw;
  std::string expectedFile;
  for (std::size_t i = 0; i < script.size(); ++i) {
    expectedMapped.push_back(script[i].mapped);
    if (!script[i].hasValue()) continue;
    expectedRaw.push_back(i + 1 == script.size() ? "-32768" : "7");
    expectedFile += expectedRaw.back() + "\n";
    if (expectedRaw.size() == 21) expectedFile += "; health test failed: repetition at draw 22\n";
  }
  EXPECT_EQ(mapped, expectedMapped);
  EXPECT_EQ(trace.mapped, expectedMapped);
  EXPECT_EQ(trace.raw, expectedRaw);
  std::stringstream file;
  file << std::ifstream(log.logFileName).rdbuf();
  EXPECT_EQ(file.str(), expectedFile);
  EXPECT_EQ(health.draws(), static_cast<std::int64_t>(script.size()));
  EXPECT_EQ(health.failures().at(0).draw, 22);
}

// Each source's claim counts its own unit: the draw in which a stuck source first fails
// shows how a raw value was split.
TEST(SourceDecorators, HealthCountsTheUnitOfTheSourcesClaim) {
  const std::int16_t stuck[32] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,
                                  3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
  struct Case {
    const char* what;
    RandomSourceKind kind;
    RawDraw even, odd;              // alternating draws
    std::int64_t firstFailingDraw;  // 0: none in 60 draws
  };
  RawDraw folded = raw(0x12345678, 32, RawForm::Signed32, 0);
  folded.samples = stuck;
  RawDraw cutShort = raw(0, 32, RawForm::Signed32, 0);
  cutShort.counted = false;
  const Case cases[] = {
      // Only the sample's 16 bits count: the sign extension must not hide a repetition.
      {"sample", RandomSourceKind::RandomFile, raw(7, 16, RawForm::Signed16, 0),
       raw(0xFFFF0007u, 16, RawForm::Signed16, 0), 21},
      {"folded samples", RandomSourceKind::SoundCard, folded, folded, 1},
      {"bytes", RandomSourceKind::Device, raw(0x05050505, 32, RawForm::Signed32, 0),
       raw(0x05050505, 32, RawForm::Signed32, 0), 3},
      {"bits", RandomSourceKind::ParallelPort, raw(0xFFFFFFFF, 32, RawForm::Signed32, 0),
       raw(0xFFFFFFFF, 32, RawForm::Signed32, 0), 2},
      {"word cut short", RandomSourceKind::ParallelPort, cutShort, cutShort, 0},
      {"service value", RandomSourceKind::Internet, raw(9, 32, RawForm::Signed32, 0),
       raw(9, 32, RawForm::Signed32, 0), 21},
      {"deterministic", RandomSourceKind::PseudoRng, raw(9, 31, RawForm::Unsigned, 0),
       raw(9, 31, RawForm::Unsigned, 0), 0},
  };
  for (const Case& c : cases) {
    std::vector<RawDraw> script;
    for (int i = 0; i < 60; ++i) script.push_back(i % 2 == 0 ? c.even : c.odd);
    ScriptedSource source(script);
    RandomLog log;
    SourceHealth health;
    health.start(c.kind);
    HealthCheckedSource checked(source, healthUnitOf(c.kind), health, log);
    for (int i = 0; i < 60; ++i) checked.draw(10);
    const std::int64_t first = health.failures().empty() ? 0 : health.failures()[0].draw;
    EXPECT_EQ(first, c.firstFailingDraw) << c.what;
  }
}

TEST(RawDraw, TextAndWordOfEachForm) {
  struct Case {
    RawForm form;
    std::uint32_t value;
    long double fraction;
    const char* text;
    std::uint32_t word;
  };
  const Case cases[] = {
      {RawForm::Unsigned, 2147483647u, 0, "2147483647", 2147483647u},
      {RawForm::Signed16, 0xFFFF8000u, 0, "-32768", 0xFFFF8000u},
      {RawForm::Signed32, 0x80000001u, 0, "-2147483647", 0x80000001u},
      {RawForm::Decimal, 0, 0.25L, "0.25", 0x40000000u},
      {RawForm::Decimal, 0, 1.0L, "1", 0xFFFFFFFFu},  // x reaching 1 stays in 32 bits
      {RawForm::Decimal, 0, -0.5L, "-0.5", 0},
      {RawForm::Decimal, 0, NAN, "nan", 0},
  };
  for (const Case& c : cases) {
    RawDraw d = raw(c.value, 32, c.form, 0);
    d.fraction = c.fraction;
    EXPECT_EQ(rawText(d), c.text);
    EXPECT_EQ(d.word(), c.word) << c.text;
  }
}

}  // namespace
}  // namespace voxloom
