#pragma once

#include <string>
#include <string_view>

#include "core/ports/prompter.h"
#include "core/random/draw_trace.h"
#include "core/util/line_writer.h"
#include "core/util/replace_file.h"

namespace voxloom {

// The random-number log: one raw value per line while an EVP runs. The first EVP after
// the log was switched on starts the file afresh; later EVPs append to it. The log is a
// record that grows by whole lines: a signal that ends the program (where the signal
// clean-up is installed) first writes every line drawn so far.
//
// Write RN uses the same object for its values file, which is a result instead: it is
// written under a temporary name and takes the place of the target only when committed.
class RandomLog {
 public:
  RandomLog() = default;
  RandomLog(const RandomLog&) = delete;
  RandomLog& operator=(const RandomLog&) = delete;
  ~RandomLog() { abandonOutput(); }

  bool logEnabled = false;
  bool logStartNew = false;
  std::string logFileName;
  // The block being made keeps its draws here, whether the log is on or not (filled by
  // the logged source, see source_decorators.h).
  DrawTrace* trace = nullptr;

  // True when the EVP may start: logging is off, or the file is open. On failure asks
  // Retry/Cancel; Cancel gives false and leaves the log settings as they are.
  bool openRandomLog(Prompter& prompter);
  // Opens the values file of Write RN for `path`, in place of the log file: a
  // temporary file beside it, which takes its place at commitOutput(). Holds values
  // only: comments are left out.
  bool openOutput(const std::string& path);
  // False when a value could not be written since the open, or the close failed (a full
  // disk shows only then); the caller reports it with cannotWriteLogText. True when
  // nothing was open. A values file stays uncommitted.
  bool closeRandomLog();
  // Closes the values file and puts it in place of its target; false, with the
  // temporary file removed and the target as it was, when any write failed.
  bool commitOutput();
  // Closes and removes an uncommitted values file; the target stays as it was.
  void abandonOutput();
  bool isOpen() const { return fd_ >= 0; }
  // Whether a raw value is written anywhere, so that its text is worth making.
  bool wanted() const { return (logEnabled && fd_ >= 0) || trace != nullptr; }

  // Writes `text` and a line end when logging is on and the file is open.
  void logRandomValue(std::string_view text);
  // Writes "; " + `text` as a line of its own when logging is on: readers of the log,
  // the file source among them, skip such lines. Never written
  // to a values file.
  void logComment(std::string_view text);

 private:
  int fd_ = -1;
  LineWriter lines_;
  bool output_ = false;   // a Write RN values file is open or waits for its commit
  bool outputOk_ = true;  // every write to it succeeded
  SaveTarget save_;
};

std::string cannotOpenLogText(const std::string& path);
std::string cannotWriteLogText(const std::string& path);

}  // namespace voxloom
