#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/ports/speech_listener.h"
#include "core/util/units.h"

namespace voxloom {

// Heard words travel as JSON lines: {"word":"...","start":S,"end":E,"confidence":C},
// times in seconds and the confidence with 6 decimals, "." whatever the locale.
std::string heardWordJson(const HeardWord& word);

struct HeardWordsRead {
  std::vector<HeardWord> words;
  std::int64_t unreadable = 0;  // lines that are not such an object, skipped
};

// Reads the lines heardWordJson() writes; blank lines are skipped, and fields beyond
// the four are allowed so that the format can grow.
HeardWordsRead readHeardWords(std::string_view text);

// The words as region cues labelled with the word, for a signal at `rate` with
// `frameCount` frames (times beyond it are moved to its end).
std::vector<CuePoint> heardWordsAsCues(const std::vector<HeardWord>& words, Rate rate,
                                       Frames frameCount);

}  // namespace voxloom
