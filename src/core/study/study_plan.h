#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/speech_listener.h"
#include "core/study/statistics.h"

namespace voxloom {

enum class StudyArm { Evp = 0, Control = 1 };
const char* studyArmName(StudyArm arm);  // "evp", "control"

// A shard holds the runs whose index modulo `count` is `index`; runs and shards count
// from 0, so "--shard 0/1" is the whole study.
struct StudyShard {
  int index = 0;
  int count = 1;
  bool operator==(const StudyShard&) const = default;
};
std::optional<StudyShard> parseStudyShard(std::string_view text);  // "I/M"
std::string studyShardText(StudyShard shard);

struct StudyPlan {
  int runs = 0;  // per arm
  std::uint64_t seed = 0;
  StudyShard shard;
  // The control renders with the EVP arm's seed of the same run (a reversed control
  // plays the very blocks of its EVP backwards).
  bool controlSharesSeed = false;

  // The seed of one run's sound: every run and arm gets its own, whichever shard or
  // thread makes it. 32 bits, as the pseudo-random generator takes them.
  std::uint32_t seedOf(int run, StudyArm arm) const;
  std::vector<int> shardRuns() const;
};

// What the listener made of one run.
struct RunRecord {
  int run = 0;
  StudyArm arm = StudyArm::Evp;
  std::uint32_t seed = 0;
  std::int64_t frames = 0;  // of the sound listened to
  std::uint32_t rate = 0;
  std::vector<HeardWord> words;

  double seconds() const;
  double wordsPerMinute() const;
  double meanConfidence() const;  // 0 without words
};

// One JSON line (no line break): run, arm, seed, frames, rate, seconds, words, wpm,
// mean_confidence and the words heard.
std::string runRecordJson(const RunRecord& record);
std::optional<RunRecord> readRunRecord(std::string_view line);
// The records in run order, the EVP arm first.
void sortRunRecords(std::vector<RunRecord>& records);

struct ArmSummary {
  int runs = 0;
  double meanWpm = 0.0;
  double medianWpm = 0.0;
  std::int64_t words = 0;
};

struct StudySummary {
  ArmSummary evp;
  ArmSummary control;
  double difference = 0.0;  // mean words per minute, EVP minus control
  Interval ci95;
  double pValue = 1.0;
  bool exact = false;
};

// Computed from the records alone (their word counts and lengths are whole numbers), so
// that joined shards give what one run of the whole study gives.
StudySummary summarizeStudy(const std::vector<RunRecord>& records, std::uint64_t seed);
// One JSON object without a line break; numbers with 6 decimals, the p-value with 6
// significant digits, "." whatever the locale.
std::string studySummaryJson(const StudySummary& summary);

// What a study's output folder says about how it was made: merging needs shards of the
// same study.
struct StudyHeader {
  std::vector<std::string> options;  // the input and every option that changes the sound
  int runs = 0;
  std::uint64_t seed = 0;
  StudyShard shard;
};
std::string studyHeaderJson(const StudyHeader& header);
std::optional<StudyHeader> readStudyHeader(std::string_view text);

struct ShardOutput {
  std::string name;  // the folder, for messages
  StudyHeader header;
  std::vector<RunRecord> records;
};

struct MergedStudy {
  StudyHeader header;  // shard 0/1
  std::vector<RunRecord> records;
  std::string error;  // empty when the shards make one whole study
};

// Joins shards of one study; refuses shards of other studies, runs found twice and
// runs missing.
MergedStudy mergeStudyShards(const std::vector<ShardOutput>& shards);

}  // namespace voxloom
