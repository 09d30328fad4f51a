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

bool RandomLog::openOutput(const std::string& path) {
  closeRandomLog();
  file_ = std::fopen(path.c_str(), "w");
  writeFailed_ = false;
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
  return file_ != nullptr;
}

void RandomLog::flush() {
  if (file_ != nullptr && !pending_.empty() &&
      std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size())
    writeFailed_ = true;
  pending_.clear();
}

bool RandomLog::closeRandomLog() {
  if (file_ == nullptr) return true;
  flush();
  const bool failed = std::ferror(file_) != 0 || writeFailed_;
  writeFailed_ = false;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed && !failed;
}

void RandomLog::logRandomValue(std::string_view text) {
  if (trace != nullptr) trace->raw.emplace_back(text);
  if (!logEnabled || file_ == nullptr) return;
  pending_.append(text);
  pending_.push_back('\n');
  if (pending_.size() >= 65536) flush();
}

void RandomLog::logComment(std::string_view text) {
  if (!logEnabled || file_ == nullptr) return;
  pending_.append("; ");
  pending_.append(text);
  pending_.push_back('\n');
  if (pending_.size() >= 65536) flush();
}

}  // namespace voxloom
