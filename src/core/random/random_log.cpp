#include "core/random/random_log.h"

namespace voxloom {

std::string cannotOpenLogText(const std::string& path) {
  return "Can't open output log file '" + path + "' for writing.";
}

std::string cannotWriteLogText(const std::string& path) {
  return "Can't write to output log file '" + path + "'.";
}

bool RandomLog::openRandomLog(Prompter& prompter) {
  if (!logEnabled) return true;
  closeRandomLog();
  for (;;) {
    file_ = std::fopen(logFileName.c_str(), logStartNew ? "w" : "a");
    if (file_ != nullptr) {
      writeFailed_ = false;
      logStartNew = false;
      return true;
    }
    const Answer answer = prompter.message("Error", cannotOpenLogText(logFileName),
                                           MessageIcon::Error, MessageButtons::RetryCancel);
    if (answer != Answer::Retry) return false;
  }
}

bool RandomLog::closeRandomLog() {
  if (file_ == nullptr) return true;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  const bool ok = closed && !writeFailed_;
  writeFailed_ = false;
  return ok;
}

void RandomLog::logRandomValue(std::string_view text) {
  if (!logEnabled || file_ == nullptr) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() ||
      std::fputc('\n', file_) == EOF)
    writeFailed_ = true;
}

}  // namespace voxloom
