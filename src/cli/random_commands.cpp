// random and write-rn: draws from the random sources without playing anything.
#include <charconv>
#include <cstdio>
#include <string>

#include "cli/cli_prompter.h"
#include "cli/commands.h"
#include "cli/source_options.h"
#include "core/random/random_sources.h"
#include "core/random/write_rn.h"

namespace voxloom::cli {

namespace {

const std::string kRandomUsage =
    std::string("voxloom-cli random [--range N] [--count K] [--log FILE] ") + kSourceOptionsUsage;
const std::string kWriteRnUsage =
    std::string("voxloom-cli write-rn --count K OUT.txt ") + kSourceOptionsUsage;

template <typename T>
bool parseWhole(const std::string& text, T& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  return !text.empty() && ec == std::errc{} && end == last;
}

struct RandomArgs {
  SourceOptions source;
  std::int32_t range = 1000000000;
  std::int64_t count = 10;
  bool countGiven = false;
  std::string logFile;
  std::vector<std::string> files;
};

// Empty when fine, else what is wrong. `write` takes write-rn's arguments.
std::string parseArgs(const std::vector<std::string>& args, RandomArgs& out, bool write) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    switch (takeSourceOption(args, i, out.source, error)) {
      case OptionTake::Taken:
        continue;
      case OptionTake::Wrong:
        return error;
      case OptionTake::NotMine:
        break;
    }
    const std::string& a = args[i];
    const bool valued = a == "--count" || (!write && (a == "--range" || a == "--log"));
    if (!valued) {
      if (a.starts_with("-") && a != "-") return "unknown option " + a;
      out.files.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) return a + " needs a value";
    const std::string& v = args[++i];
    if (a == "--count") {
      const std::int64_t most = write ? 1000000 : (std::int64_t{1} << 62);
      if (!parseWhole(v, out.count) || out.count < (write ? 1 : 0) || out.count > most)
        return write ? "--count needs a whole number 1..1000000"
                     : "--count needs a whole number >= 0";
      out.countGiven = true;
    } else if (a == "--range") {
      if (!parseWhole(v, out.range) || out.range < 1) return "--range needs 1..2147483647";
    } else {
      out.logFile = v;
    }
  }
  if (write) {
    if (!out.countGiven) return "write-rn needs --count K";
    if (out.files.size() != 1) return "write-rn takes one output file";
  } else if (!out.files.empty()) {
    return "random takes no file argument";
  }
  return {};
}

// The source both commands draw from, made current as the options say.
struct SourceRun {
  CliPrompter prompter;
  StopRequest stop;
  RandomSources sources{stop, prompter};
  SourceDevices devices;

  // kExitOk, or the exit status of wrong options or a source that failed.
  int start(const SourceOptions& options, const std::string& usage) {
    prompter.keepLineBreaks = true;
    std::string error;
    switch (applySourceOptions(options, sources, devices, error)) {
      case ApplyResult::Usage:
        return usageError(error, usage);
      case ApplyResult::Failed:
        return kExitFailed;
      case ApplyResult::Ok:
        break;
    }
    return kExitOk;
  }
};

}  // namespace

int runRandom(const std::vector<std::string>& args) {
  RandomArgs a;
  const std::string wrong = parseArgs(args, a, false);
  if (!wrong.empty()) return usageError(wrong, kRandomUsage);
  SourceRun run;
  if (const int exit = run.start(a.source, kRandomUsage); exit != kExitOk) return exit;
  CliPrompter& prompter = run.prompter;
  StopRequest& stop = run.stop;
  RandomSources& sources = run.sources;
  RandomLog& log = sources.log;
  if (!a.logFile.empty()) {
    log.logEnabled = true;
    log.logFileName = a.logFile;
    log.logStartNew = true;
  }
  if (!log.openRandomLog(prompter)) return kExitFailed;

  std::string out;
  out.reserve(1 << 16);
  char text[16];
  for (std::int64_t i = 0; i < a.count; ++i) {
    const std::int32_t v = sources.drawRandom(a.range);
    if (stop.stopRequested) break;  // the failed draw's 0 is no number
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    out.append(text, end);
    out.push_back('\n');
    if (out.size() >= (1 << 16) - 32) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  sources.stopSourceWaits();
  const bool logWritten = log.closeRandomLog();
  if (!logWritten) prompter.error(cannotWriteLogText(a.logFile));
  return stop.stopRequested || !logWritten ? kExitFailed : kExitOk;
}

int runWriteRn(const std::vector<std::string>& args) {
  RandomArgs a;
  const std::string wrong = parseArgs(args, a, true);
  if (!wrong.empty()) return usageError(wrong, kWriteRnUsage);
  SourceRun run;
  if (const int exit = run.start(a.source, kWriteRnUsage); exit != kExitOk) return exit;
  RandomSources& sources = run.sources;
  const WriteRnResult result =
      writeRandomNumbersTo(sources, a.files[0], static_cast<std::int32_t>(a.count));
  sources.stopSourceWaits();
  return result == WriteRnResult::Written ? kExitOk : kExitFailed;
}

}  // namespace voxloom::cli
