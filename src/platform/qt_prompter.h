#pragma once

#include <QString>

#include "core/ports/prompter.h"

class QWidget;

namespace voxloom {

// "Text (*.a;*.b)|*.a;*.b|..." as Qt wants it: "Text (*.a *.b);;...". "*.*" becomes "*",
// since on Linux "*.*" would hide files without a dot.
QString qtFileFilter(const std::string& pipeFilter);

// Message boxes, file dialogs and the busy cursor of the window program.
class QtPrompter : public Prompter {
 public:
  Answer message(const std::string& title, const std::string& text, MessageIcon icon,
                 MessageButtons buttons) override;
  std::optional<std::string> chooseOpenFile(const FileDialogSpec& spec) override;
  std::optional<std::string> chooseSaveFile(const FileDialogSpec& spec) override;
  void setBusy(bool busy) override;

 private:
  std::optional<std::string> runFileDialog(const FileDialogSpec& spec, bool save);
  int busyDepth_ = 0;
};

}  // namespace voxloom
