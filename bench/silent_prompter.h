#pragma once

#include <optional>
#include <string>

#include "core/ports/prompter.h"

namespace voxloom::bench {

// Answers every question with OK and every file dialog with nothing: a bench never waits.
class SilentPrompter : public Prompter {
 public:
  Answer message(const std::string&, const std::string&, MessageIcon, MessageButtons) override {
    return Answer::Ok;
  }
  std::optional<std::string> chooseOpenFile(const FileDialogSpec&) override { return {}; }
  std::optional<std::string> chooseSaveFile(const FileDialogSpec&) override { return {}; }
  void setBusy(bool) override {}
};

}  // namespace voxloom::bench
