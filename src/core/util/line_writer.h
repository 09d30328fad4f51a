#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace voxloom {

// Writes a file that grows by whole lines, one write() per 64 KiB. A writer started
// with `onSignals` can be found by writePendingLinesNow(), which a signal handler calls
// before the signal ends the program: a log cut short that way ends with a whole line
// and holds every line it was given.
class LineWriter {
 public:
  static constexpr std::size_t kCapacity = std::size_t{1} << 16;

  LineWriter();
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  // Writes to `fd` from its current offset (the end for O_APPEND). The descriptor stays
  // the caller's: it is closed after stop().
  void start(int fd, bool onSignals);
  // Writes what is pending and lets go of the descriptor. False when a write failed
  // since start().
  bool stop();
  bool started() const { return fd_ >= 0; }
  // Bytes handed to the file since start().
  std::uint64_t written() const { return written_; }

  // Adds `prefix`, `text` and a line end as one line.
  void line(std::string_view prefix, std::string_view text);

 private:
  void flush();
  // The buffer is empty and the file's offset is where its next byte goes.
  void rebase();
  void writeOut(const char* data, std::size_t size);

  std::unique_ptr<char[]> buffer_;
  std::size_t size_ = 0;
  int fd_ = -1;
  int slot_ = -1;
  bool failed_ = false;
  std::uint64_t written_ = 0;
};

// Writes the lines that the writers started with `onSignals` hold but have not written
// yet; safe to call from a signal handler that interrupted the thread using them.
void writePendingLinesNow() noexcept;

}  // namespace voxloom
