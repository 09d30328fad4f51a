#include "core/random/random_log.h"

#include <fcntl.h>
#include <unistd.h>

namespace voxloom {

std::string cannotOpenLogText(const std::string& path) {
  return "Can't open output log file '" + path + "' for writing.";
}

std::string cannotWriteLogText(const std::string& path) {
  return "Can't write to output log file '" + path + "'.";
}

bool RandomLog::openRandomLog(Prompter& prompter) {
  if (!logEnabled) return true;
  abandonOutput();
  for (;;) {
    const int mode = logStartNew ? O_TRUNC : O_APPEND;
    fd_ = ::open(logFileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | mode, 0666);
    if (fd_ >= 0) {
      lines_.start(fd_, true);
      logStartNew = false;
      return true;
    }
    const Answer answer = prompter.message("Error", cannotOpenLogText(logFileName),
                                           MessageIcon::Error, MessageButtons::RetryCancel);
    if (answer != Answer::Retry) return false;
  }
}

bool RandomLog::openOutput(const std::string& path) {
  abandonOutput();
  fd_ = openSave(path, save_);
  if (fd_ < 0) return false;
  output_ = true;
  outputOk_ = true;
  // No signal writes the values file: a killed run removes it and keeps the target.
  lines_.start(fd_, false);
  return true;
}

bool RandomLog::closeRandomLog() {
  if (fd_ < 0) return true;
  const std::uint64_t length = lines_.written();
  bool ok = lines_.stop();
  if (output_) ok = finishWriting(fd_, length, save_) && ok;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  if (output_) outputOk_ = ok;
  return ok;
}

bool RandomLog::commitOutput() {
  const bool closed = closeRandomLog();
  if (!output_) return closed;
  output_ = false;
  if (!outputOk_) {
    abandonSave(save_);
    return false;
  }
  return commitSave(save_);
}

void RandomLog::abandonOutput() {
  closeRandomLog();
  if (!output_) return;
  output_ = false;
  abandonSave(save_);
}

void RandomLog::logRandomValue(std::string_view text) {
  if (!logEnabled || fd_ < 0) return;
  lines_.line({}, text);
}

void RandomLog::logComment(std::string_view text) {
  if (!logEnabled || fd_ < 0 || output_) return;
  lines_.line("; ", text);
}

}  // namespace voxloom
