#include "core/random/write_rn.h"

#include <algorithm>

#include "core/audio/audio_document.h"
#include "core/ports/refuse_clash.h"
#include "core/random/random_sources.h"
#include "core/util/output_guard.h"

namespace voxloom {

std::string cannotOpenWriteRnText(const std::string& path) {
  return "Can't open log file '" + path + "' for writing.";
}

WriteRnResult writeRandomNumbers(RandomSources& rs, WriteRnDialogState& state,
                                 WriteRnDialog& dialog, bool useSeparateFolders) {
  if (!dialog.askWriteRn(state)) return WriteRnResult::Cancelled;
  const std::int32_t total = state.samples;
  if (total < 1) return WriteRnResult::Cancelled;
  FileDialogSpec spec;
  spec.title = kWriteRnTitle;
  spec.filter = kTextFileFilter;
  spec.defaultExtension = "*.txt";
  spec.confirmOverwrite = true;
  if (useSeparateFolders) spec.initialFolder = rs.lastLogFolder;
  const auto chosen = rs.prompter().chooseSaveFile(spec);
  if (!chosen) return WriteRnResult::Cancelled;
  rs.lastLogFolder = folderPart(*chosen);
  OutputGuard files;
  if (rs.randomKind == RandomSourceKind::RandomFile)
    files.input("random number file", rs.randomFilePath);
  if (rs.randomKind == RandomSourceKind::Device) files.input("random device", rs.device.path);
  files.output("random number output", *chosen);
  if (refuseClash(files, rs.prompter())) return WriteRnResult::Cancelled;
  return writeRandomNumbersTo(rs, *chosen, total);
}

WriteRnResult writeRandomNumbersTo(RandomSources& rs, const std::string& path, std::int32_t total) {
  RandomLog& log = rs.log;
  while (!log.openOutput(path)) {
    const Answer answer = rs.prompter().message("Error", cannotOpenWriteRnText(path),
                                                MessageIcon::Error, MessageButtons::RetryCancel);
    if (answer != Answer::Retry) return WriteRnResult::Cancelled;
  }
  const bool wasEnabled = log.logEnabled;
  log.logEnabled = true;
  rs.stop().stopRequested = false;
  rs.batch.discard();  // the file source's position stays
  for (std::int32_t i = 0; i < total && !rs.stop().stopRequested; ++i) rs.drawRandom(1000000000);
  log.logEnabled = wasEnabled;
  // A failing source's Stop may have closed the file already. The lines drawn before
  // such a failure are a result too: they take the file's place as a complete run's do.
  const bool writeFailed = !log.commitOutput();
  if (writeFailed) {
    rs.prompter().error("Can't write random numbers to '" + path + "'.");
    return WriteRnResult::Stopped;
  }
  return rs.stop().stopRequested ? WriteRnResult::Stopped : WriteRnResult::Written;
}

}  // namespace voxloom
