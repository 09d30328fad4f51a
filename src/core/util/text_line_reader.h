#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace voxloom {

// Reads a text held in memory line by line, the way the program's text files are
// read: a line ends at a line feed, which is removed; a carriage return right before
// it is removed too (files written on Windows); nothing else is removed. At the end of
// the text the line is what was left, so an empty text there reads like an empty line.
class TextLineReader {
 public:
  explicit TextLineReader(std::string_view text) : text_(text) {}

  // The next line as raw bytes; empty at the end.
  std::string_view readTextLine();
  bool atEnd() const { return pos_ >= text_.size(); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

enum class TextFileStatus {
  Read,
  CannotOpen,   // missing, unreadable, or a read error
  NotRegular,   // a device, FIFO or folder: such files may never end
  LineTooLong,  // a line longer than the caller allows; the rest is left unread
};

// Longer than any line of a real session file (a question, an answer, a label): a file
// with a longer line is no session, and is not read further.
inline constexpr std::size_t kMaxSessionLineBytes = std::size_t{16} << 20;

// Reads a whole regular file into `out`, stopping at the first line longer than
// `maxLineBytes` (line feed not counted).
TextFileStatus readTextFile(const std::string& path, std::string& out, std::size_t maxLineBytes);

// Reads a whole regular file into `out` without the lines longer than `maxLineBytes`
// (line feed not counted), which are never held whole; `skipped` counts them.
TextFileStatus readTextFileSkippingLongLines(const std::string& path, std::string& out,
                                             std::size_t maxLineBytes, std::int64_t& skipped);

// Reads a whole regular file into `out`; false when it cannot be opened or read.
bool readWholeTextFile(const std::string& path, std::string& out);

}  // namespace voxloom
