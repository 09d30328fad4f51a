#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace voxloom {

// Writes all `size` bytes to `fd`, going on after a partial write or an interrupted call;
// `done` says how many arrived. False on the first error (errno tells it) or a write of
// nothing. Safe in a signal handler.
inline bool writeFully(int fd, const char* data, std::size_t size, std::size_t& done) noexcept {
  done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace voxloom
