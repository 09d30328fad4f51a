#include "core/study/study_plan.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>
#include <utility>

#include "core/listen/heard_words.h"
#include "core/util/json_read.h"
#include "core/util/json_text.h"
#include "core/util/number_text.h"

namespace voxloom {

namespace {

std::optional<std::int64_t> wholeMember(const JsonValue& object, std::string_view key,
                                        std::int64_t lo, std::int64_t hi) {
  const JsonValue* v = object.find(key);
  if (v == nullptr || v->type != JsonValue::Type::Integer || v->integer < lo || v->integer > hi)
    return std::nullopt;
  return v->integer;
}

std::optional<double> numberMember(const JsonValue& object, std::string_view key) {
  const JsonValue* v = object.find(key);
  if (v == nullptr || (v->type != JsonValue::Type::Integer && v->type != JsonValue::Type::Real))
    return std::nullopt;
  return v->real;
}

const JsonValue* stringMember(const JsonValue& object, std::string_view key) {
  const JsonValue* v = object.find(key);
  return v != nullptr && v->type == JsonValue::Type::String ? v : nullptr;
}

template <typename T>
std::optional<T> parseWhole(std::string_view text) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::string armSummaryJson(const ArmSummary& arm) {
  std::string out = "{\"runs\":" + std::to_string(arm.runs) + ",\"mean_wpm\":";
  appendFixed(out, arm.meanWpm, 6);
  out += ",\"median_wpm\":";
  appendFixed(out, arm.medianWpm, 6);
  out += ",\"words\":" + std::to_string(arm.words) + '}';
  return out;
}

}  // namespace

const char* studyArmName(StudyArm arm) {
  return arm == StudyArm::Evp ? "evp" : "control";
}

std::optional<StudyShard> parseStudyShard(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const auto index = parseWhole<int>(text.substr(0, slash));
  const auto count = parseWhole<int>(text.substr(slash + 1));
  if (!index || !count || *count < 1 || *index < 0 || *index >= *count) return std::nullopt;
  return StudyShard{*index, *count};
}

std::string studyShardText(StudyShard shard) {
  return std::to_string(shard.index) + '/' + std::to_string(shard.count);
}

std::uint32_t StudyPlan::seedOf(int run, StudyArm arm) const {
  const StudyArm from = controlSharesSeed ? StudyArm::Evp : arm;
  // The (2 * run + arm + 1)th value of the study seed's sequence.
  SplitMix64 sequence(seed + 0x9E3779B97F4A7C15ull * (2 * static_cast<std::uint64_t>(run) +
                                                      static_cast<std::uint64_t>(from)));
  return static_cast<std::uint32_t>(sequence.next() >> 32);
}

std::vector<int> StudyPlan::shardRuns() const {
  std::vector<int> out;
  for (int run = shard.index; run < runs; run += shard.count) out.push_back(run);
  return out;
}

double RunRecord::seconds() const {
  return rate > 0 ? static_cast<double>(frames) / rate : 0.0;
}

double RunRecord::wordsPerMinute() const {
  if (frames <= 0 || rate == 0) return 0.0;
  return static_cast<double>(words.size()) * 60.0 * rate / static_cast<double>(frames);
}

double RunRecord::meanConfidence() const {
  if (words.empty()) return 0.0;
  double sum = 0.0;
  for (const HeardWord& w : words) sum += w.confidence;
  return sum / static_cast<double>(words.size());
}

std::string runRecordJson(const RunRecord& r) {
  std::string out = "{\"run\":" + std::to_string(r.run) + ",\"arm\":\"" + studyArmName(r.arm) +
                    "\",\"seed\":" + std::to_string(r.seed) +
                    ",\"frames\":" + std::to_string(r.frames) +
                    ",\"rate\":" + std::to_string(r.rate) + ",\"seconds\":";
  appendFixed(out, r.seconds(), 6);
  out += ",\"words\":" + std::to_string(r.words.size()) + ",\"wpm\":";
  appendFixed(out, r.wordsPerMinute(), 6);
  out += ",\"mean_confidence\":";
  appendFixed(out, r.meanConfidence(), 6);
  out += ",\"heard\":[";
  for (std::size_t i = 0; i < r.words.size(); ++i) {
    if (i > 0) out += ',';
    out += heardWordJson(r.words[i]);
  }
  out += "]}";
  return out;
}

std::optional<RunRecord> readRunRecord(std::string_view line) {
  const auto json = parseJson(line);
  if (!json || json->type != JsonValue::Type::Object) return std::nullopt;
  RunRecord r;
  const auto run = wholeMember(*json, "run", 0, std::numeric_limits<int>::max());
  const JsonValue* arm = stringMember(*json, "arm");
  const auto seed = wholeMember(*json, "seed", 0, std::numeric_limits<std::uint32_t>::max());
  const auto frames = wholeMember(*json, "frames", 0, std::numeric_limits<std::int64_t>::max());
  const auto rate = wholeMember(*json, "rate", 1, std::numeric_limits<std::uint32_t>::max());
  const auto count = wholeMember(*json, "words", 0, std::numeric_limits<std::int64_t>::max());
  const JsonValue* heard = json->find("heard");
  if (!run || arm == nullptr || (arm->text != "evp" && arm->text != "control") || !seed ||
      !frames || !rate || !count || heard == nullptr || heard->type != JsonValue::Type::Array ||
      static_cast<std::size_t>(*count) != heard->items.size())
    return std::nullopt;
  r.run = static_cast<int>(*run);
  r.arm = arm->text == "evp" ? StudyArm::Evp : StudyArm::Control;
  r.seed = static_cast<std::uint32_t>(*seed);
  r.frames = *frames;
  r.rate = static_cast<std::uint32_t>(*rate);
  for (const JsonValue& item : heard->items) {
    const JsonValue* word = stringMember(item, "word");
    const auto start = numberMember(item, "start");
    const auto end = numberMember(item, "end");
    const auto confidence = numberMember(item, "confidence");
    if (word == nullptr || !start || !end || !confidence) return std::nullopt;
    r.words.push_back({word->text, *start, *end, *confidence});
  }
  return r;
}

void sortRunRecords(std::vector<RunRecord>& records) {
  std::stable_sort(records.begin(), records.end(), [](const RunRecord& a, const RunRecord& b) {
    return std::pair{a.run, a.arm} < std::pair{b.run, b.arm};
  });
}

StudySummary summarizeStudy(const std::vector<RunRecord>& unordered, std::uint64_t seed) {
  std::vector<RunRecord> records = unordered;
  sortRunRecords(records);
  std::vector<double> evp;
  std::vector<double> control;
  StudySummary s;
  for (const RunRecord& r : records) {
    ArmSummary& arm = r.arm == StudyArm::Evp ? s.evp : s.control;
    ++arm.runs;
    arm.words += static_cast<std::int64_t>(r.words.size());
    (r.arm == StudyArm::Evp ? evp : control).push_back(r.wordsPerMinute());
  }
  s.evp.meanWpm = meanOf(evp);
  s.evp.medianWpm = medianOf(evp);
  s.control.meanWpm = meanOf(control);
  s.control.medianWpm = medianOf(control);
  s.difference = s.evp.meanWpm - s.control.meanWpm;
  // A stream of its own, apart from the seeds of the runs.
  s.ci95 = bootstrapMeanDifference(evp, control, SplitMix64(~seed).next());
  const MannWhitney test = mannWhitneyU(evp, control);
  s.pValue = test.p;
  s.exact = test.exact;
  return s;
}

std::string studySummaryJson(const StudySummary& s) {
  std::string out = "{\"evp\":" + armSummaryJson(s.evp) +
                    ",\"control\":" + armSummaryJson(s.control) + ",\"difference\":";
  appendFixed(out, s.difference, 6);
  out += ",\"ci95\":[";
  appendFixed(out, s.ci95.low, 6);
  out += ',';
  appendFixed(out, s.ci95.high, 6);
  // Six significant digits: a strong effect gives p-values far below 0.000001.
  out += "],\"p_value\":";
  char buffer[32];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, s.pValue, std::chars_format::general, 6);
  out.append(buffer, ec == std::errc{} ? end : buffer);
  out += ",\"exact_test\":";
  out += s.exact ? "true" : "false";
  out += '}';
  return out;
}

std::string studyHeaderJson(const StudyHeader& h) {
  std::string out = "{\"options\":[";
  for (std::size_t i = 0; i < h.options.size(); ++i) {
    if (i > 0) out += ',';
    out += jsonQuote(h.options[i]);
  }
  // The seed as text: JSON readers need not keep 64-bit whole numbers exact.
  out += "],\"runs\":" + std::to_string(h.runs) + ",\"seed\":\"" + std::to_string(h.seed) +
         "\",\"shard\":\"" + studyShardText(h.shard) + "\"}";
  return out;
}

std::optional<StudyHeader> readStudyHeader(std::string_view text) {
  const auto json = parseJson(text);
  if (!json || json->type != JsonValue::Type::Object) return std::nullopt;
  StudyHeader h;
  const JsonValue* options = json->find("options");
  const auto runs = wholeMember(*json, "runs", 1, std::numeric_limits<int>::max());
  const JsonValue* seed = stringMember(*json, "seed");
  const JsonValue* shard = stringMember(*json, "shard");
  if (options == nullptr || options->type != JsonValue::Type::Array || !runs || seed == nullptr ||
      shard == nullptr)
    return std::nullopt;
  for (const JsonValue& o : options->items) {
    if (o.type != JsonValue::Type::String) return std::nullopt;
    h.options.push_back(o.text);
  }
  const auto seedValue = parseWhole<std::uint64_t>(seed->text);
  const auto shardValue = parseStudyShard(shard->text);
  if (!seedValue || !shardValue) return std::nullopt;
  h.runs = static_cast<int>(*runs);
  h.seed = *seedValue;
  h.shard = *shardValue;
  return h;
}

MergedStudy mergeStudyShards(const std::vector<ShardOutput>& shards) {
  MergedStudy merged;
  if (shards.empty()) {
    merged.error = "There is nothing to merge.";
    return merged;
  }
  const ShardOutput& first = shards.front();
  merged.header = first.header;
  merged.header.shard = {};
  std::map<std::pair<int, StudyArm>, const std::string*> holder;
  for (const ShardOutput& shard : shards) {
    const StudyHeader& h = shard.header;
    if (h.options != first.header.options || h.runs != first.header.runs ||
        h.seed != first.header.seed) {
      merged.error = "'" + shard.name + "' is not a shard of the study in '" + first.name +
                     "': its options, runs or seed differ.";
      return merged;
    }
    for (const RunRecord& r : shard.records) {
      const std::string what = "run " + std::to_string(r.run) + " (" + studyArmName(r.arm) + ")";
      if (r.run >= h.runs || r.run % h.shard.count != h.shard.index) {
        merged.error = "'" + shard.name + "' holds " + what + ", which is not part of its shard " +
                       studyShardText(h.shard) + ".";
        return merged;
      }
      const auto [at, added] = holder.emplace(std::pair{r.run, r.arm}, &shard.name);
      if (!added) {
        merged.error = what + " is in both '" + *at->second + "' and '" + shard.name + "'.";
        return merged;
      }
      merged.records.push_back(r);
    }
  }
  for (int run = 0; run < first.header.runs; ++run) {
    for (StudyArm arm : {StudyArm::Evp, StudyArm::Control}) {
      if (!holder.contains({run, arm})) {
        merged.error = "Run " + std::to_string(run) + " (" + studyArmName(arm) +
                       ") is missing: no shard given holds it.";
        return merged;
      }
    }
  }
  sortRunRecords(merged.records);
  return merged;
}

}  // namespace voxloom
