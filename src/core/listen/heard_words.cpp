#include "core/listen/heard_words.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/util/json_read.h"
#include "core/util/json_text.h"
#include "core/util/number_text.h"
#include "core/util/text_line_reader.h"

namespace voxloom {

namespace {

bool numberOf(const JsonValue& object, std::string_view key, double& out) {
  const JsonValue* v = object.find(key);
  if (v == nullptr || (v->type != JsonValue::Type::Integer && v->type != JsonValue::Type::Real))
    return false;
  out = v->real;
  return true;
}

Frames frameAt(double seconds, Rate rate, Frames frameCount) {
  const double frame = std::round(seconds * rate);
  return static_cast<Frames>(std::clamp(frame, 0.0, static_cast<double>(frameCount)));
}

}  // namespace

std::string heardWordJson(const HeardWord& word) {
  std::string out = "{\"word\":" + jsonQuote(word.word) + ",\"start\":";
  appendFixed(out, word.start, 6);
  out += ",\"end\":";
  appendFixed(out, word.end, 6);
  out += ",\"confidence\":";
  appendFixed(out, word.confidence, 6);
  out += '}';
  return out;
}

HeardWordsRead readHeardWords(std::string_view text) {
  HeardWordsRead read;
  for (TextLineReader lines(text); !lines.atEnd();) {
    const std::string_view line = lines.readTextLine();
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    const auto json = parseJson(line);
    HeardWord word;
    const JsonValue* w = json ? json->find("word") : nullptr;
    if (w == nullptr || w->type != JsonValue::Type::String ||
        !numberOf(*json, "start", word.start) || !numberOf(*json, "end", word.end) ||
        !numberOf(*json, "confidence", word.confidence) || word.end < word.start) {
      ++read.unreadable;
      continue;
    }
    word.word = w->text;
    read.words.push_back(std::move(word));
  }
  return read;
}

std::vector<CuePoint> heardWordsAsCues(const std::vector<HeardWord>& words, Rate rate,
                                       Frames frameCount) {
  std::vector<CuePoint> cues;
  cues.reserve(words.size());
  for (const HeardWord& word : words) {
    CuePoint cue;
    cue.position = frameAt(word.start, rate, frameCount);
    cue.length = frameAt(word.end, rate, frameCount) - cue.position;
    cue.label = word.word;
    if (cue.length > 0) cue.purpose = "rgn";
    cues.push_back(std::move(cue));
  }
  return cues;
}

}  // namespace voxloom
