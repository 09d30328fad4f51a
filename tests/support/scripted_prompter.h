#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/prompter.h"

namespace voxloom::test {

// A Prompter that answers from a script and records every message it was shown.
class ScriptedPrompter : public Prompter {
 public:
  struct Shown {
    std::string title;
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
  };

  std::deque<Answer> answers;                        // next answers to questions
  std::deque<std::optional<std::string>> openFiles;  // next open-dialog results
  std::deque<std::optional<std::string>> saveFiles;  // next save-dialog results
  std::vector<Shown> shown;
  std::vector<FileDialogSpec> openDialogs;
  std::vector<FileDialogSpec> saveDialogs;
  int busyDepth = 0;
  int busyCalls = 0;

  Answer message(const std::string& title, const std::string& text, MessageIcon icon,
                 MessageButtons buttons) override;
  std::optional<std::string> chooseOpenFile(const FileDialogSpec& spec) override;
  std::optional<std::string> chooseSaveFile(const FileDialogSpec& spec) override;
  void setBusy(bool busy) override;

  // "title: text" of every message, in order.
  std::vector<std::string> log() const;
};

}  // namespace voxloom::test
