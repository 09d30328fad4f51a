#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/ports/speech_listener.h"
#include "core/view/time_axis.h"

namespace voxloom {

// One heard word as the signal view draws it: a bar over its span, at least a column
// wide, and its text at its start when that has room.
struct WordMark {
  std::size_t index = 0;  // into the words
  double x0 = 0;
  double x1 = 0;
  bool labelled = false;
};

// The words inside the visible stretch of `axis` for a signal of `rate` frames per
// second. `textWidth` measures a word's text in columns; texts never overlap, a later
// word gives way to the one before it, as cue labels do.
std::vector<WordMark> wordLaneMarks(const std::vector<HeardWord>& words, const TimeAxis& axis,
                                    double rate,
                                    const std::function<double(const std::string&)>& textWidth);

}  // namespace voxloom
