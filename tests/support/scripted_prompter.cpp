#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

namespace voxloom::test {

Answer ScriptedPrompter::message(const std::string& title, const std::string& text,
                                 MessageIcon icon, MessageButtons buttons) {
  shown.push_back({title, text, icon, buttons});
  if (buttons == MessageButtons::Ok) return Answer::Ok;
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected question: " << title << ": " << text;
    return Answer::Cancel;
  }
  const Answer a = answers.front();
  answers.pop_front();
  return a;
}

std::optional<std::string> ScriptedPrompter::chooseOpenFile(const FileDialogSpec& spec) {
  openDialogs.push_back(spec);
  if (openFiles.empty()) return std::nullopt;
  auto f = openFiles.front();
  openFiles.pop_front();
  return f;
}

std::optional<std::string> ScriptedPrompter::chooseSaveFile(const FileDialogSpec& spec) {
  saveDialogs.push_back(spec);
  if (saveFiles.empty()) return std::nullopt;
  auto f = saveFiles.front();
  saveFiles.pop_front();
  return f;
}

void ScriptedPrompter::setBusy(bool busy) {
  busyDepth += busy ? 1 : -1;
  ++busyCalls;
}

std::vector<std::string> ScriptedPrompter::log() const {
  std::vector<std::string> lines;
  for (const auto& s : shown) lines.push_back(s.title + ": " + s.text);
  return lines;
}

}  // namespace voxloom::test
