// reverse, echo, normalize and autocut: file to file through the Extras menu's commands.
#include <iostream>
#include <optional>

#include "cli/cli_prompter.h"
#include "cli/cli_services.h"
#include "cli/commands.h"
#include "core/util/number_text.h"
#include "core/util/output_guard.h"

namespace voxloom::cli {

namespace {

// The dialogs' answers come from the command line: the controls are set as a user
// would set them, then the dialog is closed with OK.
class ArgumentDialogs : public EffectDialogs {
 public:
  std::optional<int> delayMs;
  std::optional<int> decayPercent;
  std::optional<int> thresholdPercent;
  bool automaticThreshold = false;
  std::optional<int> frameSizeMs;

  bool askEcho(EchoDialogState& state) override {
    if (delayMs) state.scrollBarDelayChange(*delayMs);
    if (decayPercent) state.scrollBarDecayChange(*decayPercent);
    return true;
  }
  bool askAutoCut(AutoCutOptions& options) override {
    if (thresholdPercent) options.thresholdChange(*thresholdPercent);
    if (automaticThreshold) options.radioGroupThresholdClick(AutoCutOptions::kAutomatic);
    if (frameSizeMs) options.frameSizeChange(*frameSizeMs);
    return true;
  }
};

struct Parsed {
  std::vector<std::string> files;
  std::string error;
};

// Options with a value, each within its range; everything else is a file argument.
struct ValueOption {
  const char* name;
  int lo;
  int hi;
  std::optional<int>* target;
};

Parsed parseArguments(const std::vector<std::string>& args, const std::vector<ValueOption>& options,
                      bool* automatic) {
  Parsed parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (automatic != nullptr && a == "--auto") {
      *automatic = true;
      continue;
    }
    const ValueOption* option = nullptr;
    for (const ValueOption& o : options)
      if (a == o.name) option = &o;
    if (option == nullptr) {
      if (a.size() > 1 && a[0] == '-') {
        parsed.error = "unknown option '" + a + "'";
        return parsed;
      }
      parsed.files.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) {
      parsed.error = a + " needs a value";
      return parsed;
    }
    const std::optional<int> value = parseWholeNumber(args[++i], option->lo, option->hi);
    if (!value) {
      parsed.error = a + " needs a whole number from " + std::to_string(option->lo) + " to " +
                     std::to_string(option->hi) + ", not '" + args[i] + "'";
      return parsed;
    }
    *option->target = value;
  }
  if (parsed.files.size() != 2) parsed.error = "needs an input and an output file";
  return parsed;
}

// Loads IN as the Open command does, runs the effect as the menu does, writes OUT with
// the Save writer.
template <class Effect>
int runEffect(const char* usage, const std::string& in, const std::string& out,
              ArgumentDialogs* dialogs, Effect&& effect) {
  OutputGuard files;
  files.input("input", in);
  files.output("output", out);
  if (const auto clash = files.check()) return usageError(clash->text(), usage);
  CliPrompter prompter;
  CliDocument cli(prompter);
  cli.document.setEffectDialogs(dialogs);
  if (cli.document.load(in) != 0) return kExitFailed;
  effect(cli.document);
  return cli.document.write(out) == 0 ? kExitOk : kExitFailed;
}

}  // namespace

int runReverse(const std::vector<std::string>& args) {
  const char* usage = "voxloom-cli reverse IN.wav OUT.wav";
  const Parsed parsed = parseArguments(args, {}, nullptr);
  if (!parsed.error.empty()) return usageError("reverse " + parsed.error, usage);
  return runEffect(usage, parsed.files[0], parsed.files[1], nullptr,
                   [](DocumentService& c) { c.reverseSignal(); });
}

int runNormalize(const std::vector<std::string>& args) {
  const char* usage = "voxloom-cli normalize IN.wav OUT.wav";
  const Parsed parsed = parseArguments(args, {}, nullptr);
  if (!parsed.error.empty()) return usageError("normalize " + parsed.error, usage);
  return runEffect(usage, parsed.files[0], parsed.files[1], nullptr,
                   [](DocumentService& c) { c.normalizeSignal(); });
}

int runEcho(const std::vector<std::string>& args) {
  const char* usage = "voxloom-cli echo [--delay MS] [--decay PCT] IN.wav OUT.wav";
  ArgumentDialogs dialogs;
  const Parsed parsed =
      parseArguments(args,
                     {{"--delay", 0, EchoDialogState::kDelayMax, &dialogs.delayMs},
                      {"--decay", 0, EchoDialogState::kDecayMax, &dialogs.decayPercent}},
                     nullptr);
  if (!parsed.error.empty()) return usageError("echo " + parsed.error, usage);
  return runEffect(usage, parsed.files[0], parsed.files[1], &dialogs,
                   [](DocumentService& c) { c.addEcho(); });
}

int runAutoCut(const std::vector<std::string>& args) {
  const char* usage = "voxloom-cli autocut [--threshold PCT | --auto] [--frame MS] IN.wav OUT.wav";
  ArgumentDialogs dialogs;
  Parsed parsed = parseArguments(args,
                                 {{"--threshold", AutoCutOptions::kThresholdMin,
                                   AutoCutOptions::kThresholdMax, &dialogs.thresholdPercent},
                                  {"--frame", AutoCutOptions::kFrameSizeMin,
                                   AutoCutOptions::kFrameSizeMax, &dialogs.frameSizeMs}},
                                 &dialogs.automaticThreshold);
  if (parsed.error.empty() && dialogs.thresholdPercent && dialogs.automaticThreshold)
    parsed.error = "takes --threshold or --auto, not both";
  if (!parsed.error.empty()) return usageError("autocut " + parsed.error, usage);
  // The dialog's default is the automatic threshold; a threshold given chooses item 0.
  return runEffect(usage, parsed.files[0], parsed.files[1], &dialogs, [](DocumentService& c) {
    if (c.autoCut().modified)
      std::cout << "threshold " << c.effects.autoCut.thresholdPercent << '\n';
  });
}

}  // namespace voxloom::cli
