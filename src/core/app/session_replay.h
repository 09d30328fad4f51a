#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/engine/playback_engine.h"
#include "core/session/session.h"
#include "core/session/session_controller.h"

namespace voxloom {

// Walks the entries of a session replay: `n` records from the record at index `first`,
// each entry in playing order, then the next record's. A record without entries is
// skipped but counts as one of the `n`, so replaying one empty EVP plays nothing.
// Records are addressed by position and every step checks its bounds, so a session
// that changes under a replay can end it early but never make it read a lost entry.
class SessionReplayCursor {
 public:
  SessionReplayCursor(const Session& session, std::int32_t first, std::int32_t n)
      : session_(&session), replayRemaining_(n), replayRecord_(first) {}

  // The next entry to queue; nothing once the records are used up.
  std::optional<ReplayEntry> next();

 private:
  const Session* session_;
  std::int32_t replayRemaining_;
  std::int32_t replayRecord_;
  std::size_t replayEntry_ = 0;
};

// Make EVP into the session: with recording on, a run starts a record with the question
// prompt, adds an entry per block that belongs to the EVP and trims the record to what
// sounded when the run has ended. The record also keeps each block's provenance and the
// source's health at the end.
class SessionCapture final : public EvpCapture {
 public:
  SessionCapture(SessionController& sessions, SequencerContext context)
      : sessions_(sessions), context_(context) {}
  SessionCapture(const SessionCapture&) = delete;
  SessionCapture& operator=(const SessionCapture&) = delete;

  bool begin() override;
  void append(const NextBlock& block, std::int32_t serial) override;
  void finish(std::int32_t segmentSerial, int bufferCount) override;

 private:
  SessionController& sessions_;
  SequencerContext context_;
  // The random log points at it only during a capture.
  DrawTrace trace_;
};

}  // namespace voxloom
