#include "core/util/user_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace voxloom {

namespace {

const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

}  // namespace

UserFile UserFile::open(const std::string& path) {
  UserFile file;
  // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer; O_NOCTTY: a
  // terminal named by mistake does not become ours.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    file.error_ = errno;
    return file;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    file.error_ = errno;
    ::close(fd);
    return file;
  }
  if (!S_ISREG(info.st_mode)) {
    file.status_ = S_ISDIR(info.st_mode) ? Status::Folder : Status::NotRegular;
    file.kind_ = kindOf(info.st_mode);
    ::close(fd);
    return file;
  }
  // Reads of a regular file wait for the disk as usual.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  file.fd_ = fd;
  file.status_ = Status::Open;
  file.size_ = static_cast<std::int64_t>(info.st_size);
  return file;
}

UserFile::UserFile(UserFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      status_(std::exchange(other.status_, Status::CannotOpen)),
      error_(other.error_),
      size_(other.size_),
      kind_(other.kind_) {}

UserFile& UserFile::operator=(UserFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    status_ = std::exchange(other.status_, Status::CannotOpen);
    error_ = other.error_;
    size_ = other.size_;
    kind_ = other.kind_;
  }
  return *this;
}

UserFile::~UserFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::FILE* UserFile::releaseToStdio() {
  if (fd_ < 0) return nullptr;
  std::FILE* stream = ::fdopen(fd_, "rb");
  if (stream != nullptr) fd_ = -1;
  return stream;
}

std::string notRegularFileText(std::string_view what, const std::string& path,
                               const UserFile& file) {
  std::string text = "The ";
  text.append(what).append(" '").append(path).append("' is ").append(file.kindText());
  text += file.status() == UserFile::Status::Folder ? ", not a file." : ", not a regular file.";
  return text;
}

WholeFile readUserFile(const std::string& path, std::size_t limit, std::string_view what) {
  WholeFile result;
  UserFile file = UserFile::open(path);
  switch (file.status()) {
    case UserFile::Status::Open:
      break;
    case UserFile::Status::CannotOpen:
      return result;
    case UserFile::Status::Folder:
    case UserFile::Status::NotRegular:
      result.status = file.status() == UserFile::Status::Folder ? WholeFileStatus::Folder
                                                                : WholeFileStatus::NotRegular;
      result.refusal = notRegularFileText(what, path, file);
      return result;
  }
  result.size = file.size();
  const auto tooLarge = [&] {
    std::string().swap(result.text);
    result.status = WholeFileStatus::TooLarge;
    result.refusal = "The " + std::string(what) + " '" + path + "' is too large.";
    return result;
  };
  if (static_cast<std::uint64_t>(file.size()) > limit) return tooLarge();
  // One byte more than the size, so that a file grown since fstat shows at once.
  result.text.resize(static_cast<std::size_t>(file.size()) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == result.text.size()) {
      if (used > limit) return tooLarge();
      result.text.resize(std::min(limit + 1, used + (std::size_t{64} << 10)));
    }
    const ssize_t n = ::read(file.fd(), result.text.data() + used, result.text.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      std::string().swap(result.text);
      result.status = WholeFileStatus::ReadFailed;
      return result;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  if (used > limit) return tooLarge();
  result.text.resize(used);
  result.status = WholeFileStatus::Read;
  return result;
}

}  // namespace voxloom
