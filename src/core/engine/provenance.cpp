#include "core/engine/provenance.h"

#include <cstdio>
#include <iterator>

namespace voxloom {

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Skips a run of digits from `i`; false when there is none.
bool skipDigits(std::string_view text, std::size_t& i) {
  const std::size_t first = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  return i > first;
}

}  // namespace

const char* sourceKindName(int kind) {
  static constexpr const char* kNames[] = {"pseudo",   "soundcard", "file",    "fractal",
                                           "internet", "manual",    "parport", "device"};
  if (kind < 0 || kind >= static_cast<int>(std::size(kNames))) return "unknown";
  return kNames[kind];
}

std::string jsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

bool isJsonNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  if (i < text.size() && text[i] == '0') {
    ++i;
  } else if (i >= text.size() || !skipDigits(text, i)) {
    return false;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (!skipDigits(text, i)) return false;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (!skipDigits(text, i)) return false;
  }
  return i == text.size();
}

std::string provenanceLine(const ProvenanceBlock& b) {
  std::string out = "{\"block\":" + std::to_string(b.block);
  out += ",\"source\":";
  out += jsonString(sourceKindName(b.sourceKind));
  out += ",\"raw\":[";
  for (std::size_t i = 0; i < b.draws.raw.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& raw = b.draws.raw[i];
    out += isJsonNumber(raw) ? raw : jsonString(raw);
  }
  out += "],\"mapped\":[";
  for (std::size_t i = 0; i < b.draws.mapped.size(); ++i) {
    if (i > 0) out += ',';
    out += std::to_string(b.draws.mapped[i]);
  }
  out += "],\"start\":" + std::to_string(b.start);
  out += ",\"length\":" + std::to_string(b.length);
  if (b.cueList) {
    out += ",\"cue\":" + std::to_string(b.segmentNumber);
    out += ",\"label\":" + jsonString(b.label);
  } else {
    out += ",\"segment\":" + std::to_string(b.segmentNumber);
  }
  out += b.fade ? ",\"fade\":true" : ",\"fade\":false";
  out += ",\"health\":" + jsonString(b.health);
  out += '}';
  return out;
}

std::string provenanceJsonl(const std::vector<ProvenanceBlock>& blocks) {
  std::string out;
  for (const ProvenanceBlock& b : blocks) {
    out += provenanceLine(b);
    out += '\n';
  }
  return out;
}

}  // namespace voxloom
