#include "core/labels/label_track.h"

#include <charconv>
#include <cmath>

#include "core/audio/wav_writer.h"
#include "core/util/text_encoding.h"

namespace voxloom {

namespace {

void appendSeconds(std::string& out, Frames frame, Rate rate) {
  char buffer[64];
  const double seconds = static_cast<double>(frame) / rate;
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed, 6);
  out.append(buffer, ec == std::errc{} ? end : buffer);
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ')) s.remove_suffix(1);
  return s;
}

bool parseSeconds(std::string_view field, double& value) {
  field = trimBlanks(field);
  if (field.empty()) return false;
  const char* first = field.data();
  const char* last = first + field.size();
  if (*first == '+') ++first;  // from_chars takes no sign but "-"
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
  return ec == std::errc{} && end == last && std::isfinite(value);
}

// The nearest frame of a time, clamped to 0..frameCount; `clamped` tells whether it was.
Frames toFrame(double seconds, Rate rate, Frames frameCount, bool& clamped) {
  const double frames = std::nearbyint(seconds * rate);
  if (frames < 0) {
    clamped = true;
    return 0;
  }
  if (frames > frameCount) {
    clamped = true;
    return frameCount;
  }
  return static_cast<Frames>(frames);
}

}  // namespace

std::string writeLabelTrack(const std::vector<CuePoint>& cues, Rate rate) {
  std::string out;
  if (rate <= 0) return out;
  out.reserve(cues.size() * 40);
  for (const CuePoint& cue : cues) {
    appendSeconds(out, cue.position, rate);
    out += '\t';
    appendSeconds(out, cue.position + std::max<Frames>(cue.length, 0), rate);
    out += '\t';
    const std::size_t at = out.size();
    out += cutUtf8(cue.label, kMaxCueTextBytes);
    for (std::size_t i = at; i < out.size(); ++i)
      if (out[i] == '\t' || out[i] == '\r' || out[i] == '\n') out[i] = ' ';
    out += '\n';
  }
  return out;
}

LabelReadResult readLabelTrack(std::string_view text, Rate rate, Frames frameCount) {
  LabelReadResult result;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  frameCount = std::max<Frames>(frameCount, 0);
  std::int64_t lineNumber = 0;
  auto bad = [&](LabelProblem problem) {
    result.problems.push_back({lineNumber, problem});
    ++result.unreadable;
  };
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (trimBlanks(line).empty() || line.front() == '\\') continue;

    const std::size_t tab1 = line.find('\t');
    if (tab1 == std::string_view::npos) {
      bad(LabelProblem::MissingField);
      continue;
    }
    const std::size_t tab2 = line.find('\t', tab1 + 1);
    const std::string_view endField = line.substr(
        tab1 + 1, tab2 == std::string_view::npos ? std::string_view::npos : tab2 - tab1 - 1);
    double start = 0;
    double end = 0;
    if (rate <= 0 || !parseSeconds(line.substr(0, tab1), start) || !parseSeconds(endField, end)) {
      bad(LabelProblem::BadNumber);
      continue;
    }
    if (end < start) {
      bad(LabelProblem::EndBeforeStart);
      continue;
    }
    bool clamped = false;
    CuePoint cue;
    cue.position = toFrame(start, rate, frameCount, clamped);
    cue.length = toFrame(end, rate, frameCount, clamped) - cue.position;
    if (cue.length > 0) cue.purpose = "rgn";
    if (tab2 != std::string_view::npos) {
      std::string label = fileTextToUtf8(line.substr(tab2 + 1));
      for (char& c : label)
        if (c == '\t' || c == '\r') c = ' ';  // as the writer would write them
      cue.label = cutUtf8(label, kMaxCueTextBytes);
    }
    if (clamped) {
      result.problems.push_back({lineNumber, LabelProblem::Clamped});
      ++result.clamped;
    }
    result.cues.push_back(std::move(cue));
  }
  return result;
}

std::string describeLabelProblems(const std::vector<LabelLineProblem>& problems,
                                  std::size_t maxLines) {
  std::string text;
  const std::size_t shown = std::min(problems.size(), maxLines);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) text += '\n';
    text += "Line " + std::to_string(problems[i].line) + ": ";
    switch (problems[i].problem) {
      case LabelProblem::MissingField:
        text += "no TAB between start and end";
        break;
      case LabelProblem::BadNumber:
        text += "start or end is not a time in seconds";
        break;
      case LabelProblem::EndBeforeStart:
        text += "end before start";
        break;
      case LabelProblem::Clamped:
        text += "time outside the signal, moved to its edge";
        break;
    }
  }
  if (problems.size() > shown)
    text += "\n... and " + std::to_string(problems.size() - shown) + " more lines";
  return text;
}

}  // namespace voxloom
