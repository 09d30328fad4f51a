#include "core/session/session_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace voxloom {

namespace {

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Waits for the lock without blocking for good, so a stuck holder cannot hang a save.
bool lockWithin(int fd, std::chrono::steady_clock::time_point deadline) {
  for (auto pause = std::chrono::milliseconds(1);;
       pause = std::min(pause * 2, decltype(pause)(50))) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(pause);
  }
}

}  // namespace

SessionFileLock::~SessionFileLock() {
  unlock();
}

void SessionFileLock::unlock() {
  if (fd_ >= 0) ::close(fd_);  // closing drops the lock
  fd_ = -1;
}

bool SessionFileLock::lock(const std::string& path, std::chrono::milliseconds timeout) {
  unlock();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    bool viaFolder = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(folderOf(path).c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
      viaFolder = true;
    }
    if (fd < 0) return false;
    if (!lockWithin(fd, deadline)) {
      ::close(fd);
      return false;
    }
    // Still the file under that name (or still no file)? A save that finished while we
    // waited put a new file there: lock that one instead.
    struct stat held {};
    struct stat now {};
    const bool there = ::stat(path.c_str(), &now) == 0;
    const bool same = viaFolder ? !there
                                : there && ::fstat(fd, &held) == 0 && held.st_dev == now.st_dev &&
                                      held.st_ino == now.st_ino;
    if (same) {
      fd_ = fd;
      return true;
    }
    ::close(fd);
  }
}

}  // namespace voxloom
