#include <cmath>
#include <iostream>
#include <limits>
#include <optional>
#include <string>

#include "cli/cli_prompter.h"
#include "cli/cli_services.h"
#include "cli/commands.h"
#include "cli/evp_options.h"
#include "cli/session_append.h"
#include "cli/source_options.h"
#include "core/app/playback_parts.h"
#include "core/app/random_service.h"
#include "core/app/session_service.h"
#include "core/audio/wav_writer.h"
#include "core/engine/cross_fade.h"
#include "core/engine/offline_evp.h"
#include "core/session/session_export.h"
#include "core/util/number_text.h"
#include "core/util/replace_file.h"

namespace voxloom::cli {

namespace {

const std::string kUsage =
    std::string(
        "voxloom-cli make-evp IN.wav -o OUT.wav [--seconds S | --blocks N] [--from MS]\n"
        "       [--to MS] [--overlap] [--no-zero-cross] [--cue-list] [--xfade MODE]\n"
        "       [--log FILE] [--session FILE.evp [--question TEXT]]\n"
        "       [--provenance FILE.jsonl]\n       ") +
    kSourceOptionsUsage;

// No WAV file holds more than 2^32 bytes, so at one byte per frame and one frame per
// second nothing longer can be written; larger values are typing errors.
constexpr double kMaxSeconds = 4294967295.0;
constexpr std::int64_t kMaxBlocks = 4294967295;

constexpr const char* kTooLargeText =
    "The EVP would not fit a WAV file (at most 4 GB with its cue list).";

struct MakeEvpArgs {
  std::string input;
  std::string output;
  SourceOptions source;
  std::optional<double> seconds;
  std::optional<std::int64_t> blocks;
  EvpShapeOptions shape;
  std::string logFile;
  std::string sessionPath;
  std::optional<std::string> question;
  std::string provenancePath;
};

// Empty when the arguments are fine, otherwise what is wrong.
std::string parseArgs(const std::vector<std::string>& args, MakeEvpArgs& out) {
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    const OptionTake take = takeSourceOption(args, i, out.source, error);
    if (take == OptionTake::Wrong) return error;
    if (take == OptionTake::Taken) continue;
    const OptionTake shapeTake = takeEvpShapeOption(args, i, out.shape, error);
    if (shapeTake == OptionTake::Wrong) return error;
    if (shapeTake == OptionTake::Taken) continue;
    const std::string& a = args[i];
    const bool takesValue = a == "-o" || a == "--seconds" || a == "--blocks" || a == "--log" ||
                            a == "--session" || a == "--question" || a == "--provenance";
    if (!takesValue) {
      if (a.starts_with("-") && a != "-") {
        return "unknown option " + a;
      } else {
        files.push_back(a);
      }
      continue;
    }
    if (i + 1 >= args.size()) return a + " needs a value";
    const std::string& v = args[++i];
    if (a == "-o") {
      out.output = v;
    } else if (a == "--seconds") {
      const auto s = parseDecimal<double>(v);
      if (!s || !std::isfinite(*s) || *s <= 0 || *s > kMaxSeconds)
        return "--seconds needs a number > 0 and at most 4294967295";
      out.seconds = s;
    } else if (a == "--blocks") {
      out.blocks = parseWholeNumber<std::int64_t>(v, 1, kMaxBlocks);
      if (!out.blocks) return "--blocks needs a whole number 1..4294967295";
    } else if (a == "--log") {
      out.logFile = v;
    } else if (a == "--session") {
      out.sessionPath = v;
    } else if (a == "--provenance") {
      out.provenancePath = v;
    } else {
      out.question = v;
    }
  }
  if (out.seconds && out.blocks) return "--seconds and --blocks exclude each other";
  if (files.size() != 1) return "make-evp takes one input WAV file";
  if (out.output.empty()) return "make-evp needs -o OUT.wav";
  if (out.question && out.sessionPath.empty()) return "--question needs --session";
  out.input = files[0];
  return {};
}

}  // namespace

int runMakeEvp(const std::vector<std::string>& args) {
  MakeEvpArgs a;
  const std::string wrong = parseArgs(args, a);
  if (!wrong.empty()) return usageError(wrong, kUsage);
  // The log is opened first and truncated, the session rewritten: a file named twice
  // would be destroyed before the run reads it.
  OutputGuard files;
  files.input("input", a.input);
  guardSourceFile(a.source, files);
  files.output("output", a.output);
  files.output("session", a.sessionPath);
  files.output("log", a.logFile);
  files.output("provenance file", a.provenancePath);
  if (const auto clash = files.check()) return usageError(clash->text(), kUsage);

  CliPrompter prompter;
  NoShell shell;
  SourceDevices devices;  // outlives the random sources, which may use them
  CliDocument cli(prompter);
  LevelMeter inputLevel;  // the sound-card source's meter; nothing shows it here
  NoPlayback noPlayback;  // blocks are rendered offline: nothing plays to be stopped
  RandomService random(prompter, cli.document, inputLevel, cli.relay, noPlayback);
  PlaybackParts parts(prompter, cli.document.document, random.sources, cli.states.state(),
                      cli.states.listener());
  const std::string programFolder;  // no editor's scratch folder is needed
  // The question comes with the command: the capture never waits on a prompt.
  GivenQuestion question{a.question.value_or("")};
  SessionService sessions(prompter, shell, cli.document, cli.states, programFolder, cli, question,
                          parts.options.fadeMode);
  std::string sourceError;
  switch (applySourceOptions(a.source, parts.random, devices, sourceError)) {
    case ApplyResult::Usage:
      return usageError(sourceError, kUsage);
    case ApplyResult::Failed:
      return kExitFailed;
    case ApplyResult::Ok:
      break;
  }
  if (cli.document.load(a.input) != 0) return kExitFailed;
  const AudioDocument& doc = cli.document.document;
  applyEvpShapeOptions(a.shape, parts.options, doc.cueCount());
  updateMinFrames(parts.table, parts.options, doc);
  updateMaxFrames(parts.table, parts.options, doc);
  const PickStatus possible = checkPickPossible(parts.table, parts.options, doc);
  if (possible != PickStatus::Ok) {
    prompter.error(pickFailureText(possible));
    return kExitFailed;
  }

  const long double wanted =
      std::ceil(static_cast<long double>(a.seconds.value_or(15.0)) * doc.nominalRate);
  // What cannot be written is refused before anything is generated; the check during
  // the run catches the last block and the cue list pushing a near miss over.
  const long double wantedBytes = a.blocks ? 0 : wanted * doc.frameBytes;
  if (wantedBytes > static_cast<long double>(std::numeric_limits<std::uint32_t>::max()) ||
      !evpFitsWavFile(static_cast<std::uint64_t>(wantedBytes),
                      static_cast<std::uint64_t>(a.blocks.value_or(1)))) {
    prompter.error(kTooLargeText);
    return kExitFailed;
  }

  // The record is started before the first block, as Make EVP starts it.
  SessionAppend capture(sessions.sessions, prompter);
  if (!a.sessionPath.empty()) {
    if (!capture.open(a.sessionPath, a.input)) return kExitFailed;
    if (!capture.begin()) return kExitFailed;
  }

  RandomLog& log = parts.random.log;
  if (!a.logFile.empty()) {
    log.logEnabled = true;
    log.logFileName = a.logFile;
    log.logStartNew = true;
  }
  if (!log.openRandomLog(prompter)) return kExitFailed;

  OfflineEvpLimit limit;
  limit.blocks = a.blocks;
  limit.frames = static_cast<std::int64_t>(wanted);
  const auto frameBytes = static_cast<std::uint64_t>(doc.frameBytes);
  limit.fits = [frameBytes](std::int64_t frames, std::int64_t blocks) {
    return evpFitsWavFile(static_cast<std::uint64_t>(frames) * frameBytes,
                          static_cast<std::uint64_t>(blocks));
  };
  parts.renderer.prevEnd = -1;
  parts.renderer.fadeMode = parts.options.fadeMode;
  SequencerContext context = parts.sequencerContext();
  // The blocks are made exactly as Make EVP makes them; the file is then written as
  // "Export EVP as WAV file" writes a captured EVP, which renders the same bytes again.
  parts.random.startRun();
  std::vector<ProvenanceBlock> provenance;
  const OfflineEvpResult result = generateOfflineEvp(
      context, limit, [](std::span<const std::uint8_t>) { return true; },
      a.provenancePath.empty() ? nullptr : &provenance);
  parts.random.stopSourceWaits();
  warnOfHealthFailures(parts.random.health, prompter);
  if (!log.closeRandomLog()) {
    prompter.error(cannotWriteLogText(log.logFileName));
    return kExitFailed;
  }
  if (result.status == OfflineEvpStatus::NoPick) {
    prompter.error(pickFailureText(result.pickStatus));
    return kExitFailed;
  }
  if (result.status == OfflineEvpStatus::TooLarge) {
    prompter.error(kTooLargeText);
    return kExitFailed;
  }
  if (result.status != OfflineEvpStatus::Done) return kExitFailed;

  EvpRecord record;
  record.segments.reserve(result.entries.size());
  for (const OfflineEvpEntry& e : result.entries)
    record.segments.push_back({e.start, e.length, e.serial, e.segmentNumber, e.fade, e.label});
  const WavWriteStatus written =
      writeEvpWav(a.output, cli.document.document, record, a.input, parts.options.fadeMode);
  if (written != WavWriteStatus::Written) {
    prompter.error(wavWriteFailureText(written, a.output));
    return kExitFailed;
  }
  if (!a.sessionPath.empty()) {
    capture.finish(result.entries);
    if (!capture.save()) return kExitFailed;
  }
  // Written last: the EVP stands on its own and is kept when this fails.
  if (!a.provenancePath.empty() &&
      !writeFileAtomically(a.provenancePath, provenanceJsonl(provenance))) {
    prompter.error("Can't write the provenance file '" + a.provenancePath + "'.");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace voxloom::cli
