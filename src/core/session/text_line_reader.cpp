#include "core/session/text_line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace voxloom {

std::string_view TextLineReader::readTextLine() {
  if (pos_ >= text_.size()) return {};
  const std::size_t feed = text_.find('\n', pos_);
  std::string_view line;
  if (feed == std::string_view::npos) {
    line = text_.substr(pos_);
    pos_ = text_.size();
  } else {
    line = text_.substr(pos_, feed - pos_);
    pos_ = feed + 1;
    // Text mode on Windows turned CR LF into LF; do the same here.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  }
  return line;
}

TextFileStatus readTextFile(const std::string& path, std::string& out, std::size_t maxLineBytes) {
  out.clear();
  // Non-blocking, so that opening a FIFO does not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return TextFileStatus::CannotOpen;
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    ::close(fd);
    return TextFileStatus::CannotOpen;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return TextFileStatus::NotRegular;
  }
  // Room for the whole file when its size is known, so that reading does not copy;
  // it is read a chunk at a time so that an overlong line stops it early.
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  constexpr std::size_t kMaxReserve = std::size_t{256} << 20;
  if (info.st_size > 0)
    out.reserve(std::min(static_cast<std::size_t>(info.st_size), kMaxReserve) + 1);
  std::size_t used = 0;
  std::size_t lineStart = 0;  // where the line being read began
  TextFileStatus status = TextFileStatus::Read;
  while (status == TextFileStatus::Read) {
    out.resize(used + kChunk);
    const ssize_t n = ::read(fd, out.data() + used, kChunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      status = TextFileStatus::CannotOpen;
      break;
    }
    if (n == 0) break;
    const std::size_t end = used + static_cast<std::size_t>(n);
    const std::string_view chunk(out.data() + used, static_cast<std::size_t>(n));
    for (std::size_t feed = chunk.find('\n'); feed != std::string_view::npos;
         feed = chunk.find('\n', feed + 1)) {
      if (used + feed - lineStart > maxLineBytes) status = TextFileStatus::LineTooLong;
      lineStart = used + feed + 1;
    }
    used = end;
    if (used - lineStart > maxLineBytes) status = TextFileStatus::LineTooLong;
  }
  ::close(fd);
  out.resize(used);
  return status;
}

bool readWholeTextFile(const std::string& path, std::string& out) {
  return readTextFile(path, out, std::numeric_limits<std::size_t>::max()) == TextFileStatus::Read;
}

}  // namespace voxloom
