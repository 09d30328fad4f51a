#pragma once

#include <chrono>
#include <string>

namespace voxloom {

// Holds an exclusive lock (flock) on a session file across reading it, changing it and
// writing it back, so that two programs adding records at once do not lose one. A save
// replaces the file by a rename, so the lock is taken on the file that is there once
// the lock is held; a file not there yet is locked through its folder until it exists.
// Programs that do not lock are not held back.
class SessionFileLock {
 public:
  SessionFileLock() = default;
  SessionFileLock(const SessionFileLock&) = delete;
  SessionFileLock& operator=(const SessionFileLock&) = delete;
  ~SessionFileLock();

  // Waits up to `timeout` for the lock; false when it was not had (the file or its
  // folder cannot be opened, or another program held it all that time).
  bool lock(const std::string& path, std::chrono::milliseconds timeout);
  void unlock();
  bool locked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// How long a save waits for another program's read-modify-write of the same file.
inline constexpr std::chrono::milliseconds kSessionLockTimeout{30000};

}  // namespace voxloom
