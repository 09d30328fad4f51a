#include "core/session/text_line_reader.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

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

bool readWholeTextFile(const std::string& path, std::string& out) {
  out.clear();
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) return false;
  // One read of the whole file when its size is known; growing reads otherwise.
  struct stat info {};
  if (fstat(fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
    out.reserve(static_cast<std::size_t>(info.st_size) + 4096);  // the end shows without growing
  std::size_t used = 0;
  for (;;) {
    if (out.capacity() - used < 4096) out.reserve(out.capacity() * 2 + 65536);
    out.resize(out.capacity());
    const std::size_t n = std::fread(out.data() + used, 1, out.size() - used, file.get());
    used += n;
    if (used < out.size()) break;
  }
  out.resize(used);
  return std::ferror(file.get()) == 0;
}

}  // namespace voxloom
