#pragma once

#include <optional>
#include <string>

namespace voxloom {

enum class MessageIcon { Error, Warning, Info, Question, Stop };
enum class MessageButtons { Ok, YesNoCancel, YesNo, RetryCancel };
enum class Answer { Ok, Yes, No, Cancel, Retry };

struct FileDialogSpec {
  std::string title;
  std::string filter;            // "WAV Files (*.wav)|*.wav|All Files (*.*)|*.*"
  std::string defaultExtension;  // "*.wav"
  std::string initialFolder;     // empty: the dialog's own choice
  std::string fileName;          // preset file name (save dialogs)
  bool confirmOverwrite = false;
  bool mustExist = true;  // open dialogs: false lets the user name a file not yet there
};

// Everything that asks the user or tells the user something: message boxes, file
// dialogs and the busy cursor. The window program shows real dialogs, the command-line
// tool prints to stderr, tests script the answers.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer message(const std::string& title, const std::string& text, MessageIcon icon,
                         MessageButtons buttons) = 0;
  virtual std::optional<std::string> chooseOpenFile(const FileDialogSpec& spec) = 0;
  virtual std::optional<std::string> chooseSaveFile(const FileDialogSpec& spec) = 0;
  virtual void setBusy(bool busy) = 0;

  void error(const std::string& text) {
    message("Error", text, MessageIcon::Error, MessageButtons::Ok);
  }
};

// Shows the busy cursor for the lifetime of the guard.
class BusyGuard {
 public:
  explicit BusyGuard(Prompter& prompter) : prompter_(prompter) { prompter_.setBusy(true); }
  ~BusyGuard() { prompter_.setBusy(false); }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  Prompter& prompter_;
};

}  // namespace voxloom
