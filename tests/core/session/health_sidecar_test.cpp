#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/session/record_trace.h"
#include "tests/core/session/session_fixture.h"
#include "tests/support/bounded_cli_run.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

EvpRecord recordAt(const std::string& dateTime, std::optional<RecordHealth> health) {
  EvpRecord r;
  r.dateTime = dateTime;
  if (health) {
    auto trace = std::make_shared<RecordTrace>();
    trace->health = std::move(health);
    r.trace = trace;
  }
  return r;
}

TEST(HealthSidecar, RoundTripKeepsEveryRecordsHealthAndSkipsRecordsWithout) {
  std::vector<EvpRecord> saved = {
      recordAt("2026 12 09 01 00 00", RecordHealth{1, 640, 2, {{17, true}, {300, false}}}),
      recordAt("2026 12 09 01 05 00", std::nullopt),
      recordAt("2026 12 09 01 10 00", RecordHealth{7, 5, 0, {}})};
  const std::string text = formatHealthSidecar(saved);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
  EXPECT_NE(text.find("{\"record\":3,\"date\":\"2026 12 09 01 10 00\",\"source\":\"device\""),
            std::string::npos)
      << text;

  std::vector<EvpRecord> loaded = {recordAt("2026 12 09 01 00 00", std::nullopt),
                                   recordAt("2026 12 09 01 05 00", std::nullopt),
                                   recordAt("2026 12 09 01 10 00", std::nullopt)};
  ASSERT_TRUE(applyHealthSidecar(text, loaded));
  ASSERT_TRUE(loaded[0].trace && loaded[0].trace->health);
  const RecordHealth& h = *loaded[0].trace->health;
  EXPECT_EQ(h.sourceKind, 1);
  EXPECT_EQ(h.draws, 640);
  EXPECT_EQ(h.failureCount, 2);
  ASSERT_EQ(h.failures.size(), 2u);
  EXPECT_EQ(h.failures[1].draw, 300);
  EXPECT_FALSE(h.failures[1].repetition);
  EXPECT_FALSE(loaded[1].trace);
  EXPECT_TRUE(loaded[2].trace->blocks.empty());
  // A re-save writes the same lines.
  EXPECT_EQ(formatHealthSidecar(loaded), text);
  // The health is no part of what the session file compares.
  EXPECT_EQ(loaded[1], recordAt("2026 12 09 01 05 00", RecordHealth{}));
}

TEST(HealthSidecar, LinesOfOtherRecordsAreDroppedAndAMalformedFileChangesNothing) {
  const std::string good =
      "{\"record\":1,\"date\":\"d1\",\"source\":\"file\",\"draws\":3,\"failures\":0,\"failed\":[]}";
  std::vector<EvpRecord> records = {recordAt("d1", std::nullopt), recordAt("d2", std::nullopt)};
  // Another date, a number past the end: no record matches.
  ASSERT_TRUE(
      applyHealthSidecar("{\"record\":2,\"date\":\"other\",\"source\":\"file\",\"draws\":3,"
                         "\"failures\":0,\"failed\":[]}\n"
                         "{\"record\":9,\"date\":\"d1\",\"source\":\"file\",\"draws\":3,"
                         "\"failures\":0,\"failed\":[]}\n",
                         records));
  EXPECT_FALSE(records[0].trace || records[1].trace);

  for (const std::string& bad : std::vector<std::string>{
           std::string("not json"),
           std::string("{\"record\":1}"),
           good.substr(0, good.size() - 1),
           std::string(100, '[') + std::string(100, ']'),
           "{\"record\":1.5,\"date\":\"d1\",\"source\":\"file\",\"draws\":3,\"failures\":0,"
           "\"failed\":[]}",
           "{\"record\":1,\"date\":\"d1\",\"source\":\"nine\",\"draws\":3,\"failures\":0,"
           "\"failed\":[]}",
           "{\"record\":1,\"date\":\"d1\",\"source\":\"file\",\"draws\":-3,\"failures\":0,"
           "\"failed\":[]}",
           "{\"record\":1,\"date\":\"d1\",\"source\":\"file\",\"draws\":3,\"failures\":1,"
           "\"failed\":[{\"draw\":1,\"test\":\"other\"}]}",
           "{\"record\":99999999999999999999,\"date\":\"d1\",\"source\":\"file\",\"draws\":3}",
           std::string("{\"date\":\"\\ud800\"}"),
       }) {
    std::vector<EvpRecord> copy = {recordAt("d1", std::nullopt)};
    EXPECT_FALSE(applyHealthSidecar(good + "\n" + bad + "\n", copy)) << bad;
    EXPECT_FALSE(copy[0].trace) << bad;
  }
}

class SessionHealthTest : public test::SessionFixture {};

TEST_F(SessionHealthTest, ACaptureKeepsWhatSoundedAndASaveAndOpenKeepOnlyTheHealth) {
  loadWav("health.wav");
  ASSERT_TRUE(sessions().beginEvpCapture());
  for (int serial = 1; serial <= 5; ++serial) {
    sessions().appendSegmentEntry(serial * 10, 10, serial, "", false, serial);
    ProvenanceBlock block;
    block.block = serial;
    sessions().appendProvenance(block);
  }
  sessions().noteCaptureHealth(RecordHealth{1, 5, 1, {{4, true}}});
  sessions().finishEvpCapture(5, 2);  // block 5 was still queued
  ASSERT_TRUE(sessions().currentHasProvenance());
  EXPECT_EQ(session().records[0].trace->blocks.size(), 4u);

  const std::string path = ::testing::TempDir() + "health_session.evp";
  std::filesystem::remove(healthSidecarPath(path));
  prompter.saveFiles.push_back(path);
  ASSERT_EQ(sessions().saveSession(false), 0);
  ASSERT_TRUE(std::filesystem::exists(healthSidecarPath(path)));

  sessions().openSession(path);
  ASSERT_EQ(session().count(), 1);
  EXPECT_FALSE(sessions().currentHasProvenance());
  ASSERT_TRUE(session().records[0].trace && session().records[0].trace->health);
  EXPECT_EQ(session().records[0].trace->health->failures.at(0).draw, 4);
}

// Lines far longer than a health line are skipped as they are read, never held, with one
// message for all; the valid line still applies.
TEST_F(SessionHealthTest, OverlongLinesAreSkippedWithOneMessageAndNeverHeld) {
  loadWav("long_health.wav");
  ASSERT_TRUE(sessions().beginEvpCapture());
  sessions().appendSegmentEntry(10, 10, 1, "", false, 1);
  sessions().noteCaptureHealth(RecordHealth{1, 5, 1, {{4, true}}});
  sessions().finishEvpCapture(1, 1);
  const std::string path = ::testing::TempDir() + "long_health.evp";
  prompter.saveFiles.push_back(path);
  ASSERT_EQ(sessions().saveSession(false), 0);
  const std::string sidecar = healthSidecarPath(path), valid = test::readBytes(sidecar);
  std::ofstream(sidecar) << std::string(16 << 20, '{') << '\n'
                         << std::string(1 << 20, '[') << '\n'
                         << valid;
  prompter.shown.clear();
  EXPECT_LT(test::extraPeakKiB([&] { sessions().openSession(path); }), 8 * 1024);
  sessions().openSession(path);
  ASSERT_TRUE(session().records[0].trace && session().records[0].trace->health);
  EXPECT_EQ(session().records[0].trace->health->failures.at(0).draw, 4);
  EXPECT_EQ(prompter.log(),
            std::vector<std::string>{"Warning: 2 lines of the health file '" + sidecar +
                                     "' are longer than any health line can be "
                                     "and were skipped."});
}

}  // namespace
}  // namespace voxloom
