#include "core/util/text_line_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "core/util/user_file.h"

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
  const UserFile file = UserFile::open(path);
  if (file.status() == UserFile::Status::CannotOpen) return TextFileStatus::CannotOpen;
  if (!file.isOpen()) return TextFileStatus::NotRegular;
  const int fd = file.fd();
  // Room for the whole file when its size is known, so that reading does not copy;
  // it is read a chunk at a time so that an overlong line stops it early.
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  constexpr std::size_t kMaxReserve = std::size_t{256} << 20;
  // (and one chunk more: the last read asks for a whole chunk)
  if (file.size() > 0)
    out.reserve(std::min(static_cast<std::size_t>(file.size()), kMaxReserve) + kChunk);
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
  out.resize(used);
  return status;
}

TextFileStatus readTextFileSkippingLongLines(const std::string& path, std::string& out,
                                             std::size_t maxLineBytes, std::int64_t& skipped) {
  out.clear();
  skipped = 0;
  const UserFile file = UserFile::open(path);
  if (file.status() == UserFile::Status::CannotOpen) return TextFileStatus::CannotOpen;
  if (!file.isOpen()) return TextFileStatus::NotRegular;
  std::string chunk(std::size_t{64} << 10, '\0');
  std::size_t lineStart = 0;  // in `out`, where the line being read began
  bool skipping = false;      // inside a line already too long: drop up to its end
  for (;;) {
    const ssize_t n = ::read(file.fd(), chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return TextFileStatus::CannotOpen;
    if (n == 0) break;
    std::string_view rest(chunk.data(), static_cast<std::size_t>(n));
    while (!rest.empty()) {
      const std::size_t feed = rest.find('\n');
      const std::string_view piece = rest.substr(0, feed);
      if (!skipping) {
        out.append(piece);
        if (out.size() - lineStart > maxLineBytes) {
          out.resize(lineStart);
          skipping = true;
          ++skipped;
        }
      }
      if (feed == std::string_view::npos) break;
      rest.remove_prefix(feed + 1);
      if (!skipping) out.push_back('\n');
      skipping = false;
      lineStart = out.size();
    }
  }
  return TextFileStatus::Read;
}

bool readWholeTextFile(const std::string& path, std::string& out) {
  return readTextFile(path, out, std::numeric_limits<std::size_t>::max()) == TextFileStatus::Read;
}

}  // namespace voxloom
