#include "core/session/record_words.h"

#include <memory>
#include <optional>

#include "core/listen/heard_words.h"
#include "core/session/record_trace.h"
#include "core/util/json_read.h"
#include "core/util/json_text.h"
#include "core/util/text_line_reader.h"

namespace voxloom {

namespace {

std::optional<double> numberOf(const JsonValue& object, std::string_view key) {
  const JsonValue* v = object.find(key);
  if (v == nullptr || (v->type != JsonValue::Type::Integer && v->type != JsonValue::Type::Real))
    return std::nullopt;
  return v->real;
}

struct ListenLine {
  std::int64_t record = 0;
  std::string dateTime;
  std::vector<HeardWord> words;
};

std::optional<ListenLine> parseLine(std::string_view line) {
  const std::optional<JsonValue> json = parseJson(line);
  if (!json || json->type != JsonValue::Type::Object) return std::nullopt;
  const JsonValue* record = json->find("record");
  const JsonValue* date = json->find("date");
  const JsonValue* words = json->find("words");
  if (record == nullptr || record->type != JsonValue::Type::Integer || date == nullptr ||
      date->type != JsonValue::Type::String || words == nullptr ||
      words->type != JsonValue::Type::Array)
    return std::nullopt;
  ListenLine out{record->integer, date->text, {}};
  for (const JsonValue& item : words->items) {
    const JsonValue* word = item.find("word");
    const auto start = numberOf(item, "start");
    const auto end = numberOf(item, "end");
    const auto confidence = numberOf(item, "confidence");
    if (word == nullptr || word->type != JsonValue::Type::String || !start || !end || !confidence ||
        *end < *start)
      return std::nullopt;
    out.words.push_back({word->text, *start, *end, *confidence});
  }
  return out;
}

}  // namespace

std::string listenSidecarPath(const std::string& sessionPath) {
  return sessionPath + ".listen.jsonl";
}

std::string formatListenSidecar(const std::vector<EvpRecord>& records) {
  std::string out;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const EvpRecord& r = records[i];
    if (!r.trace || !r.trace->heard) continue;
    out += "{\"record\":" + std::to_string(i + 1) + ",\"date\":" + jsonQuote(r.dateTime) +
           ",\"words\":[";
    const std::vector<HeardWord>& words = *r.trace->heard;
    for (std::size_t k = 0; k < words.size(); ++k) {
      if (k > 0) out += ',';
      out += heardWordJson(words[k]);
    }
    out += "]}\n";
  }
  return out;
}

void setHeardWords(EvpRecord& record, std::vector<HeardWord> words) {
  auto trace =
      record.trace ? std::make_shared<RecordTrace>(*record.trace) : std::make_shared<RecordTrace>();
  trace->heard = std::move(words);
  record.trace = std::move(trace);
}

std::int64_t applyListenSidecar(std::string_view text, std::vector<EvpRecord>& records) {
  std::int64_t unreadable = 0;
  for (TextLineReader lines(text); !lines.atEnd();) {
    const std::string_view line = lines.readTextLine();
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    auto parsed = parseLine(line);
    if (!parsed) {
      ++unreadable;
      continue;
    }
    if (parsed->record < 1 || parsed->record > static_cast<std::int64_t>(records.size())) continue;
    EvpRecord& record = records[static_cast<std::size_t>(parsed->record - 1)];
    if (record.dateTime != parsed->dateTime) continue;
    setHeardWords(record, std::move(parsed->words));
  }
  return unreadable;
}

std::string heardWordsText(const EvpRecord& record) {
  if (!record.trace || !record.trace->heard) return {};
  const std::vector<HeardWord>& words = *record.trace->heard;
  if (words.empty()) return "nothing";
  std::string text;
  for (const HeardWord& w : words) {
    if (!text.empty()) text += ' ';
    text += w.word;
  }
  return text + " (" + std::to_string(words.size()) + (words.size() == 1 ? " word)" : " words)");
}

}  // namespace voxloom
