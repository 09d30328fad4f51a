#include "core/util/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <cstdio>
#include <thread>

namespace voxloom {

int createTemporaryBeside(const std::string& target, std::string& temporary) {
  struct stat existing {};
  const bool exists = stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return -1;
  temporary = target + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return -1;
  if (exists) {
    fchmod(fd, existing.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  return fd;
}

bool replaceFile(const std::string& temporary, const std::string& target) {
  // Holding the old file open makes the rename only drop its name; the last close,
  // which frees its data, then happens off this thread.
  const int old = open(target.c_str(), O_RDONLY | O_CLOEXEC);
  const bool renamed = std::rename(temporary.c_str(), target.c_str()) == 0;
  if (old >= 0) {
    try {
      std::thread([old] { close(old); }).detach();
    } catch (...) {
      close(old);  // no thread to be had: free it here
    }
  }
  return renamed;
}

}  // namespace voxloom
