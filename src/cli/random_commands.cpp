// random and write-rn: draws from the random sources without playing anything.
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "cli/cli_prompter.h"
#include "cli/commands.h"
#include "cli/source_options.h"
#include "cli/standard_output.h"
#include "core/random/health/block_tests.h"
#include "core/random/health/entropy_claims.h"
#include "core/random/random_sources.h"
#include "core/random/write_rn.h"
#include "core/util/number_text.h"

namespace voxloom::cli {

namespace {

constexpr int kExitTestFailed = 3;  // random --test: a statistical test failed

const std::string kRandomUsage =
    std::string("voxloom-cli random [--test | --raw] [--range N] [--count K] [--log FILE] ") +
    kSourceOptionsUsage;
const std::string kWriteRnUsage =
    std::string("voxloom-cli write-rn --count K OUT.txt ") + kSourceOptionsUsage;

struct RandomArgs {
  SourceOptions source;
  std::int32_t range = 1000000000;
  std::int64_t count = 10;
  bool countGiven = false;
  bool test = false;  // --test: report on the raw values instead of printing draws
  bool raw = false;   // --raw: the raw values as a byte stream
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
    if (!write && (a == "--test" || a == "--raw")) {
      (a == "--test" ? out.test : out.raw) = true;
      continue;
    }
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
      const auto count = parseWholeNumber<std::int64_t>(v, write ? 1 : 0, most);
      if (!count)
        return write ? "--count needs a whole number 1..1000000"
                     : "--count needs a whole number >= 0";
      out.count = *count;
      out.countGiven = true;
    } else if (a == "--range") {
      const auto range = parseWholeNumber<std::int32_t>(v, 1);
      if (!range) return "--range needs 1..2147483647";
      out.range = *range;
    } else {
      out.logFile = v;
    }
  }
  if (write) {
    if (!out.countGiven) return "write-rn needs --count K";
    if (out.files.size() != 1) return "write-rn takes one output file";
  } else if (!out.files.empty()) {
    return "random takes no file argument";
  } else if (out.test && out.raw) {
    return "random takes --test or --raw, not both";
  }
  return {};
}

// The source both commands draw from, made current as the options say.
struct SourceRun {
  CliPrompter prompter;
  StopRequest stop;
  NoPlayback noPlayback;
  RandomSources sources{stop, prompter, noPlayback};
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

  // Starts the random log afresh in `file` (none when empty); false when it can't open.
  bool openLog(const std::string& file) {
    RandomLog& log = sources.log;
    if (!file.empty()) {
      log.logEnabled = true;
      log.logFileName = file;
      log.logStartNew = true;
    }
    return log.openRandomLog(prompter);
  }
};

// False once standard output failed: the run ends there, and the end of the command
// reports it.
bool writeAll(std::vector<std::uint8_t>& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  bytes.clear();
  return !standardOutputFailed();
}

std::string percentOf(std::int64_t part, std::int64_t whole) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f %%", whole > 0 ? 100.0 * part / whole : 0.0);
  return text;
}

// Prints the report of `random --test`; true when every test passed.
bool printTestReport(const RandomSources& sources, const ByteStreamTests& tests,
                     std::int64_t values) {
  const RandomSourceKind kind = sources.randomKind;
  const int bits = rawBitsOf(kind, sources.menu.convert);
  const FipsTally& f = tests.fips();
  const EntSummary e = tests.ent();
  // A good source fails about one block in 1250 by chance; only clearly more counts.
  const bool fipsOk = f.failedBlocks <= 2 + f.blocks / 200;
  std::printf("Raw values: %lld of %d bits, %lld bytes\n", static_cast<long long>(values), bits,
              static_cast<long long>(e.bytes));
  std::printf("\nFIPS 140-2 (blocks of 20000 bits)\n");
  if (f.blocks == 0) {
    std::printf("  no full block: 2500 bytes are needed\n");
  } else {
    std::printf("  blocks tested: %lld, failed: %lld (%s)\n", static_cast<long long>(f.blocks),
                static_cast<long long>(f.failedBlocks),
                percentOf(f.failedBlocks, f.blocks).c_str());
    std::printf(
        "  monobit failures: %lld\n  poker failures: %lld\n  runs failures: %lld\n"
        "  long run failures: %lld\n",
        static_cast<long long>(f.monobitFailures), static_cast<long long>(f.pokerFailures),
        static_cast<long long>(f.runsFailures), static_cast<long long>(f.longRunFailures));
    std::printf("  result: %s\n", fipsOk ? "pass" : "FAIL");
  }

  const SourceHealth& h = sources.health;
  bool healthOk = true;
  std::printf("\nContinuous health tests\n");
  if (const auto claim = entropyClaimOf(kind)) {
    std::int64_t repetitions = 0;
    for (const HealthFailure& failure : h.failures()) repetitions += failure.repetition ? 1 : 0;
    std::printf("  claim: %g bits of entropy per %s\n", claim->bitsPerValue, claim->unit);
    std::printf("  repetition count test: cut-off %d\n", h.repetitionCutoff());
    std::printf("  adaptive proportion test: cut-off %d in a window of %d\n", h.proportionCutoff(),
                h.proportionWindow());
    std::printf("  failures: %lld", static_cast<long long>(h.failureCount()));
    if (h.failureCount() > 0) {
      std::printf(
          " (of the first %zu: %lld repetition, %lld proportion)\n  first failing draws:",
          h.failures().size(), static_cast<long long>(repetitions),
          static_cast<long long>(static_cast<std::int64_t>(h.failures().size()) - repetitions));
      for (std::size_t i = 0; i < h.failures().size() && i < 10; ++i)
        std::printf(" %lld (%s)", static_cast<long long>(h.failures()[i].draw),
                    h.failures()[i].repetition ? "repetition" : "proportion");
    }
    std::printf("\n  state: %s\n", healthStateText(h.state()));
    healthOk = h.failureCount() == 0;
    std::printf("  result: %s\n", healthOk ? "pass" : "FAIL");
  } else {
    std::printf("  not run: the source is %s\n", healthStateText(h.state()));
  }

  std::printf("\nByte summary\n");
  std::printf("  entropy: %.6f bits per byte\n", e.entropyPerByte);
  std::printf("  chi-square: %.2f with 255 degrees of freedom, p = %.4f\n", e.chiSquare,
              e.chiSquareP);
  std::printf("  arithmetic mean: %.4f (127.5 when random)\n", e.mean);
  if (std::isnan(e.serialCorrelation))
    std::printf("  serial correlation: undefined (all bytes equal)\n");
  else
    std::printf("  serial correlation: %.6f (0 when uncorrelated)\n", e.serialCorrelation);
  const bool ok = fipsOk && healthOk;
  std::printf("\nResult: %s\n", ok ? "all tests passed" : "a test FAILED");
  return ok;
}

// random --test and random --raw: the raw values of K draws, reported on or written out.
int runRawDraws(const RandomArgs& a, SourceRun& run) {
  if (a.raw && isatty(STDOUT_FILENO) == 1)
    return usageError("random --raw writes binary data: redirect it to a file or a pipe",
                      kRandomUsage);
  if (!run.openLog(a.logFile)) return kExitFailed;
  RandomSources& sources = run.sources;
  RandomLog& log = sources.log;
  sources.startRun();
  const std::int64_t count = a.countGiven ? a.count : 1000000;
  BitPacker packer;
  packer.bytes.reserve(1 << 16);
  ByteStreamTests tests;
  bool written = true;
  std::int64_t values = 0;
  for (; values < count && written; ++values) {
    const RawDraw draw = sources.drawRaw(a.range);
    if (run.stop.stopRequested) break;
    packer.put(draw.word(), draw.bits);
    if (packer.bytes.size() >= (1 << 16) - 8) {
      if (a.raw) {
        written = writeAll(packer.bytes);
      } else {
        tests.add(packer.bytes);
        packer.bytes.clear();
      }
    }
  }
  sources.stopSourceWaits();
  if (a.raw) warnOfHealthFailures(sources.health, run.prompter);  // --test reports them
  int exit = kExitOk;
  if (a.raw) {
    if (written) written = writeAll(packer.bytes) && std::fflush(stdout) == 0;
  } else {
    tests.add(packer.bytes);
    if (!printTestReport(sources, tests, values)) exit = kExitTestFailed;
    std::fflush(stdout);
  }
  const bool logWritten = log.closeRandomLog();
  if (!logWritten) run.prompter.error(cannotWriteLogText(a.logFile));
  return run.stop.stopRequested || !logWritten || !written ? kExitFailed : exit;
}

}  // namespace

int runRandom(const std::vector<std::string>& args) {
  RandomArgs a;
  const std::string wrong = parseArgs(args, a, false);
  if (!wrong.empty()) return usageError(wrong, kRandomUsage);
  OutputGuard files;
  guardSourceFile(a.source, files);
  files.output("log", a.logFile);
  if (const auto clash = files.check()) return usageError(clash->text(), kRandomUsage);
  SourceRun run;
  if (const int exit = run.start(a.source, kRandomUsage); exit != kExitOk) return exit;
  if (a.test || a.raw) return runRawDraws(a, run);
  CliPrompter& prompter = run.prompter;
  StopRequest& stop = run.stop;
  RandomSources& sources = run.sources;
  RandomLog& log = sources.log;
  if (!run.openLog(a.logFile)) return kExitFailed;

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
      if (standardOutputFailed()) break;  // no reader or no room: drawing on is pointless
    }
  }
  if (!standardOutputFailed()) std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  sources.stopSourceWaits();
  warnOfHealthFailures(sources.health, prompter);
  const bool logWritten = log.closeRandomLog();
  if (!logWritten) prompter.error(cannotWriteLogText(a.logFile));
  return stop.stopRequested || !logWritten ? kExitFailed : kExitOk;
}

int runWriteRn(const std::vector<std::string>& args) {
  RandomArgs a;
  const std::string wrong = parseArgs(args, a, true);
  if (!wrong.empty()) return usageError(wrong, kWriteRnUsage);
  OutputGuard files;
  guardSourceFile(a.source, files);
  files.output("output", a.files[0]);
  if (const auto clash = files.check()) return usageError(clash->text(), kWriteRnUsage);
  SourceRun run;
  if (const int exit = run.start(a.source, kWriteRnUsage); exit != kExitOk) return exit;
  RandomSources& sources = run.sources;
  const WriteRnResult result =
      writeRandomNumbersTo(sources, a.files[0], static_cast<std::int32_t>(a.count));
  sources.stopSourceWaits();
  warnOfHealthFailures(sources.health, run.prompter);
  return result == WriteRnResult::Written ? kExitOk : kExitFailed;
}

}  // namespace voxloom::cli
