#include "core/util/replace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

namespace voxloom {

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
