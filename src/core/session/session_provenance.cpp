// The in-memory provenance and health of captured records, and their files.
#include <algorithm>
#include <utility>

#include "core/ports/refuse_clash.h"
#include "core/session/session_controller.h"
#include "core/util/output_guard.h"
#include "core/util/replace_file.h"

namespace voxloom {

void SessionController::appendProvenance(ProvenanceBlock block) {
  if (!session.isCapturing || !captureTrace_) return;
  captureTrace_->blocks.push_back(std::move(block));
}

void SessionController::noteCaptureHealth(RecordHealth health) {
  if (!session.isCapturing || !captureTrace_) return;
  captureTrace_->health = std::move(health);
}

bool SessionController::currentHasProvenance() const {
  const EvpRecord* record = session.current();
  return record != nullptr && record->trace && !record->trace->blocks.empty();
}

void SessionController::exportProvenance() {
  if (!currentHasProvenance()) return;
  FileDialogSpec dialog;
  dialog.title = "Export EVP provenance...";
  dialog.filter = "JSON Lines (*.jsonl)|*.jsonl|All Files (*.*)|*.*";
  dialog.defaultExtension = "*.jsonl";
  std::string name = exportFileName();
  if (name.size() > 4 && name.ends_with(".wav")) name.resize(name.size() - 4);
  dialog.fileName = name + ".jsonl";
  dialog.confirmOverwrite = true;
  if (host_.useSeparateFolders) dialog.initialFolder = outputWavFolder;
  const auto chosen = host_.prompter.chooseSaveFile(dialog);
  if (!chosen) return;
  // The dialog may have let the record change; take the current one as it is now.
  if (!currentHasProvenance()) return;
  OutputGuard files;
  files.input("session", session.fileName);
  if (!session.fileName.empty())
    files.input("session's health file", healthSidecarPath(session.fileName));
  files.input("session's WAV file", session.wavPath);
  files.input("open WAV file", host_.document.path);
  files.output("provenance file", *chosen);
  if (refuseClash(files, host_.prompter)) return;
  if (!writeFileAtomically(*chosen, provenanceJsonl(session.current()->trace->blocks)))
    host_.prompter.error("Can't write the provenance file '" + *chosen + "'.");
}

}  // namespace voxloom
