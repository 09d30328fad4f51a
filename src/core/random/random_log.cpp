#include "core/random/random_log.h"

namespace voxloom {

std::string cannotOpenLogText(const std::string& path) {
  return "Can't open output log file '" + path + "' for writing.";
}

bool RandomLog::openRandomLog(Prompter& prompter) {
  if (!logEnabled) return true;
  closeRandomLog();
  for (;;) {
    file_ = std::fopen(logFileName.c_str(), logStartNew ? "w" : "a");
    if (file_ != nullptr) {
      logStartNew = false;
      return true;
    }
    const Answer answer = prompter.message("Error", cannotOpenLogText(logFileName),
                                           MessageIcon::Error, MessageButtons::RetryCancel);
    if (answer != Answer::Retry) return false;
  }
}

void RandomLog::closeRandomLog() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
}

void RandomLog::logRandomValue(std::string_view text) {
  if (!logEnabled || file_ == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fputc('\n', file_);
}

}  // namespace voxloom
