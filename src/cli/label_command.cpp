// voxloom-cli labels: the cues as a label track, or a WAV file with imported labels.
#include <iostream>

#include "cli/cli_prompter.h"
#include "cli/cli_services.h"
#include "cli/commands.h"
#include "core/labels/label_commands.h"
#include "core/util/output_guard.h"

namespace voxloom::cli {

int runLabels(const std::vector<std::string>& args) {
  const char* usage = "voxloom-cli labels IN.wav [--import LABELS.txt -o OUT.wav [--replace]]";
  std::string in;
  std::string labels;
  std::string out;
  bool replace = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--import" || a == "-o") {
      if (i + 1 >= args.size()) return usageError(a + " needs a file", usage);
      (a == "-o" ? out : labels) = args[++i];
    } else if (a == "--replace") {
      replace = true;
    } else if (!a.empty() && a[0] == '-') {
      return usageError("unknown option '" + a + "'", usage);
    } else if (in.empty()) {
      in = a;
    } else {
      return usageError("labels takes one WAV file", usage);
    }
  }
  if (in.empty()) return usageError("labels needs a WAV file", usage);
  if (labels.empty() != out.empty()) return usageError("--import and -o go together", usage);
  if (replace && labels.empty()) return usageError("--replace needs --import", usage);
  OutputGuard files;
  files.input("input", in);
  files.input("label file", labels);
  files.output("output", out);
  if (const auto clash = files.check()) return usageError(clash->text(), usage);

  CliPrompter prompter;
  CliDocument cli(prompter);
  if (cli.document.load(in) != 0) return kExitFailed;
  AudioDocument& doc = cli.document.document;
  if (labels.empty()) {
    const std::string text = writeLabelTrack(doc.cues, doc.nominalRate);
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    return std::cout ? kExitOk : kExitFailed;
  }

  LabelReadResult result;
  std::string error;
  if (!loadLabels(labels, doc, result, error)) {
    prompter.message("Error", error, MessageIcon::Error, MessageButtons::Ok);
    return kExitFailed;
  }
  if (!result.problems.empty()) {
    prompter.message(kImportLabelsTitle, describeLabelProblems(result.problems),
                     MessageIcon::Warning, MessageButtons::Ok);
  }
  applyImportedCues(doc, std::move(result.cues), replace ? CueMerge::Replace : CueMerge::Add);
  return cli.document.write(out) == 0 ? kExitOk : kExitFailed;
}

}  // namespace voxloom::cli
