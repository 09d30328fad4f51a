#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace voxloom {

struct RecordTrace;  // record_trace.h

// One segment as it was played, in playing order within its EVP.
struct EvpSegmentEntry {
  std::int32_t start = 0;           // first frame in the document
  std::int32_t length = 0;          // frames played
  std::int32_t serial = 0;          // 1 for the first block of the EVP
  std::int32_t segmentNumber = -1;  // -1: not stored (version 1.0 files)
  bool fade = false;                // replay and export cross-fade it again
  std::string label;                // UTF-8; the source cue's label or empty

  bool operator==(const EvpSegmentEntry&) const = default;
};

// One captured EVP.
struct EvpRecord {
  std::string dateTime;  // "YYYY MM DD hh mm ss", see stampNow
  std::string question;
  std::string answer;
  std::vector<EvpSegmentEntry> segments;
  // Provenance and health, never written to the session file; empty when not known.
  std::shared_ptr<const RecordTrace> trace;

  // Compares what the session file holds.
  bool operator==(const EvpRecord& other) const {
    return dateTime == other.dateTime && question == other.question && answer == other.answer &&
           segments == other.segments;
  }
};

// The open session. Records keep their recording order; `currentIndex` names the one
// the panel shows. The append position of a running capture is always the end of the
// last record, so no reference into the lists is kept that could dangle.
struct Session {
  std::string fileName;  // full path; empty when never saved or opened
  std::string wavPath;   // the WAV file the session belongs to
  std::vector<EvpRecord> records;
  std::int32_t currentIndex = 0;
  bool isModified = false;
  bool recordMode = false;
  bool isCapturing = false;

  std::int32_t count() const { return static_cast<std::int32_t>(records.size()); }
  EvpRecord* current() { return records.empty() ? nullptr : &records[currentIndex]; }
  const EvpRecord* current() const { return records.empty() ? nullptr : &records[currentIndex]; }
};

}  // namespace voxloom
