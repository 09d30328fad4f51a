#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/util/units.h"

namespace voxloom {

// Label tracks: the plain tab-separated text that audio editors exchange, one line per
// cue: start in seconds, TAB, end in seconds, TAB, label. A cue without a region has
// start = end. Times have 6 decimals and a "." whatever the locale; texts are UTF-8.

// The cues as a label track. Labels are cut as the WAV writer cuts them; a TAB or line
// break inside a label would end its field, so they are written as blanks.
std::string writeLabelTrack(const std::vector<CuePoint>& cues, Rate rate);

enum class LabelProblem : std::uint8_t {
  MissingField,  // no TAB between start and end
  BadNumber,     // a time that is not a decimal number with "."
  EndBeforeStart,
  Clamped,  // a time before 0 or beyond the signal, moved to its edge (the line is used)
};

struct LabelLineProblem {
  std::int64_t line = 0;  // 1-based
  LabelProblem problem = LabelProblem::MissingField;
};

struct LabelReadResult {
  std::vector<CuePoint> cues;  // ids 0; purpose "rgn" and a length for regions
  std::vector<LabelLineProblem> problems;
  std::int64_t unreadable = 0;  // lines skipped
  std::int64_t clamped = 0;     // lines used with a time moved to the signal's edge
};

// Reads a label track for a signal of `frameCount` frames at `rate`. Accepts a BOM,
// CR-LF, blank lines and the frequency lines (starting with "\") some editors add under
// a label; positions round to the nearest frame. Texts that are not UTF-8 are read as
// Windows-1252.
LabelReadResult readLabelTrack(std::string_view text, Rate rate, Frames frameCount);

// "Line 4: no TAB between start and end" for the first `maxLines` problems, then
// "... and N more lines".
std::string describeLabelProblems(const std::vector<LabelLineProblem>& problems,
                                  std::size_t maxLines = 10);

}  // namespace voxloom
