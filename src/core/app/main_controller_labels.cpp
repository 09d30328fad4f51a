// The File menu's label-track commands.
#include "core/app/main_controller.h"
#include "core/labels/label_commands.h"

namespace voxloom {

bool MainController::labelsAvailable() const {
  return commandState == kStateIdle && document.isLoaded && !liveMode;
}

int MainController::importLabels() {
  if (!labelsAvailable()) return 1;
  std::string folder = folderPart(document.path);
  if (importLabelsCommand({document, prompter_, folder}) != 0) return 1;
  notify(ViewAspect::Texts);
  notify(ViewAspect::Document);
  setCommandState(kStateIdle);  // Save follows the modified flag
  return 0;
}

int MainController::exportLabels() {
  if (!labelsAvailable()) return 1;
  std::string folder = folderPart(document.path);
  return exportLabelsCommand({document, prompter_, folder});
}

}  // namespace voxloom
