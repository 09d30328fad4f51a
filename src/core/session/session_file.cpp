#include "core/session/session_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/session/scan_numbers.h"
#include "core/util/replace_file.h"
#include "core/util/text_encoding.h"
#include "core/util/text_line_reader.h"

namespace voxloom {

namespace {

struct HeaderVersion {
  const char* header;
  SessionVersion version;
};
constexpr HeaderVersion kHeaders[] = {
    {"# Voxloom 1.0 session file", SessionVersion::V1_0},
    {"# Voxloom 1.6 session file", SessionVersion::V1_6},
    {"# Voxloom 2.0 session file", SessionVersion::V2_0},
};

bool isControlOrBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::string_view trimLeft(std::string_view s) {
  while (!s.empty() && isControlOrBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view trimBoth(std::string_view s) {
  s = trimLeft(s);
  while (!s.empty() && isControlOrBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A stored text: UTF-8, without the NUL bytes that a C string could not have held.
std::string storedText(std::string_view bytes) {
  bool plain = true;  // the usual case: ASCII without NUL needs no conversion
  for (char c : bytes) plain = plain && c > 0;
  if (plain) return std::string(bytes);
  if (bytes.find('\0') == std::string_view::npos) return fileTextToUtf8(bytes);
  std::string clean;
  clean.reserve(bytes.size());
  for (char c : bytes)
    if (c != '\0') clean.push_back(c);
  return fileTextToUtf8(clean);
}

// A line of the file must stay one line.
void appendOneLine(std::string& out, std::string_view text) {
  for (char c : text) out.push_back(c == '\n' || c == '\r' ? ' ' : c);
  out.push_back('\n');
}

void appendNumber(std::string& out, std::int32_t value) {
  char digits[16];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  (void)ec;
  out.append(digits, end);
}

// The line as the program writes it: each number followed by exactly one blank and the
// next number right behind it. Reads the numbers and drops them with the rules of the
// general path in one pass, and gives exactly its results; false for any other line,
// which the general path then reads.
bool readWrittenNumbers(std::string_view line, std::size_t count, std::int32_t* values,
                        std::string_view& rest) {
  const std::size_t size = line.size();
  std::size_t pos = 0;
  for (std::size_t k = 0; k < count; ++k) {
    bool negative = false;
    if (pos < size && (line[pos] == '-' || line[pos] == '+')) negative = line[pos++] == '-';
    const std::size_t first = pos;
    std::int64_t magnitude = 0;
    // Eleven digits exceed the 32-bit range already; a longer number is not followed by
    // the blank checked below.
    while (pos < size && pos - first < 11 && line[pos] >= '0' && line[pos] <= '9')
      magnitude = magnitude * 10 + (line[pos++] - '0');
    if (pos == first || pos >= size || line[pos] != ' ') return false;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    values[k] = static_cast<std::int32_t>(value);
    ++pos;
  }
  rest = trimLeft(line.substr(pos));
  return true;
}

}  // namespace

const char* versionText(SessionVersion version) {
  switch (version) {
    case SessionVersion::V1_0:
      return "1.0";
    case SessionVersion::V1_6:
      return "1.6";
    case SessionVersion::V2_0:
      return "2.0";
  }
  return "2.0";
}

EvpSegmentEntry parseEntryLine(std::string_view line, SessionVersion version) {
  EvpSegmentEntry entry;
  const std::size_t numbers = version == SessionVersion::V1_0 ? 3 : 4;
  std::int32_t values[4] = {};
  std::string_view rest;
  if (!readWrittenNumbers(line, numbers, values, rest)) {
    scanNumbers(line, values, numbers);
    // One pass per number: drop up to the first blank, then the blanks and controls.
    rest = line;
    for (std::size_t pass = 0; pass < numbers; ++pass) {
      std::size_t blank = 0;  // a plain loop: the blank is a few characters away
      while (blank < rest.size() && rest[blank] != ' ') ++blank;
      if (blank == rest.size()) continue;
      rest = trimLeft(rest.substr(blank));
    }
  }
  entry.start = values[0];
  entry.length = values[1];
  entry.serial = values[2];
  entry.segmentNumber = version == SessionVersion::V1_0 ? -1 : values[3];
  const std::string_view fadeTag = kFadeTag;
  if (rest.starts_with(fadeTag)) {
    entry.fade = true;
    rest = trimBoth(rest.substr(fadeTag.size()));
  }
  entry.label = storedText(rest);
  return entry;
}

SessionFileContent parseSessionText(std::string_view text) {
  SessionFileContent content;
  TextLineReader reader(text);
  const std::string_view header = reader.readTextLine();
  bool known = false;
  for (const HeaderVersion& h : kHeaders) {
    if (header.starts_with(h.header)) {
      content.version = h.version;
      known = true;
      break;
    }
  }
  if (!known) return content;
  content.valid = true;
  // Paths are bytes: one that is not UTF-8 but names an existing file (a Linux file
  // name in another encoding) is that file; otherwise it is Windows-1252 text.
  const std::string_view rawWavPath = reader.readTextLine();
  content.wavPath = storedText(rawWavPath);
  if (!isValidUtf8(rawWavPath) && rawWavPath.find('\0') == std::string_view::npos) {
    struct stat info {};
    if (::stat(std::string(rawWavPath).c_str(), &info) == 0) content.wavPath = rawWavPath;
  }

  for (;;) {
    const std::string_view line = reader.readTextLine();
    if (line.empty()) break;  // an empty line (or the end) ends the file
    if (line == kNextSequenceMarker) {
      // Records of one session tend to be alike: expect as many entries as the last.
      const std::size_t expected =
          content.records.empty() ? 0 : content.records.back().segments.size();
      EvpRecord& record = content.records.emplace_back();
      record.segments.reserve(expected);
      record.dateTime = storedText(reader.readTextLine());
      record.question = storedText(reader.readTextLine());
      record.answer = storedText(reader.readTextLine());
      continue;
    }
    if (content.records.empty()) continue;  // no record to belong to
    content.records.back().segments.push_back(parseEntryLine(line, content.version));
  }
  return content;
}

std::string formatSessionText(const std::string& wavPath, const std::vector<EvpRecord>& records) {
  std::string out;
  std::size_t estimate = 128 + wavPath.size();
  for (const EvpRecord& r : records) estimate += 64 + r.question.size() + r.segments.size() * 40;
  out.reserve(estimate);
  appendOneLine(out, kSessionHeader);
  appendOneLine(out, wavPath);
  for (const EvpRecord& r : records) {
    appendOneLine(out, kNextSequenceMarker);
    appendOneLine(out, r.dateTime);
    appendOneLine(out, r.question);
    appendOneLine(out, r.answer);
    for (const EvpSegmentEntry& e : r.segments) {
      appendNumber(out, e.start);
      out.push_back(' ');
      appendNumber(out, e.length);
      out.push_back(' ');
      appendNumber(out, e.serial);
      out.push_back(' ');
      appendNumber(out, e.segmentNumber);
      out.push_back(' ');
      if (e.fade) out.append(kFadeTag).push_back(' ');
      appendOneLine(out, e.label);
    }
  }
  return out;
}

}  // namespace voxloom
