#pragma once

#include "core/ports/prompter.h"
#include "core/ports/shell.h"

namespace voxloom::cli {

// Messages go to stderr as one line "<title>: <text>"; questions are answered No and
// dialogs cancelled, since nobody is there to answer them.
class CliPrompter : public Prompter {
 public:
  int messagesShown = 0;
  bool keepLineBreaks = false;  // the random commands print a message's lines as they are

  Answer message(const std::string& title, const std::string& text, MessageIcon icon,
                 MessageButtons buttons) override;
  std::optional<std::string> chooseOpenFile(const FileDialogSpec&) override { return {}; }
  std::optional<std::string> chooseSaveFile(const FileDialogSpec&) override { return {}; }
  void setBusy(bool) override {}
};

// The command-line tool starts no other programs.
class NoShell : public Shell {
 public:
  bool openDocument(const std::string&) override { return false; }
  bool startProgram(const std::string&, const std::string&) override { return false; }
  bool programExists(const std::string&) override { return false; }
};

}  // namespace voxloom::cli
