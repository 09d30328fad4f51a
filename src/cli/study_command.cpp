#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_prompter.h"
#include "cli/cli_services.h"
#include "cli/commands.h"
#include "cli/evp_options.h"
#include "cli/source_options.h"
#include "cli/study_sound.h"
#include "core/study/study_plan.h"
#include "core/study/study_runner.h"
#include "core/util/number_text.h"
#include "core/util/replace_file.h"
#include "platform/plot/study_plot.h"
#include "platform/speech/speech_listener_factory.h"

namespace voxloom::cli {

namespace {

const std::string kUsage =
    std::string(
        "voxloom-cli study IN.wav --runs N --control reversed|source:SPEC [--seconds S]\n"
        "       [--seed K] [--jobs J] [--shard I/M] [--out DIR] [--plot OUT.svg] [--model DIR]\n"
        "       ") +
    kEvpShapeUsage + "\n       " + kSourceOptionsUsage +
    "\n       voxloom-cli study --merge DIR... [--out DIR] [--plot OUT.svg]";

constexpr double kDefaultSeconds = 15.0;
constexpr double kMaxSeconds = 3600.0;  // a study of hour-long EVPs is a typing error
constexpr int kMaxRuns = 1000000;
constexpr int kMaxJobs = 1024;
constexpr std::uint64_t kDefaultSeed = 1;

const char* const kRunsFile = "runs.jsonl";
const char* const kSummaryFile = "summary.json";
const char* const kStudyFile = "study.json";

struct StudyArgs {
  bool merge = false;
  std::vector<std::string> files;  // the input, or the folders to merge
  SourceOptions source;
  EvpShapeOptions shape;
  int runs = 0;
  double seconds = kDefaultSeconds;
  std::string control;
  std::optional<SourceOptions> controlSource;
  std::uint64_t seed = kDefaultSeed;
  int jobs = 0;
  StudyShard shard;
  std::string outDir;
  std::string plotPath;
  std::string modelDir;
  // What makes this study this study: shards merge only when these are equal.
  std::vector<std::string> identity;
};

std::string parseArgs(const std::vector<std::string>& args, StudyArgs& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const std::size_t at = i;
    const bool ownsValue = a == "--runs" || a == "--seconds" || a == "--control" || a == "--seed" ||
                           a == "--jobs" || a == "--shard" || a == "--out" || a == "--plot" ||
                           a == "--model";
    if (a == "--merge") {
      out.merge = true;
      continue;
    }
    if (!ownsValue) {
      std::string error;
      OptionTake take = takeSourceOption(args, i, out.source, error);
      if (take == OptionTake::NotMine) take = takeEvpShapeOption(args, i, out.shape, error);
      if (take == OptionTake::Wrong) return error;
      if (take == OptionTake::NotMine) {
        if (a.starts_with("-") && a != "-") return "unknown option " + a;
        out.files.push_back(a);
      }
      for (std::size_t k = at; k <= i; ++k) out.identity.push_back(args[k]);
      continue;
    }
    if (i + 1 >= args.size()) return a + " needs a value";
    const std::string& v = args[++i];
    if (a == "--runs") {
      const auto runs = parseWholeNumber<int>(v, 1, kMaxRuns);
      if (!runs) return "--runs needs a whole number 1..1000000";
      out.runs = *runs;
    } else if (a == "--seconds") {
      const auto s = parseDecimal<double>(v);
      if (!s || !std::isfinite(*s) || *s <= 0 || *s > kMaxSeconds)
        return "--seconds needs a number > 0 and at most 3600";
      out.seconds = *s;
    } else if (a == "--control") {
      out.control = v;
    } else if (a == "--seed") {
      const auto seed = parseWholeNumber<std::uint64_t>(v);
      if (!seed) return "--seed needs a whole number";
      out.seed = *seed;
    } else if (a == "--jobs") {
      const auto jobs = parseWholeNumber<int>(v, 1, kMaxJobs);
      if (!jobs) return "--jobs needs a whole number 1..1024";
      out.jobs = *jobs;
    } else if (a == "--shard") {
      const auto shard = parseStudyShard(v);
      if (!shard) return "--shard needs I/M with 0 <= I < M";
      out.shard = *shard;
    } else if (a == "--out") {
      out.outDir = v;
    } else if (a == "--plot") {
      out.plotPath = v;
    } else {
      out.modelDir = v;
    }
    // Threads, shards and where the results go do not change them.
    if (a == "--runs" || a == "--seconds" || a == "--control" || a == "--seed" || a == "--model") {
      out.identity.push_back(a);
      out.identity.push_back(v);
    }
  }
  if (out.merge) {
    if (out.files.empty()) return "study --merge needs the folders of the shards";
    if (out.identity.size() != out.files.size() || out.shard != StudyShard{} || out.jobs != 0 ||
        !out.modelDir.empty())
      return "study --merge takes only folders, --out and --plot";
    return {};
  }
  if (out.files.size() != 1) return "study takes one input WAV file";
  if (out.runs == 0) return "study needs --runs N";
  if (out.control.empty()) return "study needs --control reversed or --control source:SPEC";
  if (out.control.starts_with("source:")) {
    SourceOptions control = out.source;
    const std::vector<std::string> sourceArgs = {"--source", out.control.substr(7)};
    std::size_t i = 0;
    std::string error;
    if (takeSourceOption(sourceArgs, i, control, error) != OptionTake::Taken)
      return "--control " + out.control + ": " + error;
    out.controlSource = control;
  } else if (out.control != "reversed") {
    return "unknown control '" + out.control + "': use reversed or source:SPEC";
  }
  return {};
}

std::string joinPath(const std::string& dir, const char* name) {
  return (std::filesystem::path(dir) / name).string();
}

std::string readWholeFile(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  ok = static_cast<bool>(in) || in.eof();
  return text.str();
}

void guardOutputs(const StudyArgs& a, OutputGuard& files) {
  if (!a.outDir.empty()) {
    files.output("run list", joinPath(a.outDir, kRunsFile));
    files.output("summary", joinPath(a.outDir, kSummaryFile));
    files.output("study description", joinPath(a.outDir, kStudyFile));
  }
  files.output("plot", a.plotPath);
}

// Writes the folder's files, prints the summary and draws the plot.
int finishStudy(const StudyArgs& a, const StudyHeader& header,
                const std::vector<RunRecord>& records) {
  CliPrompter prompter;
  const std::string summary = studySummaryJson(summarizeStudy(records, header.seed)) + '\n';
  if (!a.outDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(a.outDir, ec);
    std::string lines;
    for (const RunRecord& r : records) lines += runRecordJson(r) + '\n';
    for (const auto& [name, text] : {std::pair{kRunsFile, lines}, std::pair{kSummaryFile, summary},
                                     std::pair{kStudyFile, studyHeaderJson(header) + '\n'}}) {
      const std::string path = joinPath(a.outDir, name);
      if (!writeFileAtomically(path, text)) {
        prompter.error("Can't write '" + path + "'.");
        return kExitFailed;
      }
    }
  }
  std::cout << summary;
  if (!a.plotPath.empty()) {
    std::vector<double> evp;
    std::vector<double> control;
    for (const RunRecord& r : records)
      (r.arm == StudyArm::Evp ? evp : control).push_back(r.wordsPerMinute());
    // Merged shards name their control among their options.
    std::string controlName = a.control;
    for (std::size_t i = 0; i + 1 < header.options.size(); ++i)
      if (header.options[i] == "--control") controlName = header.options[i + 1];
    std::string error;
    if (!writeStudyPlot(a.plotPath, evp, control, controlName, error)) {
      prompter.error(error);
      return kExitFailed;
    }
  }
  return kExitOk;
}

int runMerge(const StudyArgs& a) {
  OutputGuard files;
  for (const std::string& dir : a.files) {
    files.input("shard's run list", joinPath(dir, kRunsFile));
    files.input("shard's study description", joinPath(dir, kStudyFile));
  }
  guardOutputs(a, files);
  if (const auto clash = files.check()) return usageError(clash->text(), kUsage);
  CliPrompter prompter;
  std::vector<ShardOutput> shards;
  for (const std::string& dir : a.files) {
    ShardOutput shard;
    shard.name = dir;
    bool ok = false;
    const std::string headerPath = joinPath(dir, kStudyFile);
    const auto header = readStudyHeader(readWholeFile(headerPath, ok));
    if (!ok || !header) {
      prompter.error("'" + headerPath + "' is not the description of a study.");
      return kExitFailed;
    }
    shard.header = *header;
    const std::string runsPath = joinPath(dir, kRunsFile);
    std::istringstream lines(readWholeFile(runsPath, ok));
    if (!ok) {
      prompter.error("Can't read '" + runsPath + "'.");
      return kExitFailed;
    }
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
      ++number;
      if (line.empty()) continue;
      const auto record = readRunRecord(line);
      if (!record) {
        prompter.error("Line " + std::to_string(number) + " of '" + runsPath +
                       "' is not a run of a study.");
        return kExitFailed;
      }
      shard.records.push_back(*record);
    }
    shards.push_back(std::move(shard));
  }
  const MergedStudy merged = mergeStudyShards(shards);
  if (!merged.error.empty()) {
    prompter.error(merged.error);
    return kExitFailed;
  }
  return finishStudy(a, merged.header, merged.records);
}

}  // namespace

int runStudy(const std::vector<std::string>& args) {
  StudyArgs a;
  const std::string wrong = parseArgs(args, a);
  if (!wrong.empty()) return usageError(wrong, kUsage);
  if (a.merge) return runMerge(a);

  OutputGuard files;
  files.input("input", a.files[0]);
  guardSourceFile(a.source, files);
  if (a.controlSource) guardSourceFile(*a.controlSource, files);
  guardOutputs(a, files);
  if (const auto clash = files.check()) return usageError(clash->text(), kUsage);

  if (!speechListenerBuilt()) {
    std::cerr << "voxloom-cli: " << kListenerNotBuiltText << '\n';
    return kExitUsage;
  }
  std::string error;
  EvpArm evp(a.source, a.shape);
  if (!evp.open(a.files[0], error)) return error.empty() ? kExitFailed : usageError(error, kUsage);
  std::unique_ptr<EvpArm> otherSource;
  if (a.controlSource) {
    otherSource = std::make_unique<EvpArm>(*a.controlSource, a.shape);
    if (!otherSource->open(a.files[0], error))
      return error.empty() ? kExitFailed : usageError(error, kUsage);
  }
  CliPrompter prompter;
  const std::unique_ptr<SpeechListenerFactory> factory =
      makeSpeechListenerFactory(a.modelDir, error);
  if (!factory) {
    prompter.error(error);
    return kExitFailed;
  }

  StudyPlan plan;
  plan.runs = a.runs;
  plan.seed = a.seed;
  plan.shard = a.shard;
  plan.controlSharesSeed = !a.controlSource;
  const int jobs =
      a.jobs > 0 ? a.jobs : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const auto render = [&](StudyArm arm, int, std::uint32_t seed) {
    if (arm == StudyArm::Evp) return evp.render(seed, a.seconds, false);
    return otherSource ? otherSource->render(seed, a.seconds, false)
                       : evp.render(seed, a.seconds, true);
  };
  const StudyRunResult result = voxloom::runStudy(plan, render, *factory, jobs);
  evp.warnOfHealth();
  if (otherSource) otherSource->warnOfHealth();
  if (!result.error.empty()) {
    prompter.error(result.error);
    return kExitFailed;
  }
  StudyHeader header;
  header.options = a.identity;
  header.runs = a.runs;
  header.seed = a.seed;
  header.shard = a.shard;
  return finishStudy(a, header, result.records);
}

}  // namespace voxloom::cli
