#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace voxloom {

// Opening a file the user named for reading. The open never blocks (a FIFO without a
// writer would wait for ever, a serial device for its carrier), and anything but a
// regular file is refused before a byte is read: a folder reads as nothing, a device or
// pipe may never end. The device source does not use this: devices are what it reads.
class UserFile {
 public:
  enum class Status {
    Open,
    CannotOpen,  // missing, no permission, ...: error() holds errno
    Folder,
    NotRegular,  // a FIFO, device or socket
  };

  static UserFile open(const std::string& path);

  UserFile(UserFile&& other) noexcept;
  UserFile& operator=(UserFile&& other) noexcept;
  UserFile(const UserFile&) = delete;
  UserFile& operator=(const UserFile&) = delete;
  ~UserFile();

  Status status() const { return status_; }
  bool isOpen() const { return status_ == Status::Open; }
  int fd() const { return fd_; }
  int error() const { return error_; }
  // The size when it was opened.
  std::int64_t size() const { return size_; }
  // What the path names instead of a regular file: "a folder", "a FIFO", ...
  const char* kindText() const { return kind_; }

  // Hands the open file over to a stdio stream, which then owns it; nullptr when this
  // is not open or the stream cannot be made.
  std::FILE* releaseToStdio();

 private:
  UserFile() = default;

  int fd_ = -1;
  Status status_ = Status::CannotOpen;
  int error_ = 0;
  std::int64_t size_ = 0;
  const char* kind_ = "";
};

// "The label file '/tmp' is a folder, not a file." or "... is a FIFO, not a regular
// file." for a file refused as Folder or NotRegular; `what` names the file's role.
std::string notRegularFileText(std::string_view what, const std::string& path,
                               const UserFile& file);

enum class WholeFileStatus { Read, CannotOpen, Folder, NotRegular, TooLarge, ReadFailed };

struct WholeFile {
  WholeFileStatus status = WholeFileStatus::CannotOpen;
  std::string text;  // the bytes, when read
  std::int64_t size = 0;
  std::string refusal;  // the message for Folder, NotRegular and TooLarge
};

// Reads a whole regular file of at most `limit` bytes through the opener; a larger one
// is refused before it is read (and also when it grows beyond the limit while read).
// `what` names the file's role in the refusal.
WholeFile readUserFile(const std::string& path, std::size_t limit, std::string_view what);

}  // namespace voxloom
