#pragma once

#include <cstdint>

#include "core/engine/segment_sequencer.h"

namespace voxloom {

// What the engines need from the program around them. Each is given to an engine's
// constructor, so that none can be missing; a front end without such a peer passes an
// object that says so.

// The one gate before the document is replaced.
class DocumentGate {
 public:
  virtual ~DocumentGate() = default;
  // True when the user cancelled: the document stays as it is.
  virtual bool discardDocument() = 0;
};

// What the playback engine asks of its owner while it runs.
class PlaybackPeers {
 public:
  virtual ~PlaybackPeers() = default;
  // Whether the manual sweep mutes a pick that repeats the previous start.
  virtual bool muteRepeats() = 0;
  // Stop ends a recording too; the recording engine finishes it.
  virtual void resetRecording() = 0;
};

// Where a session capture hooks into Make EVP; the session side decides whether a
// capture is running.
class EvpCapture {
 public:
  virtual ~EvpCapture() = default;
  // At the start of Make EVP; false abandons it (the user cancelled the question).
  virtual bool begin() = 0;
  // A block that really belongs to the EVP was queued; serial counts from 1.
  virtual void append(const NextBlock& block, std::int32_t serial) = 0;
  // The last block of a run came back: trim to the blocks that sounded.
  virtual void finish(std::int32_t segmentSerial, int bufferCount) = 0;
};

// No session to capture into: Make EVP always goes ahead and nothing is kept.
class NoEvpCapture final : public EvpCapture {
 public:
  bool begin() override { return true; }
  void append(const NextBlock&, std::int32_t) override {}
  void finish(std::int32_t, int) override {}
};

}  // namespace voxloom
