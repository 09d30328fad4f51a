#include "core/session/record_trace.h"

#include <memory>

#include "core/util/json_read.h"

namespace voxloom {

namespace {

constexpr const char* kRepetition = "repetition";
constexpr const char* kProportion = "proportion";

int kindFromName(const std::string& name) {
  for (int kind = 0;; ++kind) {
    const std::string known = sourceKindName(kind);
    if (known == name) return kind;
    if (known == "unknown") return -1;
  }
}

std::optional<std::int64_t> integerOf(const JsonValue& object, std::string_view key) {
  const JsonValue* v = object.find(key);
  if (v == nullptr || v->type != JsonValue::Type::Integer) return std::nullopt;
  return v->integer;
}

// One line read back, with the record number and date and time it belongs to.
struct SidecarLine {
  std::int64_t record = 0;
  std::string dateTime;
  RecordHealth health;
};

std::optional<SidecarLine> parseLine(std::string_view line) {
  const std::optional<JsonValue> json = parseJson(line);
  if (!json || json->type != JsonValue::Type::Object) return std::nullopt;
  SidecarLine out;
  const auto record = integerOf(*json, "record");
  const auto draws = integerOf(*json, "draws");
  const auto failureCount = integerOf(*json, "failures");
  const JsonValue* date = json->find("date");
  const JsonValue* source = json->find("source");
  const JsonValue* failed = json->find("failed");
  if (!record || !draws || !failureCount || date == nullptr ||
      date->type != JsonValue::Type::String || source == nullptr ||
      source->type != JsonValue::Type::String || failed == nullptr ||
      failed->type != JsonValue::Type::Array)
    return std::nullopt;
  out.record = *record;
  out.dateTime = date->text;
  out.health.sourceKind = kindFromName(source->text);
  out.health.draws = *draws;
  out.health.failureCount = *failureCount;
  if (out.health.sourceKind < 0 || *draws < 0 || *failureCount < 0 ||
      failed->items.size() > SourceHealth::kKeptFailures)
    return std::nullopt;
  for (const JsonValue& item : failed->items) {
    const auto draw = integerOf(item, "draw");
    const JsonValue* test = item.find("test");
    if (!draw || test == nullptr || (test->text != kRepetition && test->text != kProportion))
      return std::nullopt;
    out.health.failures.push_back({*draw, test->text == kRepetition});
  }
  return out;
}

}  // namespace

RecordHealth recordHealthOf(const SourceHealth& health) {
  return {static_cast<int>(health.kind()), health.draws(), health.failureCount(),
          health.failures()};
}

std::string healthSidecarPath(const std::string& sessionPath) {
  return sessionPath + ".health.jsonl";
}

std::string skippedHealthLinesText(const std::string& path, std::int64_t skipped) {
  return std::to_string(skipped) + (skipped == 1 ? " line" : " lines") + " of the health file '" +
         path + "' " + (skipped == 1 ? "is" : "are") + " longer than any health line can be and " +
         (skipped == 1 ? "was" : "were") + " skipped.";
}

std::string formatHealthSidecar(const std::vector<EvpRecord>& records) {
  std::string out;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const EvpRecord& r = records[i];
    if (!r.trace || !r.trace->health) continue;
    const RecordHealth& h = *r.trace->health;
    out += "{\"record\":" + std::to_string(i + 1);
    out += ",\"date\":" + jsonQuote(r.dateTime);
    out += ",\"source\":" + jsonQuote(sourceKindName(h.sourceKind));
    out += ",\"draws\":" + std::to_string(h.draws);
    out += ",\"failures\":" + std::to_string(h.failureCount);
    out += ",\"failed\":[";
    for (std::size_t k = 0; k < h.failures.size(); ++k) {
      if (k > 0) out += ',';
      out += "{\"draw\":" + std::to_string(h.failures[k].draw) + ",\"test\":\"";
      out += h.failures[k].repetition ? kRepetition : kProportion;
      out += "\"}";
    }
    out += "]}\n";
  }
  return out;
}

bool applyHealthSidecar(std::string_view text, std::vector<EvpRecord>& records) {
  std::vector<SidecarLine> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    auto parsed = parseLine(line);
    if (!parsed) return false;
    lines.push_back(std::move(*parsed));
  }
  for (SidecarLine& line : lines) {
    if (line.record < 1 || line.record > static_cast<std::int64_t>(records.size())) continue;
    EvpRecord& record = records[static_cast<std::size_t>(line.record - 1)];
    if (record.dateTime != line.dateTime) continue;
    auto trace = record.trace ? std::make_shared<RecordTrace>(*record.trace)
                              : std::make_shared<RecordTrace>();
    trace->health = std::move(line.health);
    record.trace = std::move(trace);
  }
  return true;
}

}  // namespace voxloom
