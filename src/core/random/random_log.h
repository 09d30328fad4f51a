#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/ports/prompter.h"
#include "core/random/draw_trace.h"

namespace voxloom {

// The random-number log: one raw value per line while an EVP runs. The first EVP after
// the log was switched on starts the file afresh; later EVPs append to it.
class RandomLog {
 public:
  RandomLog() = default;
  RandomLog(const RandomLog&) = delete;
  RandomLog& operator=(const RandomLog&) = delete;
  ~RandomLog() { closeRandomLog(); }

  bool logEnabled = false;
  bool logStartNew = false;
  std::string logFileName;
  // The block being made keeps its raw values here, whether the log is on or not.
  DrawTrace* trace = nullptr;

  // True when the EVP may start: logging is off, or the file is open. On failure asks
  // Retry/Cancel; Cancel gives false and leaves the log settings as they are.
  bool openRandomLog(Prompter& prompter);
  // Opens `path` truncated as the output of Write RN, in place of the log file.
  bool openOutput(const std::string& path);
  // False when a value could not be written since the open, or the close failed (a full
  // disk shows only then); the caller reports it with cannotWriteLogText. True when
  // nothing was open.
  bool closeRandomLog();
  bool isOpen() const { return file_ != nullptr; }
  // Whether a raw value is written anywhere, so that its text is worth making.
  bool wanted() const { return (logEnabled && file_ != nullptr) || trace != nullptr; }

  // Writes `text` and a line end when logging is on and the file is open, and keeps it
  // in the trace when there is one.
  void logRandomValue(std::string_view text);
  // Writes "; " + `text` as a line of its own when logging is on: readers of the log,
  // the file source among them, skip such lines. Never kept in the trace.
  void logComment(std::string_view text);

 private:
  void flush();

  std::FILE* file_ = nullptr;
  std::string pending_;  // lines not yet handed to the file: one write per 64 KB
  bool writeFailed_ = false;
};

std::string cannotOpenLogText(const std::string& path);
std::string cannotWriteLogText(const std::string& path);

}  // namespace voxloom
