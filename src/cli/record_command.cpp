// record: takes S seconds from the capture device through the recording engine and
// writes them with the Save writer.
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "cli/cli_prompter.h"
#include "cli/cli_services.h"
#include "cli/commands.h"
#include "core/app/recording_service.h"
#include "core/ports/queued_event_loop.h"
#include "platform/sdl/sdl_wave_in.h"

namespace voxloom::cli {

namespace {

constexpr const char* kUsage =
    "voxloom-cli record --seconds S [--rate R] [--channels 1|2] [--bits 8|16] [--boost DB] "
    "[--no-normalize] OUT.wav";

// The dialog's controls as the command line sets them; "&Start" is pressed at once.
class ArgumentRecDialog : public RecParamDialog {
 public:
  RecParamState wanted;
  bool askRecParam(RecParamState& state) override {
    state = wanted;
    return true;
  }
};

struct RecordArgs {
  double seconds = 0;
  std::optional<int> boostDb;
  std::string out;
  std::string error;
};

std::optional<long> wholeNumber(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') return std::nullopt;
  return value;
}

RecordArgs parse(const std::vector<std::string>& args, RecParamState& params) {
  RecordArgs parsed;
  bool haveSeconds = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--no-normalize") {
      params.normalize = false;
      continue;
    }
    const bool takesValue =
        a == "--seconds" || a == "--rate" || a == "--channels" || a == "--bits" || a == "--boost";
    if (!takesValue) {
      if (a.size() > 1 && a[0] == '-') {
        parsed.error = "unknown option '" + a + "'";
        return parsed;
      }
      if (!parsed.out.empty()) {
        parsed.error = "one output file only";
        return parsed;
      }
      parsed.out = a;
      continue;
    }
    if (i + 1 >= args.size()) {
      parsed.error = a + " needs a value";
      return parsed;
    }
    const std::string& value = args[++i];
    if (a == "--seconds") {
      char* end = nullptr;
      parsed.seconds = std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0' || !(parsed.seconds > 0) || parsed.seconds > 86400) {
        parsed.error = "--seconds needs a number of seconds above 0";
        return parsed;
      }
      haveSeconds = true;
    } else if (a == "--rate") {
      params.sampleRateText = value;  // checked by the engine, as the dialog's text is
    } else if (a == "--channels") {
      const auto n = wholeNumber(value);
      if (!n || (*n != 1 && *n != 2)) {
        parsed.error = "--channels is 1 or 2";
        return parsed;
      }
      params.channelsItem = static_cast<int>(*n) - 1;
    } else if (a == "--bits") {
      const auto n = wholeNumber(value);
      if (!n || (*n != 8 && *n != 16)) {
        parsed.error = "--bits is 8 or 16";
        return parsed;
      }
      params.resolutionItem = *n == 8 ? 0 : 1;
    } else {
      const auto n = wholeNumber(value);
      if (!n || *n < 0 || *n > RecLevelState::kBoostPositionMax) {
        parsed.error = "--boost is 0 to 90 dB";
        return parsed;
      }
      parsed.boostDb = static_cast<int>(*n);
    }
  }
  if (!haveSeconds)
    parsed.error = "--seconds is needed";
  else if (parsed.out.empty())
    parsed.error = "the output file is missing";
  return parsed;
}

// The command line has no unsaved work to ask about: the document simply goes.
class DiscardWithoutAsking final : public DocumentGate {
 public:
  explicit DiscardWithoutAsking(DocumentService& document) : document_(document) {}
  bool discardDocument() override {
    document_.discard();
    return false;
  }

 private:
  DocumentService& document_;
};

}  // namespace

int runRecord(const std::vector<std::string>& args) {
  ArgumentRecDialog dialog;
  const RecordArgs parsed = parse(args, dialog.wanted);
  if (!parsed.error.empty()) return usageError("record " + parsed.error, kUsage);

  CliPrompter prompter;
  QueuedEventLoop loop;
  SdlWaveIn waveIn(loop);  // outlives the recording, whose engine queues buffers on it
  CliDocument cli(prompter);
  // Nothing is unsaved here: the take replaces the empty document without a question.
  DiscardWithoutAsking gate{cli.document};
  RecordingService recording(prompter, cli.document, cli.states, cli.relay, gate);
  recording.attach(waveIn, loop, nullptr);
  RecordingEngine& engine = recording.engine;
  engine.dialog = &dialog;
  if (parsed.boostDb) {
    engine.level.state.boostChecked = true;
    engine.level.state.boostPosition = RecLevelState::kBoostPositionMax - *parsed.boostDb;
  }
  cli.states.set(kStateIdle);
  recording.start();
  if (!engine.isRecording()) return kExitFailed;

  // Stop at the first whole buffer that reaches S seconds; a device that stalls is given
  // up on after twice the time.
  const auto target =
      static_cast<std::int64_t>(std::ceil(parsed.seconds * engine.format().avgBytesPerSec));
  const auto patience = std::chrono::milliseconds(static_cast<long>(parsed.seconds * 2000) + 5000);
  loop.processUntil([&] { return engine.dataBytes() >= target || !engine.isRecording(); },
                    patience);
  // A device that went away has ended the recording and said so; what it recorded is
  // still written, but the command failed.
  const bool endedEarly = !engine.isRecording();
  if (cli.states.state() == kStateRecording) engine.stopRecording();
  loop.processUntil([&] { return !engine.isRecording(); }, std::chrono::seconds(5));
  if (engine.isRecording()) {
    std::cerr << "Error: the input device did not hand its buffers back.\n";
    return kExitFailed;
  }
  if (!cli.document.document.isLoaded) {
    if (prompter.messagesShown == 0) std::cerr << "Error: Nothing was recorded.\n";
    return kExitFailed;
  }
  const bool written = cli.document.write(parsed.out) == 0;
  return written && !endedEarly ? kExitOk : kExitFailed;
}

}  // namespace voxloom::cli
