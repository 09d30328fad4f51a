#include "core/engine/segment_model.h"

#include <algorithm>
#include <cstdlib>

#include "core/random/random_sources.h"

namespace voxloom {

const char* pickFailureText(PickStatus status) {
  switch (status) {
    case PickStatus::NoSignal:
      return "The signal contains no samples.";
    case PickStatus::SignalTooShort:
      return "The signal is too short for the segment duration.";
    default:
      return "";
  }
}

Frames msToFrames(int ms, const AudioDocument& doc) {
  // 64-bit so an unusual rate cannot overflow; for real rates the result is identical.
  const std::int64_t frames = static_cast<std::int64_t>(ms) * doc.nominalRate / 1000;
  return static_cast<Frames>(std::clamp<std::int64_t>(frames, 0, std::max(doc.frameCount, 0)));
}

void updateMinFrames(SegmentTable& table, const SegmentOptions& options, const AudioDocument& doc) {
  table.minFrames = msToFrames(options.duration.value, doc);
}

void updateMaxFrames(SegmentTable& table, const SegmentOptions& options, const AudioDocument& doc) {
  table.maxFrames = msToFrames(options.duration2.value, doc);
}

Frames findRisingZeroCrossing(const AudioDocument& doc, Frames from) {
  if (from < 0 || from >= doc.frameCount || !doc.samples) return from;
  const std::uint8_t* base = doc.channelBase(0);
  int previous = from > 0 ? doc.sampleAt(base, from - 1) : 0;
  for (Frames i = from; i < doc.frameCount; ++i) {
    const int current = doc.sampleAt(base, i);
    if (current >= 0 && previous <= 0) return i;
    previous = current;
  }
  return from;
}

namespace {

// Cue mode: the drawn cue, cut to the signal. A cue wholly beyond the end becomes an
// empty segment at the end, so it plays as silence instead of reading outside.
SegmentPick pickCue(SegmentTable& table, const AudioDocument& doc, RandomSources& random) {
  const Frames count = doc.cueCount();
  const std::int32_t i = random.drawRandom(count);
  const CuePoint& cue = doc.cues[static_cast<std::size_t>(i)];
  SegmentPick pick;
  pick.start = std::clamp(cue.position, 0, doc.frameCount);
  const Frames rest = doc.frameCount - pick.start;
  pick.length = cue.length == 0 ? rest : std::clamp(cue.length, 0, rest);
  pick.segmentNumber = i;
  pick.cueIndex = i;
  table.segmentCount = count;
  return pick;
}

// Fixed-length mode; `cap` > 0 is checked by the caller.
SegmentPick pickOnGrid(SegmentTable& table, const SegmentOptions& options, const AudioDocument& doc,
                       RandomSources& random, Frames cap) {
  const bool fade = options.crossFade.on();
  Frames lo = table.minFrames;
  Frames hi = options.segTo.on() ? table.maxFrames : table.minFrames;
  Frames length = lo;
  if (lo != hi) length = random.drawRandom(std::abs(hi - lo)) + std::min(lo, hi);
  lo = std::min(lo, cap);
  hi = std::min(hi, cap);
  length = std::min(length, cap);
  // The renderer reads up to two segment lengths past a start.
  const Frames reserve = fade ? 2 * std::max(lo, hi) : lo;
  const Frames frameCount = doc.frameCount;

  SegmentPick pick;
  if (options.overlap.on()) {
    pick.start = random.drawRandom(frameCount - reserve + 1);
  } else {
    pick.start = random.drawRandom((frameCount - reserve) / lo + 1) * lo;
  }
  pick.length = std::min(length, frameCount - pick.start);
  pick.segmentNumber = pick.start / lo;
  pick.cueIndex = -1;
  table.segmentCount = frameCount / lo;
  return pick;
}

}  // namespace

PickResult pickSegment(SegmentTable& table, const SegmentOptions& options, const AudioDocument& doc,
                       RandomSources& random, bool muteRepeats) {
  PickResult result;
  if (!doc.samples || doc.frameCount <= 0) {
    result.status = PickStatus::NoSignal;
    return result;
  }
  SegmentPick pick;
  if (cueListInUse(options, doc.cueCount())) {
    pick = pickCue(table, doc, random);
  } else {
    const Frames cap = options.crossFade.on() ? doc.frameCount / 3 : doc.frameCount / 2;
    if (std::min(table.minFrames, cap) <= 0) {
      result.status = PickStatus::SignalTooShort;
      return result;
    }
    pick = pickOnGrid(table, options, doc, random, cap);
  }

  if (options.zeroCrossAdjust.on()) {
    pick.start = findRisingZeroCrossing(doc, pick.start);
    if (pick.start + pick.length > doc.frameCount) pick.length = doc.frameCount - pick.start;
    pick.length = findRisingZeroCrossing(doc, pick.start + pick.length) - pick.start;
  }

  pick.muted = muteRepeats && pick.start == table.lastStart;
  table.lastStart = pick.start;
  result.pick = pick;
  return result;
}

}  // namespace voxloom
