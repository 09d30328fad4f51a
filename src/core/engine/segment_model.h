#pragma once

#include <cstdint>

#include "core/audio/audio_document.h"
#include "core/engine/segment_options.h"
#include "core/util/units.h"

namespace voxloom {

class RandomSources;

// Segmentation state of the main window.
struct SegmentTable {
  Frames minFrames = 0;
  Frames maxFrames = 0;
  std::int32_t segmentCount = 0;  // set by every pick; read by the visual feedback window
  Frames lastStart = 0;           // start of the previous pick, kept across runs
};

// One segment to play; it always lies inside the signal (start + length <= frameCount).
struct SegmentPick {
  Frames start = 0;
  Frames length = 0;
  std::int32_t segmentNumber = 0;
  std::int32_t cueIndex = -1;  // -1 in fixed-length mode
  bool muted = false;
};

enum class PickStatus {
  Ok,
  NoSignal,        // nothing loaded, or no sample frames
  SignalTooShort,  // the capped minimum length is 0 frames: no grid can be cut
};

struct PickResult {
  PickStatus status = PickStatus::Ok;
  SegmentPick pick;
  bool ok() const { return status == PickStatus::Ok; }
};

// The message a caller shows when a pick is impossible ("Error" box).
const char* pickFailureText(PickStatus status);

// ms * nominalRate / 1000, truncated, capped at frameCount (never negative).
Frames msToFrames(int ms, const AudioDocument& doc);

void updateMinFrames(SegmentTable& table, const SegmentOptions& options, const AudioDocument& doc);
void updateMaxFrames(SegmentTable& table, const SegmentOptions& options, const AudioDocument& doc);

// The first frame at or after `from` where the first channel rises through zero
// (sample >= 0 after a sample <= 0); `from` itself when there is none.
Frames findRisingZeroCrossing(const AudioDocument& doc, Frames from);

// One pick with the options as they are now. Draws 1..3 integers from `random` (length,
// then start; one draw in cue-list mode). `muteRepeats` tells whether the manual sweep
// source mutes repeated starts at this moment. Fails without drawing when no segment
// can be cut.
PickResult pickSegment(SegmentTable& table, const SegmentOptions& options, const AudioDocument& doc,
                       RandomSources& random, bool muteRepeats);

}  // namespace voxloom
