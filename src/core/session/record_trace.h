#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/provenance.h"
#include "core/ports/speech_listener.h"
#include "core/random/source_health.h"
#include "core/session/session.h"

namespace voxloom {

// The health tests' verdict on the source at the end of a record's capture.
struct RecordHealth {
  int sourceKind = 0;  // RandomSourceKind as its stored integer
  std::int64_t draws = 0;
  std::int64_t failureCount = 0;
  std::vector<HealthFailure> failures;  // the first ones kept, see SourceHealth
};

// What is known about a record beyond the session file: the provenance of its blocks
// (only while the program that captured it runs) and its health summary (also read
// back from the health file next to the session).
struct RecordTrace {
  std::vector<ProvenanceBlock> blocks;
  std::optional<RecordHealth> health;
  // What the machine listener heard in the EVP (also read back from the listen file next
  // to the session); empty when it never ran on it.
  std::optional<std::vector<HeardWord>> heard;
};

RecordHealth recordHealthOf(const SourceHealth& health);

// "NAME.evp.health.jsonl" for "NAME.evp".
std::string healthSidecarPath(const std::string& sessionPath);

// Longer than any line the health file holds (1000 failures of 40 bytes and the rest):
// longer lines are skipped as they are read, never held whole.
inline constexpr std::size_t kMaxHealthLineBytes = std::size_t{64} << 10;
// The one message for the lines of the health file skipped as too long.
std::string skippedHealthLinesText(const std::string& path, std::int64_t skipped);

// One line per record with health data: record number from 1, date and time, source,
// draws, failure count and the failures with their draw numbers.
std::string formatHealthSidecar(const std::vector<EvpRecord>& records);

// Gives each record the health of the line with its number and date and time; lines
// that match no record are dropped. Nothing changes and false is returned when any
// line is malformed.
bool applyHealthSidecar(std::string_view text, std::vector<EvpRecord>& records);

}  // namespace voxloom
