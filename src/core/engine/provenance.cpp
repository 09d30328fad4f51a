#include "core/engine/provenance.h"

#include "core/random/random_source_kind.h"

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
  return randomSourceName(kind);
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
  out += jsonQuote(sourceKindName(b.sourceKind));
  out += ",\"raw\":[";
  for (std::size_t i = 0; i < b.draws.raw.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& raw = b.draws.raw[i];
    out += isJsonNumber(raw) ? raw : jsonQuote(raw);
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
    out += ",\"label\":" + jsonQuote(b.label);
  } else {
    out += ",\"segment\":" + std::to_string(b.segmentNumber);
  }
  out += b.fade ? ",\"fade\":true" : ",\"fade\":false";
  out += ",\"health\":" + jsonQuote(b.health);
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
